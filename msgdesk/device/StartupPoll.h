// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "device/WindowMessages.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// The start-up poll (timer 107, every 5 s after a connect): first every
// device's SMS centre, then each device's SIM sizes, phonebook and stored
// messages, each asked once. It counts the SIM message listings still
// running; the send pump and the SIM dialogs wait for that count to reach 0.
// Window thread only; the request calls and their rows go in under the lock.
class StartupPoll final {
public:
    // timerTarget receives the timer (the link routes it to tick()); frame
    // receives UM_SENDQUEUE when the poll is over.
    StartupPoll(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                platform::MessageTarget* frame, const DeviceLibrary& library, DeviceTable& devices,
                PendingCommandTable& pending, DeviceLinkPorts& ports);

    // A new link: every device starts from nothing asked.
    void reset();
    void start();
    void tick();
    // UM_MESSAGESLISTED of device: one counted listing ended.
    void messagesListed(bool linkActive, int device);
    // A device whose SIM was locked is unlocked: it is read as at connect
    // (centre, sizes, phonebook, messages), and the poll runs again for it.
    void deviceUnlocked(int device);
    // The link closed: no count until the next poll reaches its second phase.
    void stop() { m_simInitCount = -1; }

    // -1 with no link, 0 once the poll is in its second phase, else the
    // number of SIM message listings still running.
    int simInitCount() const { return m_simInitCount; }

private:
    enum Step { kInfo1 = 1, kInfo2 = 2, kBook = 4, kMessages = 8 };

    bool askCentres(int deviceCount);
    void giveUpCentre(int device);

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_timerTarget;
    platform::MessageTarget* m_frame;
    const DeviceLibrary& m_lib;
    DeviceTable& m_devices;
    PendingCommandTable& m_pending;
    DeviceLinkPorts& m_ports;

    int m_simInitCount = -1;
    int m_done[kMaxDevices + 1] = {};        // Step bits of what was accepted
    int m_centreAsks[kMaxDevices + 1] = {};  // centre requests made so far
};

}  // namespace msgdesk
