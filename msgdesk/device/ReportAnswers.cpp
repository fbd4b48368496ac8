// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ReportAnswers.h"

#include <cstring>

namespace msgdesk::answers {

namespace {

std::optional<int> wholeNumber(std::string_view s, int max) {
    if (s.empty() || s.size() > 6) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v <= max ? std::optional<int>(v) : std::nullopt;
}

bool stampLike(const std::string& s) {
    return s.size() == 12 && wholeNumber(s.substr(0, 6), 999999) &&
           wholeNumber(s.substr(6), 999999);
}

}  // namespace

std::optional<std::vector<std::string>> quotedFields(std::string_view t) {
    std::vector<std::string> out;
    std::size_t i = 0;
    for (;;) {
        if (i >= t.size() || t[i] != '"') return std::nullopt;
        // Fields hold no raw quote (the library writes the full-width one).
        std::size_t end = t.find('"', i + 1);
        if (end == std::string_view::npos) return std::nullopt;
        out.emplace_back(t.substr(i + 1, end - i - 1));
        i = end + 1;
        if (i == t.size()) return out;
        if (t[i] != ',') return std::nullopt;
        ++i;
    }
}

std::optional<SendRefs> sendRefs(const char* text) {
    if (!text) return std::nullopt;
    auto f = quotedFields(text);
    if (!f || f->size() != 2) return std::nullopt;
    SendRefs r;
    auto d = wholeNumber((*f)[0], 16);
    if (!d || *d < 1) return std::nullopt;
    r.device = *d;
    std::string_view list = (*f)[1];
    while (true) {
        std::size_t comma = list.find(',');
        auto ref = wholeNumber(list.substr(0, comma), 255);
        if (!ref) return std::nullopt;
        r.refs.push_back(*ref);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return r;
}

std::optional<StatusReport> statusReport(const char* text, int device) {
    if (!text || device < 1 || device > 16) return std::nullopt;
    auto f = quotedFields(text);
    if (!f || f->size() != 5) return std::nullopt;
    auto ref = wholeNumber((*f)[0], 255);
    auto st = wholeNumber((*f)[2], 255);
    if (!ref || !st || (*f)[1].empty() || (*f)[1].size() > 20) return std::nullopt;
    if (!stampLike((*f)[3]) || !stampLike((*f)[4])) return std::nullopt;
    return StatusReport{device, *ref, (*f)[1], *st, (*f)[3], (*f)[4]};
}

UssdAnswer ussdAnswer(const char* text) {
    UssdAnswer a;
    if (!text) return a;
    if (std::strncmp(text, "TIMEOUT", 7) == 0) {
        a.kind = UssdAnswer::Kind::Timeout;
        return a;
    }
    auto f = quotedFields(text);
    auto m = f && f->size() == 2 ? wholeNumber((*f)[0], 5) : std::nullopt;
    if (!m) {
        a.text = text;
        return a;
    }
    a.kind = UssdAnswer::Kind::Answer;
    a.status = *m;
    a.text = (*f)[1];
    return a;
}

}  // namespace msgdesk::answers
