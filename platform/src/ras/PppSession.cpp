// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppSession.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "platform/ModemHold.h"
#include "platform/ras/PortLock.h"

namespace platform::ras {

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

bool chatSafe(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == '\'' || c == '\\' || c == 0x7F) return false;
    return true;
}

std::string ipText(const RASIPADDR& a) {
    char b[20];
    std::snprintf(b, sizeof b, "%u.%u.%u.%u", a.a, a.b, a.c, a.d);
    return b;
}

int runWithInput(const std::vector<std::string>& argv, const std::string& input) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[0], 0);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[0]);
    [[maybe_unused]] ssize_t n = ::write(fds[1], input.data(), input.size());
    ::close(fds[1]);
    int status = 0;
    if (pid > 0) ::waitpid(pid, &status, 0);
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Before pppd touches the port ModemManager lets go of the modem; the
// helper keeps it away while pppd's lock file lives. False when it refused.
bool takeFromModemManager(const std::string& port, const fs::path& sysRoot) {
    auto r = holdModemFromManager(modemHoldRequestFor(port, sysRoot.string()));
    if (r.kind != ModemHoldResult::Kind::NotRunning && r.kind != ModemHoldResult::Kind::Ignored)
        std::fprintf(stderr, "ras: %s: %s\n", port.c_str(), r.describe().c_str());
    return r.mayOpen();
}

}  // namespace

PppSession::PppSession(const PppConfig& config, Setup setup, RasDialFunc notifier, unsigned id)
    : m_config(config), m_setup(std::move(setup)), m_notifier(std::move(notifier)), m_id(id) {}

PppSession::~PppSession() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void PppSession::start() {
    m_thread = std::thread([this] { run(); });
}

// A link of an earlier run may still be writing its log: names carry the
// process as well as the dial.
std::string PppSession::tag() const {
    return std::to_string(::getpid()) + "-" + std::to_string(m_id);
}

fs::path PppSession::logFile() const {
    return m_config.runDir / ("session-" + tag() + ".log");
}

std::string PppSession::chatScript(const std::string& userInit, const std::string& number) {
    if (!chatSafe(userInit) || !chatSafe(number) || number.empty()) return {};
    std::string s =
        "ABORT BUSY\nABORT 'NO CARRIER'\nABORT 'NO ANSWER'\nABORT 'NO DIALTONE'\nABORT ERROR\n"
        "TIMEOUT 10\n'' AT\n";
    if (!userInit.empty()) s += "OK '" + userInit + "'\n";
    s += "OK 'ATD" + number + "'\nTIMEOUT 60\nCONNECT ''\n";
    return s;
}

std::vector<std::string> PppSession::commandLine() const {
    fs::path script = m_config.runDir / ("chat-" + tag());
    std::string connect = "exec " + m_config.chat + " -v -s -S -f " + script.string();
    if (!m_config.privileged) {
        // The peers file holds the privileged options and a connect step
        // that runs <runDir>/chat-current.
        return {m_config.pppd, "call", "wanmate", m_setup.port};
    }
    return {m_config.pppd, m_setup.port, "115200",  "nodetach", "logfd",
            "2",           "debug",      "noipv6",  "noauth",   "defaultroute",
            "usepeerdns",  "linkname",   "wanmate", "connect",  connect};
}

bool PppSession::spawn() {
    std::error_code ec;
    // Only this user may write the scripts pppd runs.
    if (fs::create_directories(m_config.runDir, ec))
        fs::permissions(m_config.runDir, fs::perms::owner_all, ec);
    std::string script = chatScript(m_setup.userInit, m_setup.number);
    if (script.empty()) return false;
    for (const char* name : {"chat-", "chat-current"}) {
        std::string file = name == std::string("chat-") ? name + tag() : name;
        std::ofstream out(m_config.runDir / file, std::ios::trunc);
        out << script;
        if (!out) return false;
    }
    int log = ::open(logFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (log < 0) return false;
    auto argv = commandLine();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();  // its own group: a hang-up reaches chat too
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        std::fprintf(stderr, "Failed to start %s\n", args[0]);
        ::_exit(1);
    }
    ::close(log);
    if (pid < 0) return false;
    m_pid = pid;
    return true;
}

void PppSession::handle(const std::vector<PppProgress::Notice>& notices) {
    for (const auto& n : notices) {
        if (n.state == RASCS_Connected && n.error == 0) linkUp();
        if (!m_hungUp && m_notifier) m_notifier(0, n.state, n.error);
    }
}

void PppSession::feed(const std::string& line) {
    std::vector<PppProgress::Notice> notices;
    {
        std::lock_guard lk(m_mutex);
        if (line.rfind("Using interface ", 0) == 0) m_ifname = line.substr(16);
        notices = m_progress.onLine(line);
    }
    handle(notices);
}

void PppSession::run() {
    handle([&] {
        std::lock_guard lk(m_mutex);
        return m_progress.begin();
    }());
    const bool refused = !takeFromModemManager(m_setup.port, m_config.sysRoot);
    std::string problem = refused ? std::string() : PortLock::inUse(m_setup.port);
    if (refused || !problem.empty() || m_hungUp || !spawn()) {
        if (!problem.empty()) std::fprintf(stderr, "ras: %s\n", problem.c_str());
        std::vector<PppProgress::Notice> n;
        {
            std::lock_guard lk(m_mutex);
            n = refused ? m_progress.managerRefused() : m_progress.portUnavailable();
        }
        handle(n);
        m_ended = true;
        return;
    }
    int fd = ::open(logFile().c_str(), O_RDONLY | O_CLOEXEC);
    std::string pending;
    auto killAt = steady_clock::time_point::max();
    bool killed = false;
    for (;;) {
        char buf[4096];
        ssize_t n;
        while (fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0) {
            pending.append(buf, static_cast<size_t>(n));
            size_t nl;
            while ((nl = pending.find('\n')) != std::string::npos) {
                feed(pending.substr(0, nl));
                pending.erase(0, nl + 1);
            }
        }
        int status = 0;
        pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            if (!pending.empty()) feed(pending);
            int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            std::vector<PppProgress::Notice> notices;
            {
                std::lock_guard lk(m_mutex);
                notices = m_progress.onExit(code);
            }
            linkDown();
            handle(notices);
            break;
        }
        if (m_hungUp && killAt == steady_clock::time_point::max()) {
            ::kill(-m_pid, SIGTERM);
            killAt = steady_clock::now() + milliseconds(m_config.killAfterMs);
        }
        if (!killed && steady_clock::now() >= killAt) {
            ::kill(-m_pid, SIGKILL);
            killed = true;
        }
        // Leaving while the link is up: pppd goes on without us.
        if (m_stop && !m_hungUp) break;
        std::this_thread::sleep_for(milliseconds(m_config.pollMs));
    }
    if (fd >= 0) ::close(fd);
    m_ended = true;
}

// The thread sends the signals, so a hang-up racing the start of pppd
// still reaches it.
void PppSession::hangUp() {
    m_hungUp = true;
}

RASCONNSTATUSA PppSession::status() const {
    std::lock_guard lk(m_mutex);
    RASCONNSTATUSA s;
    s.rasconnstate = m_ended ? RASCS_Disconnected : m_progress.state();
    s.dwError = m_progress.error();
    return s;
}

void PppSession::linkUp() {
    m_connected = true;
    if (!m_setup.dns) return;
    std::string line = "nameserver " + ipText(*m_setup.dns) + "\n";
    if (!m_config.resolvconf.empty()) {
        std::string iface;
        {
            std::lock_guard lk(m_mutex);
            iface = m_ifname.empty() ? "ppp" : m_ifname;
        }
        m_dnsWritten = runWithInput({m_config.resolvconf, "-a", iface + ".wanmate"}, line) == 0;
    } else {
        std::ofstream(m_config.runDir / "resolv.conf", std::ios::trunc) << line;
        m_dnsWritten = true;
    }
}

void PppSession::linkDown() {
    m_connected = false;
    if (!m_dnsWritten) return;
    m_dnsWritten = false;
    if (!m_config.resolvconf.empty()) {
        runWithInput(
            {m_config.resolvconf, "-d", (m_ifname.empty() ? "ppp" : m_ifname) + ".wanmate"}, "");
    } else {
        std::error_code ec;
        fs::remove(m_config.runDir / "resolv.conf", ec);
    }
}

}  // namespace platform::ras
