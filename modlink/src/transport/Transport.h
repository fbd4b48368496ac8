// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace modlink {

// A byte pipe to one modem: a serial port or a TCP connection. Non-blocking
// file descriptor; the channel polls it.
class Transport {
public:
    enum class ReadResult { Data, WouldBlock, Closed };

    virtual ~Transport() = default;
    virtual int fd() const = 0;
    virtual const std::string& name() const = 0;
    // Reads what is there into out (appended).
    virtual ReadResult read(std::string& out) = 0;
    // Writes everything, waiting for the port at most timeoutMs in all.
    virtual bool write(std::string_view data, int timeoutMs) = 0;
    // Drops unread input (stale bytes from before we opened the port).
    virtual void discardInput() {}
};

enum class OpenError { None, Busy, NotFound, Failed };

// Opens "tcp:HOST:PORT" or a serial device path. A serial port that another
// program holds (an flock, TIOCEXCL, or a live UUCP lock file such as a
// dial-up daemon leaves in /var/lock) gives Busy. A serial port we open gets
// our own lock file (see UucpLock) for as long as the transport lives.
std::unique_ptr<Transport> openTransport(const std::string& port, OpenError& error,
                                         std::string& detail);

}  // namespace modlink
