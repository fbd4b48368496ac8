// SPDX-License-Identifier: LGPL-2.1-or-later
// Runs inside the test guest, where ModemManager owns a USB modem (QEMU's
// usb-serial, its other end the simulator on the host): the device library
// finds the modem by its table, takes it from ModemManager through the hold
// helper, lists the SIM's messages and sends one; once the library is
// closed ModemManager must get the modem back. The last line says
// GUEST-MM: PASS, FAIL or SKIP.
// Usage: modlink_guest_mm STORED  (the messages the simulator holds)
//        modlink_guest_mm --refused  (another program has inhibited the
//        modem: the library must give up on it without opening its port)
//        modlink_guest_mm --probing MMLOG  (ModemManager is still probing
//        the modem, as just after plug-in: the library must wait for it)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "integration/EventRecorder.h"
#include "modlink.h"
#include "support/ManagerList.h"

namespace {

using namespace guest;
using Clock = std::chrono::steady_clock;

// Exits 0 only on PASS, so a later step runs only after this one passed.
int verdict(const char* word, const std::string& why) {
    std::printf("GUEST-MM: %s %s\n", word, why.c_str());
    std::fflush(stdout);
    return std::string(word) == "PASS" ? 0 : 1;
}

std::string traceText() {
    std::ifstream file(std::getenv("MODLINK_TRACE") ? std::getenv("MODLINK_TRACE") : "");
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

double since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Started while ModemManager probes the modem: the helper waits for its
// modem object before inhibiting, so the two never share the port.
int takenWhileProbing(const char* managerLog) {
    if (managerListsModem()) {
        std::printf("not checked: ModemManager had probed the modem before the library started\n");
        return 0;  // the later steps do not depend on this one
    }
    auto t0 = Clock::now();
    if (InitModules() != 0) return verdict("FAIL", "InitModules failed while ModemManager probed");
    const double waited = since(t0);
    CloseModules();
    std::ifstream file(managerLog);
    const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto exported = log.find("exported modem");
    const auto inhibited = log.find("device inhibition setup");
    if (traceText().find("held from ModemManager") == std::string::npos ||
        inhibited == std::string::npos)
        return verdict("FAIL",
                       "the modem was opened without an inhibition while ModemManager probed");
    if (exported == std::string::npos || exported > inhibited)
        return verdict("FAIL", "inhibited before ModemManager had finished probing the modem");
    std::printf("the library waited %.1f s for ModemManager's probe, then took the modem\n",
                waited);
    return 0;
}

// ModemManager's own words for a device another connection inhibited are
// what the helper must take as a refusal.
int refusedByAnotherHolder() {
    if (InitModules() == 0) {
        CloseModules();
        return verdict("FAIL", "the library opened a modem another program had inhibited");
    }
    const std::string trace = traceText();
    if (GetManagerRefusals() != 1 || trace.find("already inhibited") == std::string::npos)
        return verdict("FAIL", std::to_string(GetManagerRefusals()) +
                                   " refusal(s); the trace does not give ModemManager's "
                                   "\"already inhibited\": " +
                                   trace.substr(0, 400));
    std::printf("refused while another program held the modem, as ModemManager said\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--refused") return refusedByAnotherHolder();
    if (argc > 2 && std::string(argv[1]) == "--probing") return takenWhileProbing(argv[2]);
    const int stored = argc > 1 ? std::atoi(argv[1]) : 0;
    if (!managerListsModemWithin(60, true))
        return verdict("SKIP", "ModemManager never listed the modem: " + managerModems());
    std::printf("ModemManager has the modem: %s", managerModems().c_str());

    auto t0 = Clock::now();
    if (InitModules() != 0)
        return verdict("FAIL", "InitModules failed, " + std::to_string(GetManagerRefusals()) +
                                   " refusal(s) by ModemManager");
    std::printf("the library attached in %.1f s\n", since(t0));
    // The trace names what the hold helper answered.
    if (traceText().find("held from ModemManager") == std::string::npos)
        return verdict("FAIL", "the trace does not say the helper held the modem");
    int count = 0;
    GetActiveDeviceCount(&count);
    if (count != 1) return verdict("FAIL", std::to_string(count) + " devices, not 1");
    // The helper inhibited the modem before the port was opened, so
    // ModemManager no longer lists it.
    if (!managerListsModemWithin(5, false))
        return verdict("FAIL", "ModemManager still lists the modem while the library has it");

    EventRecorder events;
    RegistCallbackFunction(&EventRecorder::callback, &events);
    int list = GetExistedMessage(1);
    auto listing =
        list >= 0 ? events.takeListing(MODLINK_EV_STORED_MESSAGE, 1, 20000) : std::nullopt;
    if (!listing || static_cast<int>(listing->size()) != stored)
        return verdict("FAIL", "the SIM's listing has " +
                                   (listing ? std::to_string(listing->size()) : "no end") +
                                   " messages, not " + std::to_string(stored));
    int id = SendSMSMessage("10086", "ModemManager let go");
    std::string sent = EventRecorder::text(events.take(MODLINK_EV_SEND, id, 30000));
    if (sent != "OK") return verdict("FAIL", "the send ended " + sent);
    if (managerListsModem())
        return verdict("FAIL", "ModemManager took the modem back while the library had it");
    std::printf("listed %d messages and sent one\n", stored);

    CloseModules();
    t0 = Clock::now();
    // The helper ends once no lock file of the modem is left (after its
    // grace time); ModemManager probes the modem again soon after.
    if (!managerListsModemWithin(90, true))
        return verdict("FAIL", "ModemManager did not take the modem back after the library closed");
    std::printf("ModemManager had the modem again %.1f s after the library closed\n", since(t0));
    return verdict("PASS", "held from ModemManager while in use, listed and sent, given back");
}
