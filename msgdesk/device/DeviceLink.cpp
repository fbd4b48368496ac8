#include "device/DeviceLink.h"

#include <algorithm>

#include "contacts/SimPhonebook.h"
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
      m_frame(frame),
      m_sink(sink),
      m_lib(library),
      m_phonebook(phonebook),
      m_ports(ports),
      m_boxes(boxes),
      m_pending(m_devices.lock()) {}

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
            onBatchFailure(static_cast<int>(m.wParam));
            return true;
        case UM_DELETESIMENTRY:
            onDeleteEntry(entry);
            return true;
        case UM_STORESIMENTRY:
            onStoreEntry(m.wParam, entry);
            return true;
        case UM_SIMENTRYDONE:
            onEntryDone(m.wParam, entry);
            return true;
        case UM_KEEPRECORD:
            if (m.wParam == 1) return false;  // a MessageRecord for the InBox
            if (m.wParam == 0 && entry) m_keptCopy = *entry;
            return true;
        case UM_PHONECOMMAND:
            onPhoneCommand(m.wParam, m);
            return true;
        case UM_CALLNOTIFY:
            onCallNotify(m);
            return true;
        case UM_PHONERESULT:
            onPhoneResult(m);
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
            signalPoll();
            break;
        case TIMER_SIM_FULL_BLINK:
            m_ports.showSimFullBitmap(m_phase == 1);
            m_phase = m_phase == 1 ? 0 : 1;
            break;
        case TIMER_STARTUP_POLL:
            startupPoll();
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
        box(60010, MbIcon::Exclamation);
        post(UM_STATUSPANE, PANE_MAILBOX, 1);
        return;
    }
    if (m_lib.InitModules() != 0) {
        box(60009, MbIcon::Exclamation);
        return;
    }
    if (m_lib.RegistCallbackFunction)
        m_lib.RegistCallbackFunction(&DeviceLink::OnDeviceEvent, this);
    for (int d = 1; d <= kMaxDevices; ++d) {
        m_devices.setRemoved(d, false);
        m_pollDone[d] = 0;
        m_centreAsks[d] = 0;
    }
    m_signalCursor = 1;
    if (m_lib.GetActiveDeviceCount) {
        int n = m_frameDeviceCount;
        if (m_lib.GetActiveDeviceCount(&n) == -1) n = 0;
        m_frameDeviceCount = std::clamp(n, 0, kMaxDevices);
        m_devices.setDeviceCount(m_frameDeviceCount);
    }
    m_loop.setTimer(this, TIMER_SIGNAL_POLL, 6000);
    m_loop.setTimer(this, TIMER_STARTUP_POLL, 5000);
    post(UM_SENDQUEUE, 0, 0);
    m_linkActive = true;
    post(UM_STATUSPANE, PANE_MAILBOX, 1);
}

void DeviceLink::startupPoll() {
    if (!m_lib.GetGSMCenter || !m_lib.GetSimInfo || !m_lib.GetSavedTelphone ||
        !m_lib.GetExistedMessage)
        return;
    const int n = m_devices.deviceCount();
    bool unread = false;
    {
        // Held while requests are made and their rows added: a device
        // thread may answer before the request call returns here.
        std::lock_guard g(lock());
        for (int d = 1; d <= n; ++d) {
            if (m_devices.removed(d) || m_devices.centreRead(d)) continue;
            // One modem that never tells its centre must not hold back the
            // SIM listings of every modem (nor the send pump).
            if (m_centreAsks[d] >= kCentrePolls) {
                giveUpCentre(d);
                continue;
            }
            unread = true;
            ++m_centreAsks[d];
            int id = m_lib.GetGSMCenter(d);
            if (id != -1) m_pending.add(id, d, "NULL");
        }
    }
    if (unread) return;

    // Second phase. A request refused here is made again on the next tick;
    // what was accepted is not asked twice, so a phonebook is never listed
    // twice and every counted listing ends exactly once.
    if (m_simInitCount < 0) m_simInitCount = 0;
    m_ports.postToDeviceDialog(Message{UM_SIMREADY, 0, 0, nullptr});
    std::unique_lock g(lock());  // as above
    bool refused = false;
    auto request = [&](int d, int step, int id) {
        if (id == -1) {
            refused = true;
            return false;
        }
        m_pollDone[d] |= step;
        return true;
    };
    for (int d = 1; d <= n; ++d) {
        if (m_devices.removed(d)) continue;
        if (!(m_pollDone[d] & kInfo1)) {
            int id = m_lib.GetSimInfo(d, 1);
            if (request(d, kInfo1, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_pollDone[d] & kInfo2)) {
            int id = m_lib.GetSimInfo(d, 2);
            if (request(d, kInfo2, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_pollDone[d] & kBook)) {
            int id = m_lib.GetSavedTelphone(d);
            if (request(d, kBook, id)) m_pending.add(id, d, "NULL");
        }
        if (!(m_pollDone[d] & kMessages)) {
            if (request(d, kMessages, m_lib.GetExistedMessage(d))) ++m_simInitCount;
        }
    }
    g.unlock();
    if (refused) return;
    m_loop.killTimer(this, TIMER_STARTUP_POLL);
    post(UM_SENDQUEUE, 0, 0);
}

void DeviceLink::signalPoll() {
    const int n = m_devices.deviceCount();
    if (m_lib.GetSignal) {
        // An unplugged device refuses for ever; step past it.
        for (int k = 0; k < n && m_devices.removed(m_signalCursor); ++k)
            m_signalCursor = m_signalCursor >= n ? 1 : m_signalCursor + 1;
        if (m_lib.GetSignal(m_signalCursor) != -1) ++m_signalCursor;
    }
    if (m_signalCursor > n) m_signalCursor = 1;
    simFullCheck();
}

void DeviceLink::simFullCheck() {
    int full = 0;
    {
        std::lock_guard g(lock());
        const int n = m_devices.deviceCount();
        for (int d = 1; d <= n; ++d) {
            DeviceSlot s = m_devices.slot(d);
            if (s.messageCapacity > 0 && s.messageCapacity == s.messageCount) ++full;
        }
    }
    if (full > 0 && !m_blinking) {
        m_blinking = true;
        m_loop.setTimer(this, TIMER_SIM_FULL_BLINK, 500);
    }
    if ((full == 0 || !m_linkActive) && m_blinking) stopBlinking();
}

void DeviceLink::stopBlinking() {
    m_blinking = false;
    m_loop.killTimer(this, TIMER_SIM_FULL_BLINK);
    m_ports.showSimFullBitmap(false);
}

void DeviceLink::onPaneDoubleClick(int pane) {
    if (pane != PANE_CAPACITY) return;
    if (m_blinking) box(60047, MbIcon::Information);
    if (!m_linkActive || m_simInitCount != 0)
        box(60061, MbIcon::Information);
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
    if (isBusy() && box(60033, MbIcon::Exclamation, MbButtons::YesNo) != platform::IDYES) return;
    if (m_ports.sendBatchRunning() &&
        box(60001, MbIcon::Information, MbButtons::YesNo) != platform::IDYES)
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
    stopBlinking();
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
            m_stores = BatchCounter{};
            m_deletes = BatchCounter{};
        }
        m_loop.killTimer(this, TIMER_SIGNAL_POLL);
        m_loop.send(frame(), UM_STATUSPANE, PANE_ACTIVITY, 0);
        m_loop.send(frame(), UM_STATUSPANE, PANE_SIGNAL, 0);
        m_loop.send(frame(), UM_STATUSPANE, PANE_CAPACITY, 0);
        m_frameDeviceCount = 0;
        m_devices.setDeviceCount(0);
        m_linkActive = false;
        m_ports.clearSendBatch();
        m_simInitCount = -1;
        m_devices.clearAllFlags();
        m_retries.clear();
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
    auto tell = [this, d] {
        boxText(0, platform::format("Zunto(%d)已被移除", {int64_t{d}}), MbIcon::Exclamation);
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

int DeviceLink::box(unsigned stringId, MbIcon icon, MbButtons buttons) {
    platform::MessageBoxRequest r;
    r.stringId = stringId;
    r.text = LoadStr(stringId);
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = icon;
    r.buttons = buttons;
    return m_boxes.show(r);
}

int DeviceLink::boxText(unsigned stringId, std::string text, MbIcon icon) {
    platform::MessageBoxRequest r;
    r.stringId = stringId;
    r.text = std::move(text);
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = icon;
    return m_boxes.show(r);
}

DeviceLink::BatchCounter DeviceLink::storeBatch() const {
    std::lock_guard g(lock());
    return m_stores;
}

DeviceLink::BatchCounter DeviceLink::deleteBatch() const {
    std::lock_guard g(lock());
    return m_deletes;
}

}  // namespace msgdesk
