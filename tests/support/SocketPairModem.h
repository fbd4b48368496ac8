// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A modem scripted by the test on the far end of a socket pair: the near
// end goes to the code under test as its port, the test reads the commands
// and writes the replies on the far end, from its own thread if it likes.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace support {

class SocketPairModem {
public:
    SocketPairModem() {
        int sv[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, sv), 0);
        m_near = sv[0];
        m_far = sv[1];
    }
    ~SocketPairModem() {
        if (m_peer.joinable()) m_peer.join();
        if (m_near >= 0) ::close(m_near);
        closeFar();
    }
    SocketPairModem(const SocketPairModem&) = delete;
    SocketPairModem& operator=(const SocketPairModem&) = delete;

    // The port end for the code under test, which then owns it.
    int takeNearEnd() {
        int fd = m_near;
        m_near = -1;
        return fd;
    }
    int farEnd() const { return m_far; }
    // The modem goes away: the code under test sees end of file.
    void closeFar() {
        if (m_far >= 0) ::close(m_far);
        m_far = -1;
    }

    // Reads until the byte `end` (bounded: about 5 s).
    std::string readUntil(char end) {
        std::string got;
        for (int i = 0; i < 500; ++i) {
            pollfd p{m_far, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            char c;
            while (::read(m_far, &c, 1) == 1) {
                got += c;
                if (c == end) return got;
            }
        }
        return got + "<timeout>";
    }
    // What was sent so far, one command per CR, read without waiting.
    std::vector<std::string> sentCommands() {
        std::vector<std::string> out;
        std::string line;
        char c;
        while (::read(m_far, &c, 1) == 1) {
            if (c != '\r') {
                line += c;
                continue;
            }
            out.push_back(line);
            line.clear();
        }
        return out;
    }
    void write(const std::string& s) {
        ASSERT_EQ(::write(m_far, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }
    // Runs the modem's side of a script on its own thread.
    template <class F>
    void peer(F f) {
        m_peer = std::thread(f);
    }
    void joinPeer() {
        if (m_peer.joinable()) m_peer.join();
    }

private:
    int m_near = -1;
    int m_far = -1;
    std::thread m_peer;
};

}  // namespace support
