// SPDX-License-Identifier: GPL-3.0-or-later
// SimServer's poll loop: modem ports, delayed replies, control channels.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "SimServer.h"

namespace zuntosim {

using namespace std::chrono;

void SimServer::handleControlInput(std::string& buffer, const std::string& data, int replyFd) {
    buffer += data;
    std::size_t nl;
    while ((nl = buffer.find('\n')) != std::string::npos) {
        std::string line = buffer.substr(0, nl);
        buffer.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::string answer = control(line) + "\n";
        [[maybe_unused]] auto r = ::write(replyFd, answer.data(), answer.size());
        if (m_quit) return;
    }
}

int SimServer::run() {
    std::string stdinBuffer;
    bool stdinOpen = true;
    while (!m_quit) {
        std::vector<pollfd> fds;
        std::vector<std::pair<int, int>> who;  // (kind, index): 0 stdin, 1 modem io, 2 modem
                                               // listen, 3 control listen, 4 control client,
                                               // 5 modem data program
        if (stdinOpen) {
            fds.push_back({0, POLLIN, 0});
            who.push_back({0, 0});
        }
        int timeout = -1;
        auto now = steady_clock::now();
        for (std::size_t i = 0; i < m_modems.size(); ++i) {
            Modem& m = *m_modems[i];
            if (m.unplugged) continue;
            if (m.ioFd() >= 0) {
                bool take = m.dataOut.size() < kDataBuffer;
                fds.push_back(
                    {m.ioFd(),
                     static_cast<short>((take ? POLLIN : 0) | (m.out.empty() ? 0 : POLLOUT)), 0});
                who.push_back({1, static_cast<int>(i)});
            }
            if (m.dataFd >= 0) {
                bool take = m.out.size() < kDataBuffer;
                fds.push_back(
                    {m.dataFd,
                     static_cast<short>((take ? POLLIN : 0) | (m.dataOut.empty() ? 0 : POLLOUT)),
                     0});
                who.push_back({5, static_cast<int>(i)});
            }
            // The data program's end is noticed by polling for it.
            if (m.dataPid > 0) timeout = timeout < 0 ? 100 : std::min(timeout, 100);
            if (m.listenFd >= 0) {
                fds.push_back({m.listenFd, POLLIN, 0});
                who.push_back({2, static_cast<int>(i)});
            }
            if (m.busy) {
                auto left = duration_cast<milliseconds>(m.dueAt - now).count();
                int ms = static_cast<int>(std::max<long long>(0, left));
                timeout = timeout < 0 ? ms : std::min(timeout, ms);
            }
        }
        ringDue(now, timeout);
        reportsDue(now, timeout);
        if (m_controlListen >= 0) {
            fds.push_back({m_controlListen, POLLIN, 0});
            who.push_back({3, 0});
        }
        for (std::size_t i = 0; i < m_controlClients.size(); ++i) {
            fds.push_back({m_controlClients[i].fd, POLLIN, 0});
            who.push_back({4, static_cast<int>(i)});
        }
        int n = ::poll(fds.data(), fds.size(), timeout);
        if (n < 0 && errno != EINTR) return 1;
        now = steady_clock::now();
        for (auto& mp : m_modems) {
            Modem& m = *mp;
            if (m.busy && now >= m.dueAt) {
                m.busy = false;
                send(m, m.dueBytes);
                while (!m.busy && !m.pending.empty()) {
                    std::string line = m.pending.front();
                    m.pending.pop_front();
                    processLine(m, line);
                }
            }
        }
        for (auto& mp : m_modems) reapData(*mp, false);
        if (n <= 0) continue;
        std::vector<int> closedClients;
        for (std::size_t k = 0; k < fds.size() && !m_quit; ++k) {
            if (!fds[k].revents) continue;
            auto [kind, idx] = who[k];
            char buf[4096];
            if (kind == 0) {
                ssize_t r = ::read(0, buf, sizeof buf);
                if (r <= 0) {
                    stdinOpen = false;
                    if (r < 0)
                        std::fprintf(stderr, "zuntosim: standard input: %s\n",
                                     std::strerror(errno));
                    // Without a control port the parent is gone: do not
                    // linger. With one, scripts run it with no stdin.
                    if (m_stdinEndsRun) m_quit = true;
                } else {
                    handleControlInput(stdinBuffer, std::string(buf, static_cast<std::size_t>(r)),
                                       1);
                }
            } else if (kind == 1) {
                Modem& m = *m_modems[static_cast<std::size_t>(idx)];
                if (m.unplugged) continue;
                if (fds[k].revents & POLLOUT) flush(m);
                if (fds[k].revents & (POLLIN | POLLHUP | POLLERR)) {
                    ssize_t r = m.master >= 0 ? ::read(m.master, buf, sizeof buf)
                                              : ::recv(m.connFd, buf, sizeof buf, 0);
                    if (r > 0 && m.dataPid > 0) {
                        dataFromModem(m, buf, static_cast<std::size_t>(r));
                    } else if (r > 0 && m.dialling) {
                        // Any character aborts a dial still waiting (V.250 6.3.1).
                        m.dialling = false;
                        send(m, "\r\nNO CARRIER\r\n");
                    } else if (r > 0) {
                        onInput(m, std::string(buf, static_cast<std::size_t>(r)));
                    } else if (m.connFd >= 0 && (r == 0 || errno != EAGAIN)) {
                        ::close(m.connFd);  // the client went away; listen again
                        m.connFd = -1;
                        m.input.clear();
                        m.dialling = false;
                        hangUpData(m);
                    }
                }
            } else if (kind == 5) {
                Modem& m = *m_modems[static_cast<std::size_t>(idx)];
                if (fds[k].revents & POLLOUT) flushData(m);
                if (fds[k].revents & (POLLIN | POLLHUP | POLLERR)) dataFromNetwork(m);
            } else if (kind == 2) {
                Modem& m = *m_modems[static_cast<std::size_t>(idx)];
                int c = ::accept4(m.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (c >= 0) {
                    if (m.connFd >= 0) ::close(m.connFd);
                    m.connFd = c;
                    m.input.clear();
                    m.out.clear();
                }
            } else if (kind == 3) {
                int c = ::accept4(m_controlListen, nullptr, nullptr, SOCK_CLOEXEC);
                if (c >= 0) m_controlClients.push_back({c, {}});
            } else if (kind == 4) {
                auto& cl = m_controlClients[static_cast<std::size_t>(idx)];
                ssize_t r = ::read(cl.fd, buf, sizeof buf);
                if (r <= 0)
                    closedClients.push_back(idx);
                else
                    handleControlInput(cl.input, std::string(buf, static_cast<std::size_t>(r)),
                                       cl.fd);
            }
        }
        for (auto it = closedClients.rbegin(); it != closedClients.rend(); ++it) {
            ::close(m_controlClients[static_cast<std::size_t>(*it)].fd);
            m_controlClients.erase(m_controlClients.begin() + *it);
        }
    }
    return 0;
}

}  // namespace zuntosim
