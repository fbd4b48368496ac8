// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/TextSplitter.h"

#include "pdu/Gsm7.h"

namespace modlink::pdu::splitter {

namespace {

constexpr std::size_t kMaxParts = 255;

// A unit that may not be cut: one character (its escape included) or a
// surrogate pair.
struct Token {
    std::size_t begin;
    std::size_t length;
    std::size_t cost;
};

bool isHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::vector<Token> tokenize(Encoding encoding, std::u16string_view text) {
    std::vector<Token> tokens;
    tokens.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (encoding == Encoding::Gsm7) {
            tokens.push_back({i, 1, static_cast<std::size_t>(gsm7::septetsFor(text[i]))});
            ++i;
        } else if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) {
            tokens.push_back({i, 2, 2});
            i += 2;
        } else {
            tokens.push_back({i, 1, 1});
            ++i;
        }
    }
    return tokens;
}

std::u16string slice(std::u16string_view text, const std::vector<Token>& t, std::size_t from,
                     std::size_t to) {
    if (from == to) return {};
    std::size_t b = t[from].begin;
    std::size_t e = t[to - 1].begin + t[to - 1].length;
    return std::u16string(text.substr(b, e - b));
}

}  // namespace

Encoding chooseEncoding(std::u16string_view text) {
    return gsm7::canEncode(text) ? Encoding::Gsm7 : Encoding::Ucs2;
}

std::size_t cost(Encoding encoding, std::u16string_view text) {
    if (encoding != Encoding::Gsm7) return text.size();
    std::size_t n = 0;
    for (char16_t c : text) n += static_cast<std::size_t>(gsm7::septetsFor(c));
    return n;
}

std::size_t capacity(Encoding encoding, bool concatenated, bool ref16) {
    if (encoding == Encoding::Gsm7) return concatenated ? (ref16 ? 152 : 153) : 160;
    return concatenated ? (ref16 ? 66 : 67) : 70;
}

Result<Plan> plan(std::u16string_view text, bool ref16) {
    Plan p;
    p.encoding = chooseEncoding(text);
    if (cost(p.encoding, text) <= capacity(p.encoding, false)) {
        p.parts.emplace_back(text);
        return p;
    }
    std::size_t cap = capacity(p.encoding, true, ref16);
    auto tokens = tokenize(p.encoding, text);
    std::size_t start = 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (used + tokens[i].cost > cap) {
            p.parts.push_back(slice(text, tokens, start, i));
            start = i;
            used = 0;
        }
        used += tokens[i].cost;
    }
    p.parts.push_back(slice(text, tokens, start, tokens.size()));
    if (p.parts.size() > kMaxParts)
        return Error{"text needs " + std::to_string(p.parts.size()) + " parts, more than 255"};
    return p;
}

Result<Plan> planExactly(std::u16string_view text, int n, bool ref16) {
    if (n < 1 || n > static_cast<int>(kMaxParts))
        return Error{"part count " + std::to_string(n) + " is not between 1 and 255"};
    Plan p;
    p.encoding = chooseEncoding(text);
    if (n == 1) {
        if (cost(p.encoding, text) > capacity(p.encoding, false))
            return Error{"text does not fit one message"};
        p.parts.emplace_back(text);
        return p;
    }
    auto tokens = tokenize(p.encoding, text);
    auto parts = static_cast<std::size_t>(n);
    if (tokens.size() < parts)
        return Error{"text has fewer characters than the " + std::to_string(n) +
                     " parts asked for"};
    std::size_t cap = capacity(p.encoding, true, ref16);
    std::size_t remainingCost = cost(p.encoding, text);
    std::size_t next = 0;
    for (std::size_t k = 0; k < parts; ++k) {
        std::size_t partsLeft = parts - k;
        std::size_t target = (remainingCost + partsLeft - 1) / partsLeft;
        std::size_t start = next;
        std::size_t used = 0;
        // Leave at least one token for each later part.
        while (next < tokens.size() && tokens.size() - next > partsLeft - 1) {
            std::size_t c = tokens[next].cost;
            bool last = partsLeft == 1;
            if (used + c > cap || (!last && used > 0 && used + c > target)) break;
            used += c;
            ++next;
        }
        if (next == start || (partsLeft == 1 && next < tokens.size()))
            return Error{"text does not fit " + std::to_string(n) + " parts"};
        remainingCost -= used;
        p.parts.push_back(slice(text, tokens, start, next));
    }
    return p;
}

}  // namespace modlink::pdu::splitter
