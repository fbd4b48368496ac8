// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"

#include <algorithm>

#include "device/LinkBoxes.h"
#include "device/SimPhonebook.h"
#include "platform/Format.h"
#include "res/StringTable.h"

namespace msgdesk {

using platform::MbButtons;
using platform::MbIcon;
using platform::Message;

DeviceLink::DeviceLink(platform::MessageLoop& loop, platform::MessageTarget* frame,
                       const DeviceLibrary& library, SimPhonebook& phonebook,
                       DeviceLinkPorts& ports, platform::MessageBoxPort& boxes,
                       platform::MessageTarget* sink)
    : m_loop(loop),
      m_frame(frame ? frame : this),
      m_sink(sink),
      m_lib(library),
      m_phonebook(phonebook),
      m_ports(ports),
      m_boxes(boxes),
      m_pending(m_devices.lock()),
      m_startup(loop, this, m_frame, m_lib, m_devices, m_pending, ports),
      m_signal(loop, this, m_lib, m_devices),
      m_simFull(loop, this, m_devices, ports),
      m_edits(loop, m_frame, m_lib, m_devices, m_pending, phonebook, ports, boxes),
      m_calls(m_lib, ports),
      m_unlock(m_lib, m_devices, ports, [this](int d) { m_startup.deviceUnlocked(d); }) {}

DeviceLink::~DeviceLink() {
    *m_alive = false;
    m_loop.forget(this);
}

std::intptr_t DeviceLink::onMessage(const Message& m) {
    std::intptr_t r = 0;
    if (handleMessage(m, &r)) return r;
    return m_sink ? m_sink->onMessage(m) : 0;
}

bool DeviceLink::handleMessage(const Message& m, std::intptr_t* result) {
    if (result) *result = 0;
    auto* entry = reinterpret_cast<SimPhoneEntry*>(m.lParam);
    switch (m.msg) {
        case UM_BATCHFAILURE:
            if (m.wParam == BATCH_CENTRE)
                linkBox(m_boxes, 60060, MbIcon::Exclamation);
            else
                m_edits.onBatchFailure(static_cast<int>(m.wParam));
            return true;
        case UM_DELETESIMENTRY:
            m_edits.onDeleteEntry(entry);
            return true;
        case UM_STORESIMENTRY:
            m_edits.onStoreEntry(m.wParam, entry);
            return true;
        case UM_SIMENTRYDONE:
            m_edits.onEntryDone(m.wParam, entry);
            return true;
        case UM_KEEPRECORD:
            // A message for the InBox, whole or long: the receiver's.
            if (m.wParam == KEEP_RECORD || m.wParam == KEEP_LONG_MESSAGE) return false;
            if (m.wParam == KEEP_SIM_ENTRY && entry) m_edits.keep(*entry);
            return true;
        case UM_PHONECOMMAND:
            m_calls.onPhoneCommand(m.wParam, m);
            return true;
        case UM_CALLNOTIFY:
            m_calls.onCallNotify(m);
            return true;
        case UM_PHONERESULT:
            m_calls.onPhoneResult(m);
            return true;
        case UM_REFRESHVIEWS:
            if (m.wParam == REFRESH_MESSAGE_LIST) m_ports.refreshMessageListNames();
            if (m.wParam == REFRESH_CONTACT_PANE) m_ports.redisplayContactPane();
            return true;
        case UM_DEVICEREMOVED:
            deviceRemoved(static_cast<int>(m.lParam));
            return true;
        case UM_SIMENTRYLISTED:
            onListedEntry(m);
            return true;
        case UM_PHONEBOOKLISTED:
        case UM_MESSAGESLISTED:
            onListingEnded(m.msg, static_cast<int>(m.lParam));
            return true;
        case UM_SIMLOCKED:
            if (m_linkActive && m.payload)
                m_unlock.onSimState(static_cast<int>(m.wParam),
                                    *static_cast<const std::string*>(m.payload.get()));
            return true;
        case UM_SIMPINDONE:
            if (m_linkActive && m.payload)
                m_unlock.onPinAnswer(static_cast<int>(m.wParam),
                                     *static_cast<const std::string*>(m.payload.get()));
            return true;
        case UM_RETRYREQUEST:
            if (m.payload) onRetryRequest(*static_cast<const RetryRequest*>(m.payload.get()));
            return true;
        default:
            return false;
    }
}

void DeviceLink::onTimer(unsigned id) {
    switch (id) {
        case TIMER_SIGNAL_POLL:
            m_signal.tick();
            m_simFull.check(m_linkActive);
            break;
        case TIMER_SIM_FULL_BLINK:
            m_simFull.blink();
            break;
        case TIMER_STARTUP_POLL:
            m_startup.tick();
            break;
        case TIMER_DISCONNECT_PAUSE:
            finishDisconnect();
            break;
        case TIMER_RETRY:
            m_retries.onTick();
            break;
        default:
            break;
    }
}

bool DeviceLink::onCommand(int id) {
    if (id == ID_CONNECT) {
        if (commandEnabled(id)) connect();
        return true;
    }
    if (id == ID_DISCONNECT) {
        if (commandEnabled(id)) disconnectByUser();
        return true;
    }
    return false;
}

bool DeviceLink::commandEnabled(int id) const {
    if (id == ID_CONNECT) return !m_linkActive && !m_disconnectPending;
    if (id == ID_DISCONNECT) return m_linkActive && !m_disconnectPending;
    return false;
}

bool DeviceLink::deviceAttached(int device) const {
    return m_linkActive && device >= 1 && device <= m_devices.deviceCount() &&
           !m_devices.removed(device);
}

void DeviceLink::connect() {
    if (m_linkActive || m_disconnectPending) return;
    if (!m_lib.InitModules) {
        linkBox(m_boxes, 60010, MbIcon::Exclamation);
        post(UM_STATUSPANE, PANE_MAILBOX, 1);
        return;
    }
    if (m_lib.InitModules() != 0) {
        linkBox(m_boxes, 60009, MbIcon::Exclamation);
        // On a desktop where ModemManager would not let go of the modem,
        // the general advice above is not the reason: say what is.
        if (m_lib.GetManagerRefusals && m_lib.GetManagerRefusals() > 0)
            linkBox(m_boxes, IDS_MANAGER_REFUSED, MbIcon::Exclamation);
        return;
    }
    if (m_lib.RegistCallbackFunction)
        m_lib.RegistCallbackFunction(&DeviceLink::OnDeviceEvent, this);
    for (int d = 1; d <= kMaxDevices; ++d) m_devices.setRemoved(d, false);
    m_startup.reset();
    m_unlock.reset();
    if (m_lib.GetActiveDeviceCount) {
        int n = m_frameDeviceCount;
        if (m_lib.GetActiveDeviceCount(&n) == -1) n = 0;
        m_frameDeviceCount = std::clamp(n, 0, kMaxDevices);
        m_devices.setDeviceCount(m_frameDeviceCount);
    }
    m_signal.start();
    m_startup.start();
    post(UM_SENDQUEUE, 0, 0);
    m_linkActive = true;
    post(UM_STATUSPANE, PANE_MAILBOX, 1);
}

void DeviceLink::onPaneDoubleClick(int pane) {
    if (pane != PANE_CAPACITY) return;
    if (m_simFull.blinking()) linkBox(m_boxes, 60047, MbIcon::Information);
    if (!m_linkActive || m_startup.simInitCount() != 0)
        linkBox(m_boxes, 60061, MbIcon::Information);
    else
        m_ports.openSimInfoView(m_devices.snapshot());
}

bool DeviceLink::isBusy() {
    if (!m_lib.GetCommandCount) return false;
    const int n = m_devices.deviceCount();
    for (int d = 1; d <= n; ++d) m_lib.GetCommandCount(d);
    return m_pending.count() > static_cast<size_t>(3 * n);
}

void DeviceLink::disconnectByUser() {
    if (isBusy() &&
        linkBox(m_boxes, 60033, MbIcon::Exclamation, MbButtons::YesNo) != platform::IDYES)
        return;
    if (m_ports.sendBatchRunning() &&
        linkBox(m_boxes, 60001, MbIcon::Information, MbButtons::YesNo) != platform::IDYES)
        return;
    disconnect([this] { m_ports.stopRinging(); });
}

void DeviceLink::disconnect(std::function<void()> done) {
    if (done) m_afterDisconnect.push_back(std::move(done));
    if (m_disconnectPending) return;
    m_disconnectPending = true;
    if (m_lib.UnattachPhone) {
        const int n = m_devices.deviceCount();
        for (int d = 1; d <= n; ++d) m_lib.UnattachPhone(d);
    }
    // The pause lets the devices hang up before the link closes; a timer
    // keeps the windows painting meanwhile.
    m_loop.setTimer(this, TIMER_DISCONNECT_PAUSE, kDisconnectPauseMs);
}

void DeviceLink::finishDisconnect() {
    m_loop.killTimer(this, TIMER_DISCONNECT_PAUSE);
    m_disconnectPending = false;
    m_simFull.stop();
    if (m_lib.CloseModules) {
        m_lib.CloseModules();
        if (m_ports.mainViewExists()) {
            m_phonebook.ClearSimPhonebook(17);
            m_ports.redisplayContactPane();
            m_ports.removeSimMessages(17);
            m_devices.clearAllSlots();
        }
        {
            // Queued stores and deletes are dropped unanswered: a batch
            // counted on now would never balance again.
            std::lock_guard g(lock());
            m_pending.clear();
            m_edits.clear();
        }
        m_signal.stop();
        m_loop.send(frame(), UM_STATUSPANE, PANE_ACTIVITY, 0);
        m_loop.send(frame(), UM_STATUSPANE, PANE_SIGNAL, 0);
        m_loop.send(frame(), UM_STATUSPANE, PANE_CAPACITY, 0);
        m_frameDeviceCount = 0;
        m_devices.setDeviceCount(0);
        m_linkActive = false;
        m_ports.clearSendBatch();
        m_startup.stop();
        m_devices.clearAllFlags();
        m_retries.clear();
        m_ports.tellDeviceGone(static_cast<int>(DEVICE_GONE_ALL));
    }
    auto then = std::move(m_afterDisconnect);
    m_afterDisconnect.clear();
    // The callbacks queued after one that destroyed the link were meant
    // for it (a removal notice, the ringing stop) and are dropped.
    const std::shared_ptr<bool> alive = m_alive;
    for (auto& f : then) {
        if (!*alive) return;
        f();
    }
}

void DeviceLink::deviceRemoved(int d) {
    // A repeated or late notice (the device is already forgotten, or there
    // is no link), or one for a device that was never attached, must not
    // count a device: the next real removal would disconnect too early.
    if (!deviceAttached(d)) return;
    m_devices.setMessagesListed(d, false);
    m_devices.setPhonebookListed(d, false);
    m_devices.setRemoved(d, true);
    m_retries.dropDevice(d);
    dropDeviceRows(d);
    if (m_ports.mainViewExists()) {
        m_phonebook.ClearSimPhonebook(d);
        m_ports.redisplayContactPane();
        m_ports.removeSimMessages(d);
        m_devices.clearSlot(d);
    }
    m_ports.tellDeviceGone(d);
    auto tell = [this, d] {
        linkBoxText(m_boxes, 0, platform::format("Zunto(%d)已被移除", {int64_t{d}}),
                    MbIcon::Exclamation);
        if (m_frameDeviceCount > 0) --m_frameDeviceCount;
    };
    if (m_frameDeviceCount == 1) {
        m_linkActive = false;
        disconnect(tell);
    } else {
        tell();
    }
}

int DeviceLink::setCentreNumber(int device, const std::string& number) {
    if (!m_lib.SetGSMCenter || device < 1 || device > kMaxDevices) return -1;
    // Request, row and new number go in together, so the answer finds the
    // row and restores over the new number, never under it.
    std::lock_guard g(lock());
    const int id = m_lib.SetGSMCenter(device, number.c_str());
    if (id == -1) return -1;
    m_pending.add(id, device, m_devices.centreNumber(device));
    m_devices.setCentreNumber(device, number);
    return id;
}

// The SIM listings' messages.
void DeviceLink::onListedEntry(const platform::Message& m) {
    const auto* e = static_cast<const SimPhoneEntry*>(m.payload.get());
    // An entry still queued when its device went away is dropped.
    if (!e || !deviceAttached(e->device)) return;
    m_phonebook.AppendSimEntry(std::make_unique<SimPhoneEntry>(*e));
}

void DeviceLink::onListingEnded(unsigned msg, int device) {
    if (msg == UM_MESSAGESLISTED) m_startup.messagesListed(m_linkActive, device);
    if (!deviceAttached(device)) return;
    if (msg == UM_PHONEBOOKLISTED) {
        m_devices.setPhonebookListed(device, true);
        return;
    }
    m_devices.setMessagesListed(device, true);
}

}  // namespace msgdesk
