// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceAnswers.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "device/WindowMessages.h"

namespace msgdesk::answers {

namespace {
bool startsWith(const char* text, const char* prefix) {
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}
bool equals(const char* text, const char* s) {
    return text && std::strcmp(text, s) == 0;
}

// The text between position from and the next double quote (or the end,
// when the closing quote is missing, so a truncated answer loses nothing).
std::string upToQuote(std::string_view s, size_t from) {
    if (from >= s.size()) return {};
    size_t end = s.find('"', from);
    return std::string(s.substr(from, end == std::string_view::npos ? end : end - from));
}
}  // namespace

bool isError(const char* text) {
    return startsWith(text, "ERROR") || startsWith(text, "TIMEOUT");
}

bool isOk(const char* text) {
    return startsWith(text, "OK");
}

bool isSimLockError(const char* text) {
    if (!text) return false;
    std::string_view t(text);
    for (std::string_view lock :
         {"ERROR: SIM PIN", "ERROR: SIM PUK", "ERROR: PH-SIM PIN", "ERROR: SIM not inserted"})
        if (t.substr(0, lock.size()) == lock) return true;
    return false;
}

int leadingDecimal(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    long long v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        v = v * 10 + (t[i] - '0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (neg) return v > INT_MAX ? INT_MIN : static_cast<int>(-v);
    return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

int sendResultCode(const char* text) {
    if (equals(text, "OK")) return RESULT_OK;
    if (equals(text, "ERROR")) return RESULT_ERROR;
    if (equals(text, "TIMEOUT")) return RESULT_TIMEOUT;
    return 0;
}

int phoneResultCode(const char* text) {
    if (isOk(text)) return RESULT_OK;
    if (startsWith(text, "TIMEOUT")) return RESULT_TIMEOUT;
    return RESULT_ERROR;
}

int callStatusCode(const char* text) {
    if (isOk(text)) return RESULT_OK;
    if (startsWith(text, "TIMEOUT")) return RESULT_TIMEOUT;
    if (startsWith(text, "ERROR")) return RESULT_ERROR;
    if (text && text[0] && text[1] >= '0' && text[1] <= '5') return text[1] - '0';
    return RESULT_ERROR;
}

std::optional<int> signalLevel(const char* text) {
    if (!text || isError(text)) return std::nullopt;
    int v = leadingDecimal(text);
    return (v < 0 || v > 31) ? 4 : v;
}

std::optional<int> simInfoCapacity(std::string_view text, char sep) {
    std::string digits;
    if (text.size() > 2) {
        size_t p = text.find(sep);
        if (p == std::string_view::npos) return std::nullopt;
        digits = upToQuote(text, p + 1);
    } else {
        digits = std::string(text);
    }
    size_t i = digits.find_first_not_of(" \t");
    if (i == std::string::npos || digits[i] < '0' || digits[i] > '9') return std::nullopt;
    // The number sizes allocations (the free-index search): no SIM holds
    // more than kMaxSimCapacity entries, whatever the modem says.
    return std::clamp(leadingDecimal(digits), 0, kMaxSimCapacity);
}

std::optional<PhonebookFields> phonebookEntry(std::string_view text) {
    size_t q = text.find('"');
    size_t c1 = text.find(",\"");
    if (q == std::string_view::npos || c1 == std::string_view::npos) return std::nullopt;
    size_t c2 = text.find(",\"", c1 + 2);
    if (c2 == std::string_view::npos) return std::nullopt;
    PhonebookFields f;
    f.index = leadingDecimal(upToQuote(text, q + 1));
    f.number = upToQuote(text, c1 + 2);
    f.name = upToQuote(text, c2 + 2);
    return f;
}

std::string stampDate(std::string_view stamp) {
    std::string s(stamp);
    const size_t half = s.size() / 2;
    if (s.size() > 6) s.erase(6, half);
    if (s.size() == 6) s = "20" + s.substr(0, 2) + "-" + s.substr(2, 2) + "-" + s.substr(4, 2);
    return s;
}

std::string stampTime(std::string_view stamp) {
    std::string s(stamp.substr(stamp.size() / 2));
    if (s.size() == 6) s = s.substr(0, 2) + ":" + s.substr(2, 2) + ":" + s.substr(4, 2);
    return s;
}

namespace {
// Digits up to a limit; nullopt for anything else.
std::optional<int> boundedDecimal(std::string_view s, int max) {
    if (s.empty() || s.size() > 5) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
}
}  // namespace

void partField(std::string_view text, SmsFields& f) {
    // No field holds a raw quote, so four fields are exactly eight quotes
    // and the last field lies between the seventh and the eighth.
    if (std::count(text.begin(), text.end(), '"') != 8 || text.back() != '"') return;
    const size_t open = text.rfind('"', text.size() - 2);
    if (open < 1 || text[open - 1] != ',') return;
    std::string_view v = text.substr(open + 1, text.size() - open - 2);
    const size_t c1 = v.find(':');
    const size_t c2 = c1 == std::string_view::npos ? c1 : v.find(':', c1 + 1);
    if (c2 == std::string_view::npos) return;
    auto ref = boundedDecimal(v.substr(0, c1), 65535);
    auto part = boundedDecimal(v.substr(c1 + 1, c2 - c1 - 1), 255);
    auto total = boundedDecimal(v.substr(c2 + 1), 255);
    if (!ref || !part || !total || *part < 1 || *part > *total) return;
    f.partRef = *ref;
    f.partNo = *part;
    f.partTotal = *total;
}

SmsFields smsText(std::string_view text, bool guardShort) {
    auto allowed = [&](std::string_view s) { return !guardShort || s.size() > 2; };
    SmsFields f;
    if (allowed(text)) {
        size_t q = text.find('"');
        if (q != std::string_view::npos) f.number = upToQuote(text, q + 1);
    }
    size_t c1 = text.find(',');
    if (c1 != std::string_view::npos) {
        std::string_view afterFirst = text.substr(c1 + 1);
        if (allowed(afterFirst)) {
            size_t q = afterFirst.find('"');
            if (q != std::string_view::npos) f.stamp = upToQuote(afterFirst, q + 1);
        }
        size_t c2 = text.find(',', c1 + 1);
        if (c2 != std::string_view::npos) {
            std::string rest(text.substr(c2 + 1));
            if (allowed(rest)) {
                // Remove p + 1 characters from the first quote at p, then
                // end at the next quote: a body ends at its first quote.
                size_t p = rest.find('"');
                if (p != std::string::npos) rest.erase(p, p + 1);
                f.body = upToQuote(rest, 0);
            }
        }
    }
    if (allowed(f.stamp)) {
        f.date = stampDate(f.stamp);
        f.time = stampTime(f.stamp);
    }
    partField(text, f);
    return f;
}

}  // namespace msgdesk::answers
