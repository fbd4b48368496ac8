// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

// A raw AT client on one of zuntosim's pseudo-terminals, for tests of the
// exact bytes a modem sends. Every read is bounded.
class SimPort final {
public:
    explicit SimPort(const std::string& path);
    ~SimPort();
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    bool ok() const { return m_fd >= 0; }
    void write(const std::string& bytes);
    // Reads until the bytes received so far contain `needle`, or timeoutMs
    // passes; returns everything read and consumes it.
    std::string readUntil(const std::string& needle, int timeoutMs = 2000);
    // Sends a command line (CR added) and reads up to its final result.
    std::string command(const std::string& line, int timeoutMs = 2000);
    // Everything that arrives within ms.
    std::string drain(int ms);

private:
    bool readSome(int timeoutMs);
    int m_fd = -1;
    std::string m_buffer;
};
