// SPDX-License-Identifier: GPL-3.0-or-later
// SimServer's data mode: after ATD*99# the modem's port carries the link
// to a network-side program (pppd by default) until that program ends; then
// the modem says NO CARRIER and takes commands again. The program gets a
// socket as standard input and output, since the port's master side is no
// terminal a pppd could drive (pppd's "notty" is made for this).
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "SimServer.h"

namespace zuntosim {

void SimServer::startData(Modem& m, const std::string& dial) {
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        log(m.number, "dropped", "data mode: no socket");
        return send(m, "\r\nNO CARRIER\r\n");
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        // The child: its own process group, so a hang-up ends all it started.
        ::setpgid(0, 0);
        ::dup2(sv[1], 0);
        ::dup2(sv[1], 1);
        ::setenv("ZUNTOSIM_DEVICE", std::to_string(m.number).c_str(), 1);
        ::setenv("ZUNTOSIM_DIAL", dial.c_str(), 1);
        ::execl("/bin/sh", "sh", "-c", m_dataCommand.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(sv[1]);
    if (pid < 0) {
        ::close(sv[0]);
        log(m.number, "dropped", "data mode: cannot start " + m_dataCommand);
        return send(m, "\r\nNO CARRIER\r\n");
    }
    ::setpgid(pid, pid);  // also here, so a kill right away reaches the group
    ::fcntl(sv[0], F_SETFL, ::fcntl(sv[0], F_GETFL) | O_NONBLOCK);
    m.dataPid = pid;
    m.dataFd = sv[0];
    m.dataOut.clear();
    m.dataUp = m.dataDown = 0;
    m.input.clear();
    log(m.number, "data", "connected to " + m_dataCommand + " (pid " + std::to_string(pid) + ")");
}

void SimServer::dataFromModem(Modem& m, const char* bytes, std::size_t n) {
    if (m.dataFd < 0) return;  // the program closed its side; it is ending
    m.dataOut.append(bytes, n);
    m.dataUp += static_cast<long long>(n);
    flushData(m);
}

void SimServer::flushData(Modem& m) {
    while (!m.dataOut.empty() && m.dataFd >= 0) {
        ssize_t n = ::send(m.dataFd, m.dataOut.data(), m.dataOut.size(), MSG_NOSIGNAL);
        if (n > 0) {
            m.dataOut.erase(0, static_cast<std::size_t>(n));
        } else {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
            m.dataOut.clear();
            return;
        }
    }
}

void SimServer::dataFromNetwork(Modem& m) {
    char buf[4096];
    while (m.dataFd >= 0 && m.out.size() < kDataBuffer) {
        ssize_t n = ::read(m.dataFd, buf, sizeof buf);
        if (n > 0) {
            // Link traffic goes out as it is, and is counted, not logged.
            m.dataDown += n;
            m.out.append(buf, static_cast<std::size_t>(n));
            flush(m);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // The program closed its side: the link is down.
        ::close(m.dataFd);
        m.dataFd = -1;
        ::kill(-m.dataPid, SIGTERM);
    }
}

void SimServer::hangUpData(Modem& m) {
    if (m.dataPid > 0) ::kill(-m.dataPid, SIGTERM);
}

void SimServer::reapData(Modem& m, bool wait) {
    if (m.dataPid <= 0) return;
    int status = 0;
    pid_t got = ::waitpid(m.dataPid, &status, WNOHANG);
    // Bounded: a program that ignores SIGTERM for a second gets SIGKILL.
    for (int i = 0; wait && got == 0 && i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        got = ::waitpid(m.dataPid, &status, WNOHANG);
    }
    if (wait && got == 0) {
        ::kill(-m.dataPid, SIGKILL);
        got = ::waitpid(m.dataPid, &status, 0);
    }
    if (got == 0) return;
    if (m.dataFd >= 0) {
        dataFromNetwork(m);  // what it wrote last still reaches the client
        if (m.dataFd >= 0) ::close(m.dataFd);
        m.dataFd = -1;
    }
    ::kill(-m.dataPid, SIGTERM);  // anything it left behind in its group
    m.dataPid = -1;
    m.dataOut.clear();
    std::string how = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                        : "signal " + std::to_string(WTERMSIG(status));
    log(m.number, "data",
        "ended (" + how + "), " + std::to_string(m.dataUp) + " bytes up, " +
            std::to_string(m.dataDown) + " down");
    if (!m.unplugged) send(m, "\r\nNO CARRIER\r\n");
}

std::string SimServer::dataControl(Modem& m, const std::vector<std::string>& w) {
    using F = ModemState::DataFault;
    if (w.size() != 2) return "ERROR usage: " + w[0] + " D";
    m.state.dataFault = w[0] == "busy" ? F::Busy : w[0] == "silent" ? F::Silent : F::NoCarrier;
    return "OK";
}

}  // namespace zuntosim
