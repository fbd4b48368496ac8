// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/StartupPoll.h"

#include <mutex>

namespace msgdesk {

using platform::Message;

StartupPoll::StartupPoll(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                         platform::MessageTarget* frame, const DeviceLibrary& library,
                         DeviceTable& devices, PendingCommandTable& pending, DeviceLinkPorts& ports)
    : m_loop(loop),
      m_timerTarget(timerTarget),
      m_frame(frame),
      m_lib(library),
      m_devices(devices),
      m_pending(pending),
      m_ports(ports) {}

void StartupPoll::reset() {
    for (int d = 1; d <= kMaxDevices; ++d) {
        m_done[d] = 0;
        m_centreAsks[d] = 0;
    }
}

void StartupPoll::start() {
    m_loop.setTimer(m_timerTarget, TIMER_STARTUP_POLL, 5000);
}

bool StartupPoll::askCentres(int n) {
    bool unread = false;
    // Held while requests are made and their rows added: a device thread
    // may answer before the request call returns here.
    std::lock_guard g(m_devices.lock());
    for (int d = 1; d <= n; ++d) {
        // A locked SIM is read once it is unlocked; until then nothing is
        // asked of it (nor given up on it).
        if (m_devices.removed(d) || m_devices.simLocked(d) || m_devices.centreRead(d)) continue;
        // One modem that never tells its centre must not hold back the SIM
        // listings of every modem (nor the send pump).
        if (m_centreAsks[d] >= kCentrePolls) {
            giveUpCentre(d);
            continue;
        }
        unread = true;
        ++m_centreAsks[d];
        int id = m_lib.GetGSMCenter(d);
        if (id != -1) m_pending.add(id, d, "NULL");
    }
    return unread;
}

void StartupPoll::tick() {
    if (!m_lib.GetGSMCenter || !m_lib.GetSimInfo || !m_lib.GetSavedTelphone ||
        !m_lib.GetExistedMessage)
        return;
    const int n = m_devices.deviceCount();
    if (askCentres(n)) return;

    // Second phase. A request refused here is made again on the next tick;
    // what was accepted is not asked twice, so a phonebook is never listed
    // twice and every counted listing ends exactly once.
    if (m_simInitCount < 0) m_simInitCount = 0;
    m_ports.postToDeviceDialog(Message{UM_SIMREADY, 0, 0, nullptr});
    std::unique_lock g(m_devices.lock());  // as above
    bool refused = false;
    auto request = [&](int d, int step, int id) {
        if (id == -1) {
            refused = true;
            return false;
        }
        m_done[d] |= step;
        return true;
    };
    for (int d = 1; d <= n; ++d) {
        if (m_devices.removed(d) || m_devices.simLocked(d)) continue;
        if (!(m_done[d] & kInfo1)) {
            int id = m_lib.GetSimInfo(d, 1);
            if (request(d, kInfo1, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_done[d] & kInfo2)) {
            int id = m_lib.GetSimInfo(d, 2);
            if (request(d, kInfo2, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_done[d] & kBook)) {
            int id = m_lib.GetSavedTelphone(d);
            if (request(d, kBook, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_done[d] & kMessages)) {
            if (request(d, kMessages, m_lib.GetExistedMessage(d))) ++m_simInitCount;
        }
    }
    g.unlock();
    if (refused) return;
    m_loop.killTimer(m_timerTarget, TIMER_STARTUP_POLL);
    m_loop.post(m_frame, Message{UM_SENDQUEUE, 0, 0, nullptr});
}

void StartupPoll::messagesListed(bool linkActive, int device) {
    // A listing that a removal ended still ends: it was counted, and the
    // other devices' SIM commands wait for the count to reach 0.
    if (linkActive && device >= 1 && device <= kMaxDevices && m_simInitCount > 0) --m_simInitCount;
}

void StartupPoll::deviceUnlocked(int device) {
    if (device < 1 || device > kMaxDevices) return;
    m_done[device] = 0;
    m_centreAsks[device] = 0;
    start();
}

void StartupPoll::giveUpCentre(int d) {
    // Counted as read and empty; an answer still outstanding fills it in.
    // The caller holds the lock.
    m_devices.setCentreNumber(d, "");
    m_devices.setCentreRead(d, true);
    m_devices.setCentreUnknown(d, true);
}

}  // namespace msgdesk
