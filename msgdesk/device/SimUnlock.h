// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "device/SimCodePrompt.h"
#include "device/WindowMessages.h"

namespace msgdesk {

// A PIN or PUK as the SIM takes it (3GPP TS 27.007 8.3): a PIN 4 to 8
// digits, a PUK 8.
bool validSimCode(const std::string& code, bool puk);

// Parses event 4097's text: "SIM PIN,3" -> code "SIM PIN", tries 3.
struct SimStateText {
    std::string code;
    int triesLeft = -1;
};
SimStateText parseSimState(const std::string& text);

// Unlocks the devices whose SIM wants its PIN (event 4097): asks the user
// for the code, one device at a time, gives it to the library
// (EnterSimPin), asks again after a wrong one, and on success has the
// start-up poll read the device as at connect. Cancel leaves the device
// locked and unused until the next connect; the others work on. A SIM
// that is missing is not asked for. Window thread only; the codes live
// only as long as the call that hands them on.
class SimUnlock final {
public:
    // unlocked runs with the device once its SIM is open.
    using Unlocked = std::function<void(int device)>;

    SimUnlock(const DeviceLibrary& library, DeviceTable& devices, DeviceLinkPorts& asker,
              Unlocked unlocked);

    void onSimState(int device, const std::string& text);  // UM_SIMLOCKED
    void onPinAnswer(int id, const std::string& text);     // UM_SIMPINDONE
    // The link closed: nothing is waited for any more.
    void reset();

    // A device the user gave up on (cancel), for the next connect only.
    bool cancelled(int device) const;
    bool asking() const { return m_asking; }

private:
    enum class Phase { Idle, Queued, Sent, Cancelled };
    void askNext();
    bool ask(int device);

    const DeviceLibrary& m_lib;
    DeviceTable& m_devices;
    DeviceLinkPorts& m_asker;
    Unlocked m_unlocked;
    Phase m_phase[kMaxDevices + 1] = {};
    SimStateText m_state[kMaxDevices + 1];
    bool m_wrong[kMaxDevices + 1] = {};
    std::deque<int> m_queue;
    std::map<int, int> m_sent;  // command id -> device
    bool m_asking = false;
};

}  // namespace msgdesk
