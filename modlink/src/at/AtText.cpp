// SPDX-License-Identifier: LGPL-2.1-or-later
#include "AtText.h"

#include <cctype>
#include <climits>

namespace modlink::at {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::optional<int> parseInt(std::string_view s) {
    if (s.empty()) return std::nullopt;
    bool neg = false;
    std::size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return std::nullopt;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > INT_MAX) return std::nullopt;
    }
    return static_cast<int>(neg ? -v : v);
}

bool isHex(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

namespace {
int hexVal(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::optional<std::string> hexToBytes(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = hexVal(hex[i]), lo = hexVal(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::string bytesToHex(std::string_view bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

std::vector<AtField> splitFields(std::string_view s) {
    std::vector<AtField> out;
    std::size_t i = 0;
    s = trim(s);
    if (s.empty()) return out;
    while (i <= s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        AtField f;
        if (i < s.size() && s[i] == '"') {
            f.quoted = true;
            ++i;
            while (i < s.size()) {
                if (s[i] == '"') {
                    std::size_t j = i + 1;
                    while (j < s.size() && s[j] == ' ') ++j;
                    if (j == s.size() || s[j] == ',') {
                        i = j;
                        break;
                    }
                }
                f.text += s[i++];
            }
        } else {
            int depth = 0;
            while (i < s.size() && (depth > 0 || s[i] != ',')) {
                if (s[i] == '(') ++depth;
                if (s[i] == ')' && depth > 0) --depth;
                f.text += s[i++];
            }
            f.text = std::string(trim(f.text));
        }
        out.push_back(std::move(f));
        if (i >= s.size()) break;
        ++i;  // the comma
        if (i == s.size()) out.push_back({});
    }
    return out;
}

std::string_view afterColon(std::string_view line) {
    auto c = line.find(':');
    if (c == std::string_view::npos) return {};
    return trim(line.substr(c + 1));
}

std::optional<std::string_view> findLine(const std::vector<std::string>& lines,
                                         std::string_view prefix) {
    for (const auto& l : lines)
        if (startsWithNoCase(l, prefix)) return std::string_view(l);
    return std::nullopt;
}

}  // namespace modlink::at
