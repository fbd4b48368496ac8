// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppRas.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ras/RasErrors.h"

namespace platform::ras {

namespace fs = std::filesystem;

constexpr DWORD ERROR_INVALID_HANDLE = 6;
// First line of the copy the ip-up hook sets aside when there was no
// resolv.conf at all (wanmate/ppp/wanmate-dns writes it).
constexpr const char* kNoResolvConfMark = "# wanmate-dns: there was no resolv.conf";

namespace {
// A process's start time (field 22 of /proc/<pid>/stat): tells a pid that
// was reused from the process it named.
std::string startTime(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t p = stat.rfind(')');
    if (p == std::string::npos) return {};
    std::istringstream fields(stat.substr(p + 2));
    std::string f;
    for (int i = 3; i <= 22 && fields >> f; ++i) {
    }
    return f;
}
}  // namespace

PppRas::PppRas(PppConfig config, usb::UsbHost& usb, RasPhonebook phonebook, UserInitLookup userInit)
    : m_config(std::move(config)),
      m_usb(usb),
      m_phonebook(std::move(phonebook)),
      m_userInit(std::move(userInit)) {
    restoreNameServers();
}

PppRas::~PppRas() = default;

std::string PppRas::deviceOfPort(const std::string& port) {
    std::string shown = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
    return kDevicePrefix + shown + ")";
}

std::string PppRas::portOfDevice(const std::string& name) {
    std::string prefix = kDevicePrefix;
    if (name.rfind(prefix, 0) != 0 || name.size() <= prefix.size() + 1 || name.back() != ')')
        return {};
    std::string inner = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    return inner[0] == '/' ? inner : "/dev/" + inner;
}

DWORD PppRas::RasEnumDevicesA(std::vector<RASDEVINFOA>& devices) {
    devices.clear();
    // The data port of every modem: the Zunto modem's, and those the table
    // of known modems names.
    for (const auto& tty : m_usb.dataPorts(platform::usb::ModemTable::loadDefault()))
        devices.push_back({"modem", deviceOfPort("/dev/" + tty)});
    for (const auto& p : m_config.extraPorts) devices.push_back({"modem", deviceOfPort(p)});
    return 0;
}

DWORD PppRas::RasDeleteEntryA(const std::string& entryName) {
    return m_phonebook.remove(entryName) ? 0 : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
}

DWORD PppRas::RasSetEntryPropertiesA(const std::string& entryName, const RASENTRYA& entry) {
    if (entry.dwSize != kRasEntrySize) return ERROR_INVALID_SIZE;
    if (entryName.size() > RAS_MaxEntryName ||
        entry.szLocalPhoneNumber.size() > RAS_MaxPhoneNumber ||
        entry.szDeviceName.size() > RAS_MaxDeviceName ||
        entry.szDeviceType.size() > RAS_MaxDeviceType || entry.szAreaCode.size() > RAS_MaxAreaCode)
        return ERROR_INVALID_SIZE;
    return m_phonebook.put(entryName, entry) ? 0 : ERROR_CANNOT_WRITE_PHONEBOOK;
}

DWORD PppRas::RasGetEntryPropertiesA(const std::string& entryName, RASENTRYA& entry) {
    auto e = m_phonebook.get(entryName);
    if (!e) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    entry = *e;
    return 0;
}

DWORD PppRas::RasDialA(const std::string& entryName, RasDialFunc notifier, HRASCONN* handle) {
    if (handle) *handle = 0;
    auto entry = m_phonebook.get(entryName);
    if (!entry) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    PppSession::Setup setup;
    setup.port = portOfDevice(entry->szDeviceName);
    if (setup.port.empty()) return ERROR_PORT_OR_DEVICE;
    setup.number = entry->szLocalPhoneNumber;
    setup.userInit = m_userInit ? m_userInit(setup.port) : std::string();
    // A text the chat script cannot carry is refused before anything runs.
    if (PppSession::chatScript(setup.userInit, setup.number).empty()) return ERROR_FROM_DEVICE;
    if (entry->dwfOptions & RASEO_SpecificNameServers) setup.dns = entry->ipaddrDns;
    setup.entryName = entryName;
    setup.deviceName = entry->szDeviceName;
    std::lock_guard lk(m_mutex);
    HRASCONN h = m_nextId++;
    auto session = std::make_unique<PppSession>(m_config, std::move(setup), std::move(notifier),
                                                static_cast<unsigned>(h));
    session->start();
    m_sessions[h] = std::move(session);
    if (handle) *handle = h;
    return 0;
}

DWORD PppRas::RasHangUpA(HRASCONN handle) {
    if (handle & kForeignLinkBit) {
        pid_t pid = static_cast<pid_t>(handle & ~kForeignLinkBit);
        std::string started = startTime(pid);
        if (::kill(pid, SIGTERM) != 0) return ERROR_INVALID_HANDLE;
        int after = m_config.killAfterMs;
        std::thread([pid, after, started] {
            std::this_thread::sleep_for(std::chrono::milliseconds(after));
            if (!started.empty() && startTime(pid) == started) ::kill(pid, SIGKILL);
        }).detach();
        return 0;
    }
    std::lock_guard lk(m_mutex);
    auto it = m_sessions.find(handle);
    if (it == m_sessions.end()) return ERROR_INVALID_HANDLE;
    it->second->hangUp();
    m_ending.push_back(std::move(it->second));
    m_sessions.erase(it);
    // Drop those that have ended (their threads are done).
    std::erase_if(m_ending, [](const auto& s) { return s->ended(); });
    return 0;
}

void PppRas::restoreNameServers() {
    const fs::path conf = m_config.etcDir / "resolv.conf";
    const fs::path aside = m_config.etcDir / "resolv.conf.wanmate-saved";
    struct stat st {};
    if (::lstat(aside.c_str(), &st) != 0) return;
    {
        std::lock_guard lk(m_mutex);
        if (foreignLink()) return;  // its ip-down will put it back
    }
    if (!S_ISREG(st.st_mode) || st.st_uid != 0) return;  // not the hook's
    if (::lstat(conf.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::fprintf(stderr, "ras: %s is a link now; %s left alone\n", conf.c_str(), aside.c_str());
        return;
    }
    std::ifstream in(aside);
    std::string first;
    std::getline(in, first);
    // The hook's mark for "there was none".
    bool none = first == kNoResolvConfMark;
    int rc = none
                 ? ((::unlink(conf.c_str()) == 0 || errno == ENOENT) ? ::unlink(aside.c_str()) : -1)
                 : ::rename(aside.c_str(), conf.c_str());
    if (rc != 0)
        std::fprintf(stderr, "ras: %s left by a link that ended without ip-down: %s\n",
                     aside.c_str(), std::strerror(errno));
    else
        std::fprintf(stderr, "ras: %s put back after a link that ended without ip-down\n",
                     conf.c_str());
}

std::optional<PppSession::Info> PppRas::linkInfo() {
    std::lock_guard lk(m_mutex);
    for (const auto& [h, s] : m_sessions)
        if (s->connected()) return s->info();
    auto f = foreignLink();
    if (!f) return std::nullopt;
    pid_t pid = static_cast<pid_t>(f->hrasconn & ~kForeignLinkBit);
    PppSession::Info i;
    fs::path pidFile = m_config.pidDir / "ppp-wanmate.pid";
    std::ifstream in(pidFile);
    long p = 0;
    in >> p >> i.ifname;
    struct stat st {};
    if (::stat(pidFile.c_str(), &st) == 0)
        i.since = std::chrono::system_clock::from_time_t(st.st_mtime);
    // The port and the given name server, from the command line it was
    // started with.
    std::ifstream cmd("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    for (std::string a; std::getline(cmd, a, '\0');) args.push_back(a);
    for (size_t k = 1; k < args.size(); ++k) {
        if (args[k].rfind("/dev/", 0) == 0 && i.port.empty()) i.port = args[k];
        if (args[k] == "ipparam" && k + 1 < args.size()) i.dns = args[k + 1];
    }
    if (i.port.empty() && args.size() > 3 && args[1] == "call") i.port = args[3];
    struct ifaddrs* list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (auto* a = list; a; a = a->ifa_next)
            if (a->ifa_addr && a->ifa_addr->sa_family == AF_INET && i.ifname == a->ifa_name) {
                char text[INET_ADDRSTRLEN] = "";
                ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text,
                            sizeof text);
                i.localIp = text;
            }
        ::freeifaddrs(list);
    }
    return i;
}

std::optional<RASCONNA> PppRas::foreignLink() {
    std::ifstream in(m_config.pidDir / "ppp-wanmate.pid");
    long pid = 0;
    std::string ifname;
    if (!(in >> pid) || pid <= 0 || !(in >> ifname)) return std::nullopt;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return std::nullopt;
    if (ifname.find('/') != std::string::npos ||
        !fs::exists(m_config.sysRoot / "class" / "net" / ifname))
        return std::nullopt;
    for (const auto& [h, s] : m_sessions)
        if (s->pid() == pid) return std::nullopt;  // one of this run's
    return RASCONNA{kForeignLinkBit | static_cast<HRASCONN>(pid), "KelvoZunto", ""};
}

DWORD PppRas::RasEnumConnectionsA(size_t room, std::vector<RASCONNA>& out, size_t* needed) {
    std::vector<RASCONNA> all;
    {
        std::lock_guard lk(m_mutex);
        for (const auto& [h, s] : m_sessions)
            if (s->connected()) all.push_back({h, s->setup().entryName, s->setup().deviceName});
        if (auto f = foreignLink()) all.push_back(*f);
    }
    if (needed) *needed = all.size();
    out.clear();
    if (all.size() > room) return ERROR_BUFFER_TOO_SMALL;
    out = std::move(all);
    return 0;
}

DWORD PppRas::RasGetConnectStatusA(HRASCONN handle, RASCONNSTATUSA& status) {
    if (handle & kForeignLinkBit) {
        pid_t pid = static_cast<pid_t>(handle & ~kForeignLinkBit);
        bool alive = ::kill(pid, 0) == 0 || errno == EPERM;
        status.rasconnstate = alive ? RASCS_Connected : RASCS_Disconnected;
        status.dwError = 0;
        return alive ? 0 : ERROR_INVALID_HANDLE;
    }
    std::lock_guard lk(m_mutex);
    auto it = m_sessions.find(handle);
    if (it == m_sessions.end()) return ERROR_INVALID_HANDLE;
    RASCONNSTATUSA s = it->second->status();
    status.rasconnstate = s.rasconnstate;
    status.dwError = s.dwError;
    return 0;
}

bool PppRas::RasGetErrorStringA(DWORD error, std::string& text) {
    auto t = rasErrorText(error);
    if (!t) return false;
    text = *t;
    return true;
}

}  // namespace platform::ras
