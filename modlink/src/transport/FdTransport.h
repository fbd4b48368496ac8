// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include "Transport.h"

namespace modlink {

// What serial ports and sockets share: a non-blocking descriptor.
class FdTransport : public Transport {
public:
    FdTransport(int fd, std::string name, bool socket = false)
        : m_fd(fd), m_name(std::move(name)), m_socket(socket) {}
    ~FdTransport() override;
    FdTransport(const FdTransport&) = delete;
    FdTransport& operator=(const FdTransport&) = delete;

    int fd() const override { return m_fd; }
    const std::string& name() const override { return m_name; }
    ReadResult read(std::string& out) override;
    bool write(std::string_view data, int timeoutMs) override;

protected:
    int m_fd;
    std::string m_name;
    bool m_socket;
};

}  // namespace modlink
