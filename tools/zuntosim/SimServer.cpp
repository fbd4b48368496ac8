// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimServer.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>

#include "platform/Codepage.h"

namespace zuntosim {

using namespace std::chrono;

namespace {

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int listenLoopback(int port, int& actual) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never on other interfaces
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    actual = ntohs(a.sin_port);
    setNonBlocking(fd);
    return fd;
}

std::string printable(const std::string& s) {
    std::string o;
    char buf[8];
    for (unsigned char c : s) {
        if (c == '\r')
            o += "\\r";
        else if (c == '\n')
            o += "\\n";
        else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            o += buf;
        } else
            o += static_cast<char>(c);
    }
    return o;
}

}  // namespace

SimServer::~SimServer() {
    for (auto& m : m_modems) unplug(*m);
    if (m_controlListen >= 0) ::close(m_controlListen);
    for (auto& c : m_controlClients) ::close(c.fd);
    if (m_log) std::fclose(m_log);
}

ModemState* SimServer::modem(int number) {
    if (number < 1 || number > static_cast<int>(m_modems.size())) return nullptr;
    return &m_modems[static_cast<std::size_t>(number - 1)]->state;
}

bool SimServer::openPty(Modem& m, std::string& error) {
    m.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m.master < 0 || ::grantpt(m.master) != 0 || ::unlockpt(m.master) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m.path = ::ptsname(m.master);
    m.slaveKeep = ::open(m.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m.slaveKeep < 0) {
        error = "cannot open " + m.path;
        return false;
    }
    termios t{};
    ::tcgetattr(m.slaveKeep, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m.slaveKeep, TCSANOW, &t);
    setNonBlocking(m.master);
    return true;
}

bool SimServer::openTcp(Modem& m, int port, std::string& error) {
    int actual = 0;
    m.listenFd = listenLoopback(port, actual);
    if (m.listenFd < 0) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port);
        return false;
    }
    m.path = "tcp:127.0.0.1:" + std::to_string(actual);
    return true;
}

bool SimServer::start(const SimOptions& o, std::string& error) {
    if (o.devices < 1 || o.devices > 16) {
        error = "--devices takes 1..16";
        return false;
    }
    if (!o.logPath.empty() && !(m_log = std::fopen(o.logPath.c_str(), "ae"))) {
        error = "cannot write " + o.logPath;
        return false;
    }
    std::vector<std::pair<int, PhonebookEntry>> preload;
    if (!o.phonebookFile.empty()) {
        std::ifstream f(o.phonebookFile);
        if (!f) {
            error = "cannot read " + o.phonebookFile;
            return false;
        }
        // index,number,name (UTF-8); '#' starts a comment.
        std::string line;
        int lineNo = 0;
        while (std::getline(f, line)) {
            ++lineNo;
            if (line.empty() || line[0] == '#') continue;
            auto c1 = line.find(','), c2 = c1 == std::string::npos ? c1 : line.find(',', c1 + 1);
            int index = c1 == std::string::npos ? 0 : std::atoi(line.substr(0, c1).c_str());
            if (c2 == std::string::npos || index < 1 || index > o.phonebookCapacity) {
                error =
                    o.phonebookFile + ":" + std::to_string(lineNo) + ": expected index,number,name";
                return false;
            }
            preload.push_back({index,
                               {line.substr(c1 + 1, c2 - c1 - 1),
                                platform::codepage::utf8ToUcs2(line.substr(c2 + 1))}});
        }
    }
    for (int i = 1; i <= o.devices; ++i) {
        auto m = std::make_unique<Modem>();
        m->number = i;
        m->state.phonebookCapacity = o.phonebookCapacity;
        m->state.messageCapacity = o.messageCapacity;
        for (auto& [idx, e] : preload) m->state.phonebook[idx] = e;
        if (!(o.tcp ? openTcp(*m, o.tcpBase ? o.tcpBase + i - 1 : 0, error) : openPty(*m, error)))
            return false;
        if (!o.linkPrefix.empty() && !o.tcp) {
            // A link left by an earlier run (dangling or not) is replaced in
            // one step: a fresh link under a temporary name renamed over it.
            std::string link = o.linkPrefix + std::to_string(i);
            std::string fresh = link + ".new" + std::to_string(::getpid());
            ::unlink(fresh.c_str());
            if (::symlink(m->path.c_str(), fresh.c_str()) != 0 ||
                ::rename(fresh.c_str(), link.c_str()) != 0) {
                error = "cannot link " + link + ": " + std::strerror(errno);
                ::unlink(fresh.c_str());
                return false;
            }
        }
        std::cout << "device " << i << " " << m->path << "\n";
        m_modems.push_back(std::move(m));
    }
    m_sendLatencyMs = o.sendLatencyMs;
    m_reportDelayMs = o.reportDelayMs;
    m_dataCommand = o.dataCommand;
    m_stdinEndsRun = o.controlPort < 0;
    if (o.controlPort >= 0) {
        int actual = 0;
        m_controlListen = listenLoopback(o.controlPort, actual);
        if (m_controlListen < 0) {
            error = "cannot listen on control port";
            return false;
        }
        std::cout << "control tcp:127.0.0.1:" << actual << "\n";
    }
    std::cout.flush();
    return true;
}

void SimServer::log(int device, const char* dir, const std::string& text) {
    if (!m_log) return;
    auto now = system_clock::now();
    auto t = system_clock::to_time_t(now);
    int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &tm);
    std::fprintf(m_log, "%s.%03dZ device %d %s %s\n", stamp, ms, device, dir,
                 printable(text).c_str());
    std::fflush(m_log);
}

void SimServer::send(Modem& m, const std::string& bytes) {
    if (m.unplugged || m.ioFd() < 0) return;
    if (m.dataPid > 0) {  // the port carries the link; indications wait
        log(m.number, "dropped", bytes + " (data mode)");
        return;
    }
    log(m.number, "sent", bytes);
    m.out += bytes;
    flush(m);
}

void SimServer::flush(Modem& m) {
    while (!m.out.empty() && m.ioFd() >= 0) {
        ssize_t n = m.master >= 0 ? ::write(m.master, m.out.data(), m.out.size())
                                  : ::send(m.connFd, m.out.data(), m.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            m.out.erase(0, static_cast<std::size_t>(n));
        } else {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
            if (m.connFd >= 0) {
                ::close(m.connFd);
                m.connFd = -1;
            }
            m.out.clear();
            return;
        }
    }
}

void SimServer::unplug(Modem& m) {
    m.unplugged = true;
    hangUpData(m);
    reapData(m, true);
    for (int* fd : {&m.master, &m.slaveKeep, &m.listenFd, &m.connFd}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    m.unplugged = true;
}

void SimServer::onInput(Modem& m, const std::string& bytes) {
    // With echo on, what is typed at the "> " prompt comes back as typed;
    // sent in one piece per read, ahead of anything it leads to.
    std::string echo;
    auto flushEcho = [&] {
        if (!echo.empty()) send(m, echo);
        echo.clear();
    };
    for (char c : bytes) {
        if (m.stuck) {
            if (c == '\x1B') {
                m.stuck = false;
                log(m.number, "received", "<ESC> leaves the stuck send");
            }
            continue;
        }
        if (m.promptLength >= 0) {
            if (c == '\x1A') {
                flushEcho();
                submitPrompt(m);
            } else if (c == '\x1B') {
                // 27.005 3.5.1: ESC cancels the message.
                flushEcho();
                m.promptLength = -1;
                m.promptText.clear();
                log(m.number, "received", "<ESC>");
                send(m, "\r\nOK\r\n");
            } else if (c != '\r' && c != '\n' && m.promptText.size() < 1024) {
                m.promptText += c;
                if (m.state.echo) echo += c;
            }
            continue;
        }
        if (c == '\r') {
            std::string line;
            line.swap(m.input);
            if (m.busy)
                m.pending.push_back(line);
            else
                processLine(m, line);
        } else if (c != '\n' && m.input.size() < 4096) {
            m.input += c;
        }
    }
    flushEcho();
}

void SimServer::processLine(Modem& m, const std::string& line) {
    log(m.number, "received", line);
    ModemState& s = m.state;
    if (s.echo) send(m, line + "\r");
    std::vector<SimCommand> cmds;
    // V.250 5.2.1: a line that does not start with "AT" is not a command
    // line; the modem ignores it (clients send a lone ESC or CR to clear a
    // half-typed line before their first command).
    if (!parseCommandLine(line, cmds)) return;
    // A bare "AT" counts as a command named AT, so it can be faulted too.
    if (cmds.empty()) cmds.push_back({"AT", SimCommand::Kind::Exec, {}});
    std::string body, final = "OK", after;
    int delayMs = 0;
    for (const auto& cmd : cmds) {
        if (auto d = s.delays.find(cmd.name); d != s.delays.end()) {
            delayMs += d->second;
            s.delays.erase(d);
        }
        bool faulted = false;
        for (auto it = s.faults.begin(); it != s.faults.end(); ++it) {
            if (it->command != cmd.name) continue;
            Fault f = *it;
            if (--it->count <= 0) s.faults.erase(it);
            if (f.kind == Fault::Kind::Timeout) {
                log(m.number, "dropped", line);
                return;  // the modem never answers this line
            }
            SimReply r;
            if (f.kind == Fault::Kind::Error) r.final = "ERROR";
            if (f.kind == Fault::Kind::CmeError) cmeError(s, r, f.code);
            if (f.kind == Fault::Kind::CmsError) cmsError(s, r, f.code);
            final = r.final;
            faulted = true;
            break;
        }
        if (faulted) break;
        // Commands that take a PDU after "> " or wait for the network answer
        // themselves, after what the line's earlier commands printed.
        bool prompt = (cmd.name == "+CMGS" || cmd.name == "+CMGW") &&
                      cmd.kind == SimCommand::Kind::Set && s.cmgf == 0;
        if (prompt || (cmd.name == "+CMSS" && cmd.kind == SimCommand::Kind::Set)) {
            if (!body.empty()) send(m, body);
            if (prompt)
                beginPrompt(m, cmd);
            else
                sendStored(m, cmd);
            return;
        }
        SimReply r;
        m_table.run(s, cmd, r);
        if (r.next != SimReply::Next::Command) {  // a data dial ends the line
            if (r.next == SimReply::Next::Data) {
                send(m, body + "\r\n" + r.final + "\r\n");
                startData(m, cmd.args);
            } else {
                if (!body.empty()) send(m, body);
                m.dialling = true;
                log(m.number, "dropped", line + " (the network never answers)");
            }
            return;
        }
        // One block per command: its lines one after another, as modems send
        // a +CMGL entry's header and PDU.
        if (!r.lines.empty()) body += "\r\n";
        for (const auto& l : r.lines) body += l + "\r\n";
        for (const auto& l : r.after) after += "\r\n" + l + "\r\n";
        if (r.failed()) {
            final = r.final;
            break;
        }
    }
    reply(m, body + "\r\n" + final + "\r\n" + after, delayMs);
}

void SimServer::reply(Modem& m, const std::string& bytes, int delayMs) {
    if (delayMs > 0) {
        m.busy = true;
        m.dueAt = steady_clock::now() + milliseconds(delayMs);
        m.dueBytes = bytes;
    } else {
        send(m, bytes);
    }
}

}  // namespace zuntosim
