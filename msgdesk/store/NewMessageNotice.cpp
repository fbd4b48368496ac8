// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/NewMessageNotice.h"

#include "platform/Codepage.h"

namespace msgdesk {

namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first n characters of a UTF-8 text; a cut prefers the last blank.
std::string firstWords(const std::string& text, std::size_t n) {
    std::size_t pos = 0, chars = 0, lastBlank = std::string::npos;
    while (pos < text.size() && chars < n) {
        if (text[pos] == ' ' || text[pos] == '\n') lastBlank = pos;
        ++pos;
        while (pos < text.size() && isContinuation(text[pos])) ++pos;
        ++chars;
    }
    if (pos >= text.size()) return text;
    // A word cut in two is dropped; a text without blanks (Chinese) is cut
    // at the character.
    if (lastBlank != std::string::npos && lastBlank > 0) pos = lastBlank;
    std::string out = text.substr(0, pos);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    return out + "\u2026";
}

std::string escaped(const std::string& s, bool markup) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (!markup && c != '\r' && c != '\t') {
            out += c;
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
            case '\t':
                out += ' ';
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

platform::Notification NewMessageNotice(const MessageRecord& rec) {
    namespace cp = platform::codepage;
    platform::Notification n;
    const std::string name = cp::gbkToUtf8(rec.contact());
    n.summary = escaped(name.empty() ? cp::gbkToUtf8(rec.number()) : name, false);
    n.body = escaped(firstWords(cp::gbkToUtf8(rec.text()), kNoticeChars), true);
    n.icon = "zunto-msgdesk";
    return n;
}

}  // namespace msgdesk
