// The main frame's handlers of phonebook, phone and batch-summary messages,
// and of the link's own posted messages. Window thread only.
#include <string>

#include "contacts/SimPhonebook.h"
#include "device/DeviceLink.h"
#include "device/PhoneRequest.h"
#include "res/StringTable.h"

namespace msgdesk {

using platform::MbIcon;
using platform::Message;

namespace {
// Digits, "+", "*" and "#" only; the empty text passes.
bool isValidNumber(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')) return false;
    return true;
}
}  // namespace

void DeviceLink::onBatchFailure(int kind) {
    if (kind == BATCH_CENTRE) {
        box(60060, MbIcon::Exclamation);
        return;
    }
    if (kind != BATCH_DELETES && kind != BATCH_STORES) return;
    int failed = 0;
    {
        std::lock_guard g(lock());
        BatchCounter& c = kind == BATCH_DELETES ? m_deletes : m_stores;
        // Summaries queued behind the one that reported the batch find the
        // counters reset; they must not show a count of 0.
        if (c.failed <= 0 || c.outstanding != c.failed) return;
        failed = c.failed;
        c = BatchCounter{};
    }
    const unsigned id = kind == BATCH_DELETES ? 60069 : 60007;
    boxText(id, FormatStr(id, {int64_t{failed}}), MbIcon::Exclamation);
}

void DeviceLink::onDeleteEntry(SimPhoneEntry* e) {
    if (!e || !m_lib.DelTelphone) return;
    // Held from the request on: a device thread that answers before the
    // call returns here waits for the row instead of missing it.
    std::lock_guard g(lock());
    const int id = m_lib.DelTelphone(e->device, e->index);
    if (id == -1) return;
    m_pending.add(id, e->device, e, BATCH_DELETES);
    ++m_deletes.outstanding;
}

void DeviceLink::onStoreEntry(platform::WPARAM flag, SimPhoneEntry* e) {
    if (!e || (flag != 0 && flag != 1)) return;
    {
        // Held from the request on, so an early answer finds its row.
        std::lock_guard g(lock());
        int id = -1;
        if (m_lib.SetTelphone)
            id = m_lib.SetTelphone(e->device, e->index, e->numberText().c_str(),
                                   e->nameText().c_str());
        if (id != -1) {
            m_pending.add(id, flag == 1 ? e->device : e->device + kMaxDevices, e, BATCH_STORES);
            ++m_stores.outstanding;
            return;
        }
    }
    // Refused at once: one entry was not stored; it stays listed.
    boxText(60007, FormatStr(60007, {int64_t{1}}), MbIcon::Information);
}

void DeviceLink::onEntryDone(platform::WPARAM w, SimPhoneEntry* e) {
    // Entries are matched by identity only; one that left its list meanwhile
    // is not touched.
    if (w >= 1 && w <= kMaxDevices) {
        if (e && m_phonebook.DeviceOf(e) == static_cast<int>(w)) m_phonebook.RemoveEntry(e);
    } else if (w > kMaxDevices && w <= 2 * kMaxDevices) {
        const int d = static_cast<int>(w) - kMaxDevices;
        // The kept copy is the last one taken: when another change was made
        // meanwhile it belongs to another entry, and must not overwrite this one.
        if (e && m_phonebook.DeviceOf(e) == d && m_keptCopy.device == d &&
            m_keptCopy.index == e->index) {
            *e = m_keptCopy;
            e->device = d;  // stays in the list it is in
        }
    }
    m_ports.postToDeviceDialog(Message{UM_SIMENTRYDONE, 0, 0, nullptr});
}

void DeviceLink::onPhoneCommand(platform::WPARAM op, const Message& m) {
    const auto* r = reinterpret_cast<const PhoneRequest*>(m.lParam);
    if (!r || op < 1 || op > 226) return;
    auto failed = [&](int code) {
        m_ports.sendToPhoneDialog(
            Message{UM_PHONERESULT, static_cast<platform::WPARAM>(code), RESULT_ERROR, nullptr});
    };
    const int d = r->device;
    switch (op) {
        case 1: {
            const std::string number = r->numberText();
            if (m_lib.DialUp && isValidNumber(number) && m_lib.DialUp(d, number.c_str()) == -1)
                failed(1);
            break;
        }
        case 2: {
            const std::string digits = r->digitsText();
            if (m_lib.DialExt && isValidNumber(digits) && m_lib.DialExt(d, digits.c_str()) == -1)
                failed(2);
            break;
        }
        case 161:
            if (m_lib.AttachPhone && m_lib.AttachPhone(d) == -1) failed(161);
            break;
        case 162:
            if (m_lib.UnattachPhone && m_lib.UnattachPhone(d) == -1) failed(162);
            break;
        case 209:
            if (m_lib.BeginPhone) m_lib.BeginPhone(d);
            break;
        case 210:
            if (m_lib.EndPhone) m_lib.EndPhone(d);
            break;
        case 225:
            if (m_lib.SetVolume) {
                const int res = m_lib.SetVolume(d, r->volume);
                m_ports.setVolumeSetting(r->volume);
                if (res == -1) failed(225);
            }
            break;
        case 226:
            if (m_lib.QureyPhoneStatus) m_lib.QureyPhoneStatus(d);
            break;
        default:
            break;
    }
}

void DeviceLink::onCallNotify(const Message& m) {
    if (m.payload) m_callerText = *static_cast<const std::string*>(m.payload.get());
    const auto w = m.wParam;
    if (w <= static_cast<platform::WPARAM>(kMaxDevices)) {
        m_ports.startRinging();
        m_ports.showPhoneDialog();
    } else {
        if (m_lib.EndPhone) m_lib.EndPhone(static_cast<int>(w) - kMaxDevices);
        m_ports.stopRinging();
    }
    auto caller = std::make_shared<std::string>(m_callerText);
    m_ports.sendToPhoneDialog(
        Message{UM_CALLNOTIFY, w, reinterpret_cast<platform::LPARAM>(caller->c_str()), caller});
}

void DeviceLink::onPhoneResult(const Message& m) {
    if (!m_ports.phoneDialogExists()) return;
    const auto op = m.wParam;
    if (op == 162) m_ports.stopRinging();
    if (op == 1 || op == 2 || op == 161 || op == 162 || op == 225 || op == 226)
        m_ports.sendToPhoneDialog(Message{m.msg, m.wParam, m.lParam, nullptr});
}

void DeviceLink::onListedEntry(const Message& m) {
    const auto* e = static_cast<const SimPhoneEntry*>(m.payload.get());
    // An entry still queued when its device went away is dropped.
    if (!e || !deviceAttached(e->device)) return;
    m_phonebook.AppendSimEntry(std::make_unique<SimPhoneEntry>(*e));
}

void DeviceLink::onListingEnded(unsigned msg, int device) {
    // A listing that a removal ended still ends: it was counted, and the
    // other devices' SIM commands wait for the count to reach 0.
    if (msg == UM_MESSAGESLISTED && m_linkActive && device >= 1 && device <= kMaxDevices &&
        m_simInitCount > 0)
        --m_simInitCount;
    if (!deviceAttached(device)) return;
    if (msg == UM_PHONEBOOKLISTED) {
        m_devices.setPhonebookListed(device, true);
        return;
    }
    m_devices.setMessagesListed(device, true);
}

}  // namespace msgdesk
