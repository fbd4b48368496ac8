// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/TextMatch.h"

#include <cstring>

#include "platform/Codepage.h"

namespace msgdesk {
namespace {

inline unsigned char lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Compares folded with hay at p, which is a character boundary of hay.
bool matchAt(const unsigned char* p, const unsigned char* end, std::string_view folded) {
    if (static_cast<size_t>(end - p) < folded.size()) return false;
    for (size_t k = 0; k < folded.size(); ++k) {
        auto f = static_cast<unsigned char>(folded[k]);
        if (platform::codepage::isLeadByte(f) && k + 1 < folded.size()) {
            // A whole two-byte character: byte for byte.
            if (p[k] != f || p[k + 1] != static_cast<unsigned char>(folded[k + 1])) return false;
            ++k;
            continue;
        }
        if (lower(p[k]) != f) return false;
    }
    return true;
}

// platform::codepage::charLength, inline: this walk runs over every row.
inline size_t charStep(const unsigned char* p, const unsigned char* end) {
    if (!platform::codepage::isLeadByte(*p)) return 1;
    const bool four = end - p >= 4 && p[1] >= 0x30 && p[1] <= 0x39 &&
                      platform::codepage::isLeadByte(p[2]) && p[3] >= 0x30 && p[3] <= 0x39;
    return four ? 4 : 2;
}

}  // namespace

std::string foldFindText(std::string_view gbk) {
    std::string out(gbk);
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (platform::codepage::isLeadByte(c))
            ++i;  // keep the trail byte as it is
        else
            out[i] = static_cast<char>(lower(c));
    }
    return out;
}

bool gbkContains(std::string_view hay, std::string_view folded) {
    if (folded.empty()) return true;
    const auto* begin = reinterpret_cast<const unsigned char*>(hay.data());
    const auto* end = begin + hay.size();
    const auto first = static_cast<unsigned char>(folded[0]);
    const unsigned char upper = (first >= 'a' && first <= 'z') ? first - 32 : first;
    // Candidates by a quick byte search; each is then checked to lie on a
    // character boundary, walking forward from the last known boundary.
    auto next = [end](const unsigned char* from, unsigned char c) {
        auto* r = static_cast<const unsigned char*>(std::memchr(from, c, end - from));
        return r ? r : end;
    };
    const unsigned char* boundary = begin;
    const unsigned char* na = next(begin, first);
    const unsigned char* nb = upper == first ? end : next(begin, upper);
    while (na < end || nb < end) {
        const unsigned char* c = na < nb ? na : nb;
        while (boundary < c) boundary += charStep(boundary, end);
        if (boundary == c && matchAt(c, end, folded)) return true;
        if (c == na) na = next(c + 1, first);
        if (c == nb) nb = next(c + 1, upper);
    }
    return false;
}

}  // namespace msgdesk
