// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppSession.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/ModemHold.h"
#include "platform/RunDir.h"
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

// One word for the shell pppd runs the connect step with.
std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// pppd runs of dials still under way, for a program that ends through
// exit() without unwinding (the toolkit does so when the desktop session's
// display goes away): they are ended then as a hang-up would.
std::mutex g_diallingMutex;
std::set<pid_t> g_dialling;

void endDiallingAtExit() {
    std::set<pid_t> left;
    {
        std::lock_guard lk(g_diallingMutex);
        left.swap(g_dialling);
    }
    if (left.empty()) return;
    for (pid_t p : left) ::kill(-p, SIGTERM);
    auto deadline = steady_clock::now() + milliseconds(3000);
    while (steady_clock::now() < deadline) {
        std::erase_if(left, [](pid_t p) { return ::waitpid(p, nullptr, WNOHANG) != 0; });
        if (left.empty()) return;
        std::this_thread::sleep_for(milliseconds(20));
    }
    for (pid_t p : left) ::kill(-p, SIGKILL);
}

void trackDialling(pid_t pid, bool dialling) {
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(endDiallingAtExit); });
    std::lock_guard lk(g_diallingMutex);
    if (dialling)
        g_dialling.insert(pid);
    else
        g_dialling.erase(pid);
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

fs::path PppSession::scriptFile() const {
    return m_config.runDir / ("chat-" + tag());
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
    // The name server: the given one goes to the ip-up hook (as ipparam,
    // the only text pppd hands it), or else the peer's is asked for; never
    // both, so Debian's own usepeerdns hook stays out of the way.
    std::vector<std::string> dns = {"usepeerdns"};
    if (m_setup.dns) dns = {"ipparam", ipText(*m_setup.dns)};
    std::vector<std::string> argv;
    if (!m_config.privileged) {
        // The peers file holds the privileged options and a connect step
        // that runs <runDir>/chat-current.
        argv = {m_config.pppd, "call", "wanmate", m_setup.port};
    } else {
        std::string connect = "exec " + shellQuoted(m_config.chat) + " -v -s -S -f " +
                              shellQuoted(scriptFile().string());
        argv = {m_config.pppd, m_setup.port, "115200",  "nodetach", "logfd",
                "2",           "debug",      "noipv6",  "noauth",   "defaultroute",
                "lock",        "linkname",   "wanmate", "connect",  connect};
    }
    argv.insert(argv.end(), dns.begin(), dns.end());
    return argv;
}

bool PppSession::spawn() {
    std::string why;
    if (!ensurePrivateDir(m_config.runDir, &why)) {
        std::fprintf(stderr, "ras: %s\n", why.c_str());
        return false;
    }
    std::string script = chatScript(m_setup.userInit, m_setup.number);
    if (script.empty()) return false;
    auto writeNew = [](const fs::path& path, const std::string& text) {
        ::unlink(path.c_str());  // ours, from a run whose pid came round again
        int fd = createNewFile(path);
        if (fd < 0) return -1;
        if (::write(fd, text.data(), text.size()) != ssize_t(text.size())) {
            ::close(fd);
            return -1;
        }
        return fd;
    };
    int fd = writeNew(scriptFile(), script);
    if (fd < 0) return false;
    ::close(fd);
    if (!m_config.privileged) {
        if (!replaceFile(m_config.runDir / "chat-current", script)) return false;
        m_wroteCurrent = true;
    }
    int log = writeNew(logFile(), "");
    if (log < 0) return false;
    auto argv = commandLine();
    // The connect step of the peers file looks here first.
    std::string runDirEnv = "WANMATE_RUN_DIR=" + m_config.runDir.string();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();  // its own group: a hang-up reaches chat too
        // A signal mask or ignored signal of the program's would go to pppd
        // and chat through exec and keep SIGTERM from ending them.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
        ::putenv(runDirEnv.data());
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
    trackDialling(pid, true);
    return true;
}

void PppSession::removeFiles() {
    ::unlink(scriptFile().c_str());
    if (!m_config.keepLogs) ::unlink(logFile().c_str());
    if (m_wroteCurrent) ::unlink((m_config.runDir / "chat-current").c_str());
}

void PppSession::handle(const std::vector<PppProgress::Notice>& notices) {
    for (const auto& n : notices) {
        if (n.state == RASCS_Connected && n.error == 0) {
            {
                std::lock_guard lk(m_mutex);
                m_since = std::chrono::system_clock::now();
            }
            m_connected = true;
            trackDialling(m_pid, false);
        }
        if (!m_hungUp && m_notifier) m_notifier(0, n.state, n.error);
    }
}

void PppSession::feed(const std::string& line) {
    std::vector<PppProgress::Notice> notices;
    {
        std::lock_guard lk(m_mutex);
        if (line.rfind("Using interface ", 0) == 0) m_ifname = line.substr(16);
        if (line.rfind("local  IP address ", 0) == 0) m_localIp = line.substr(18);
        if (line.rfind("primary   DNS address ", 0) == 0) m_peerDns = line.substr(22);
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
        removeFiles();
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
            m_connected = false;
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
        // Leaving while the link is up: pppd goes on without us. A dial
        // still under way is ended: nobody would follow it any more.
        if (m_stop && !m_hungUp) {
            if (m_connected) break;
            m_hungUp = true;
            continue;
        }
        std::this_thread::sleep_for(milliseconds(m_config.pollMs));
    }
    if (fd >= 0) ::close(fd);
    if (m_pid > 0) trackDialling(m_pid, false);
    removeFiles();
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

PppSession::Info PppSession::info() const {
    std::lock_guard lk(m_mutex);
    Info i;
    i.port = m_setup.port;
    i.ifname = m_ifname;
    i.localIp = m_localIp;
    i.dns = m_setup.dns ? ipText(*m_setup.dns) : m_peerDns;
    i.since = m_since;
    return i;
}

}  // namespace platform::ras
