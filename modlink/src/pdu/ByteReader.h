// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace modlink::pdu {

// Reads a TPDU front to back; every read is checked against the end, so a
// length field that points past the data fails instead of reading on.
class ByteReader final {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::optional<std::uint8_t> byte() {
        if (m_pos >= m_data.size()) return std::nullopt;
        return m_data[m_pos++];
    }

    std::optional<std::span<const std::uint8_t>> take(std::size_t n) {
        if (n > remaining()) return std::nullopt;
        auto s = m_data.subspan(m_pos, n);
        m_pos += n;
        return s;
    }

    std::size_t remaining() const { return m_data.size() - m_pos; }
    std::size_t position() const { return m_pos; }
    std::span<const std::uint8_t> rest() const { return m_data.subspan(m_pos); }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

}  // namespace modlink::pdu
