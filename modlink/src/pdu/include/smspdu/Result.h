// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <utility>

namespace modlink::pdu {

// The reason a PDU could not be decoded or a text could not be encoded.
struct Error {
    std::string message;
};

// Either a value or an Error with a message; never throws on bad input.
// (std::expected is C++23; this is the part of it the codec needs.)
template <class T>
class Result final {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only valid when ok().
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T& operator*() const& { return *m_value; }
    const T* operator->() const { return &*m_value; }

    // Empty when ok().
    const std::string& error() const { return m_error; }

private:
    std::optional<T> m_value;
    std::string m_error;
};

}  // namespace modlink::pdu
