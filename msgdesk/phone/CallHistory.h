// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace msgdesk {

// The ten most recent numbers of one direction, newest first. A number that
// is not a dial string is not added; a longer one keeps its first 20 bytes.
class CallHistory final {
public:
    static constexpr int kSize = 10;
    static constexpr size_t kNumberLength = 20;

    // True when the number was added (every entry moved one place down).
    bool add(std::string_view number);
    // Entry i (0 = newest); empty while nothing was added there.
    const std::string& entry(int i) const { return m_entries.at(static_cast<size_t>(i)); }
    int count() const { return m_count; }

private:
    std::array<std::string, kSize> m_entries;
    int m_count = 0;
};

}  // namespace msgdesk
