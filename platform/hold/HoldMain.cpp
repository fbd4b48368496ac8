// SPDX-License-Identifier: GPL-3.0-or-later
// zunto-modem-hold: takes one modem from ModemManager for our programs and
// gives it back when none of them uses it any more (see
// platform/ModemHold.h). Usage:
//   zunto-modem-hold --uid /sys/devices/... --device DIR --port /dev/ttyUSB2
// The first line on standard output answers the caller: "held",
// "not-running", "ignored", "unmanaged" or "refused <why>"; the process then
// stays as long as it holds the modem.
#include <fcntl.h>
#include <libudev.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "HolderFiles.h"
#include "ManagerBus.h"
#include "platform/ModemHold.h"

using namespace std::chrono;
using namespace zunto::hold;

namespace {

void note(const std::string& text) {
    std::fprintf(stderr, "zunto-modem-hold[%d]: %s\n", static_cast<int>(::getpid()), text.c_str());
}

// ID_MM_DEVICE_IGNORE is a udev property. A test's sysfs tree outside /sys
// has no udev database; it writes the property into the device's uevent.
bool ignoredByManager(const std::string& device) {
    if (device.rfind("/sys/", 0) == 0) {
        bool ignored = false;
        if (udev* u = udev_new()) {
            if (udev_device* d = udev_device_new_from_syspath(u, device.c_str())) {
                const char* v = udev_device_get_property_value(d, "ID_MM_DEVICE_IGNORE");
                ignored = v && std::strcmp(v, "1") == 0;
                udev_device_unref(d);
            }
            udev_unref(u);
        }
        return ignored;
    }
    std::ifstream f(device + "/uevent");
    std::string line;
    while (std::getline(f, line))
        if (line == "ID_MM_DEVICE_IGNORE=1") return true;
    return false;
}

class Holder final {
public:
    Holder(std::string uid, std::string device, std::string port)
        : m_uid(std::move(uid)),
          m_device(std::move(device)),
          m_port(std::move(port)),
          m_files(HolderFiles::lockDirectory() + "/zunto-modem-hold." +
                  m_uid.substr(m_uid.rfind('/') + 1)) {}

    int run();

private:
    void answer(const std::string& line);
    // Waits (bounded) for ModemManager's modem, then inhibits it. Returns
    // the answer for the caller: "held", "unmanaged", "refused …", or
    // "not-running" when ModemManager left meanwhile.
    std::string take();
    bool stillNeeded();
    int holdUntilUnused();

    std::string m_uid, m_device, m_port;
    HolderFiles m_files;
    ManagerBus m_bus;
    std::vector<std::string> m_lockFiles;
    bool m_answered = false;
    bool m_ownerChanged = false;
    bool m_managerUp = true;
    // ModemManager's unique bus name now, and the one our inhibition is with.
    std::string m_owner, m_inhibitedBy;
    int m_waitMs = platform::holdSettingMs("ZUNTO_HOLD_WAIT_MS", 30000);
    int m_pollMs = platform::holdSettingMs("ZUNTO_HOLD_POLL_MS", 1000);
    int m_graceMs = platform::holdSettingMs("ZUNTO_HOLD_GRACE_MS", 20000);
};

void Holder::answer(const std::string& line) {
    if (m_answered) {
        note(line);
        return;
    }
    m_answered = true;
    std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) {
    }
    // The caller reads to the end: the pipe must close now, not at exit.
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
}

std::string Holder::take() {
    const auto deadline = steady_clock::now() + milliseconds(m_waitMs);
    int alreadyInhibited = 0;
    for (;;) {
        m_bus.pump(0);
        if (!m_bus.connected()) return "not-running the system bus went away";
        if (!m_managerUp) return "not-running ModemManager left";
        const bool late = steady_clock::now() >= deadline;
        // Before ModemManager has its modem object it is still probing the
        // ports, and it would answer "No device found".
        if (late || m_bus.hasModem(m_uid)) {
            std::string detail;
            switch (m_bus.inhibit(m_uid, true, detail)) {
                case ManagerBus::Outcome::Done:
                    m_inhibitedBy = m_owner;
                    return "held";
                case ManagerBus::Outcome::NoDevice:
                    if (late) return "unmanaged " + detail;
                    break;
                case ManagerBus::Outcome::AlreadyInhibited:
                    // A helper of ours that just ended may not have been
                    // noticed yet; a lasting one is someone else's.
                    if (++alreadyInhibited >= 4) return "refused " + detail;
                    break;
                case ManagerBus::Outcome::Refused:
                    return "refused " + detail;
            }
        }
        m_bus.pump(250);
    }
}

bool Holder::stillNeeded() {
    if (anyLive(m_lockFiles)) return true;
    return system_clock::now() - m_files.lastJoin() < milliseconds(m_graceMs);
}

int Holder::holdUntilUnused() {
    for (;;) {
        if (m_ownerChanged) {
            m_ownerChanged = false;
            if (m_managerUp && m_owner != m_inhibitedBy) {
                // A restarted ModemManager probes every modem afresh; take
                // this one again as soon as it is known. What it answers is
                // what a program joining now hears.
                m_files.setState("waiting");
                std::string r = take();
                note("ModemManager restarted: " + r);
                m_files.setState(r);
            } else if (!m_managerUp) {
                note("ModemManager left");
                m_inhibitedBy.clear();
                m_files.setState("not-running");
            }
        }
        if (!m_bus.connected()) {
            note("the system bus went away");
            return 1;
        }
        if (m_files.endUnless([this] { return stillNeeded(); })) {
            std::string detail;
            if (m_managerUp) m_bus.inhibit(m_uid, false, detail);
            return 0;
        }
        m_bus.pump(m_pollMs);
    }
}

int Holder::run() {
    std::string detail;
    m_lockFiles = modemLockFiles(m_device, m_port);
    // Another helper holds or is taking this modem: its word is ours. When
    // it leaves meanwhile, the next claim makes this one the holder.
    const auto deadline = steady_clock::now() + milliseconds(m_waitMs + 10000);
    for (;;) {
        auto c = m_files.claim(detail);
        if (c == HolderFiles::Claim::Failed) {
            // Unshared, then: a second program's helper would hear
            // "already inhibited" from ModemManager.
            note(detail);
            break;
        }
        if (c == HolderFiles::Claim::Holder) break;
        std::string s = m_files.holderState();
        if (!s.empty() && s != "waiting" && s != "ending") {
            answer(s);
            return 0;
        }
        if (steady_clock::now() >= deadline) {
            answer("refused the modem's other hold helper does not answer");
            return 1;
        }
        std::this_thread::sleep_for(milliseconds(100));
    }
    if (ignoredByManager(m_device)) {
        answer("ignored");
        return 0;
    }
    if (!m_bus.connect(detail)) {
        answer("not-running " + detail);
        return 0;
    }
    if (!m_bus.watchOwner(
            [this](const std::string& owner) {
                m_owner = owner;
                m_managerUp = !owner.empty();
                m_ownerChanged = true;
            },
            detail) ||
        (m_owner = m_bus.managerOwner()).empty()) {
        answer("not-running");
        return 0;
    }
    std::string r = take();
    answer(r);
    if (r != "held") return 0;
    m_files.setState("held");
    return holdUntilUnused();
}

}  // namespace

int main(int argc, char** argv) {
    std::string uid, device, port;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string k = argv[i];
        if (k == "--uid")
            uid = argv[i + 1];
        else if (k == "--device")
            device = argv[i + 1];
        else if (k == "--port")
            port = argv[i + 1];
    }
    if (uid.empty() || device.empty()) {
        std::fprintf(stderr, "usage: zunto-modem-hold --uid UID --device DIR [--port PORT]\n");
        std::puts("refused bad arguments");
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGHUP, SIG_IGN);
    // The caller waits for this first process; the holder lives on alone.
    pid_t child = ::fork();
    if (child < 0) {
        std::puts("refused cannot fork");
        return 1;
    }
    if (child > 0) _exit(0);
    if (::chdir("/") != 0) {
    }
    return Holder(uid, device, port).run();
}
