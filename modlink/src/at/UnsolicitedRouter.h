// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace modlink::at {

// Recognises unsolicited result codes and hands them to the handler
// registered for their prefix. A handler may claim continuation lines (+CMT
// and +CDS carry their PDU on the next line). Lines are recognised at any
// time, also between a command and its final result.
class UnsolicitedRouter final {
public:
    using Handler = std::function<void(const std::vector<std::string>& lines)>;

    UnsolicitedRouter();  // knows the standard and common vendor codes

    // Registers (or replaces) the handler of a prefix such as "+CMTI:" or
    // "RING". A prefix that ends without ':' must match the whole line.
    void add(std::string prefix, int continuationLines, Handler handler);
    // Lines starting with '^' (vendor status lines) are unsolicited too.
    void setFallback(Handler handler) { m_fallback = std::move(handler); }

    // True when the line is unsolicited; continuation is how many of the
    // following lines belong to it.
    bool matches(std::string_view line, int* continuation = nullptr) const;
    void dispatch(const std::vector<std::string>& lines) const;

private:
    struct Entry {
        std::string prefix;
        int continuation;
        Handler handler;
    };
    const Entry* find(std::string_view line) const;
    std::vector<Entry> m_entries;
    Handler m_fallback;
};

}  // namespace modlink::at
