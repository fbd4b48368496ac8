// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PhonebookEdits.h"

#include <cctype>
#include <cstring>
#include <mutex>
#include <string>

#include "device/DeviceAnswers.h"
#include "device/LinkBoxes.h"
#include "device/SimPhonebook.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

using platform::MbIcon;
using platform::Message;

namespace {
// The entry answers compare in upper case.
bool isOkUpper(const char* text) {
    if (!text) return false;
    std::string s(text, ::strnlen(text, 8));
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return answers::isOk(s.c_str());
}

platform::LPARAM entryParam(SimPhoneEntry* e) {
    return reinterpret_cast<platform::LPARAM>(e);
}
}  // namespace

PhonebookEdits::PhonebookEdits(platform::MessageLoop& loop, platform::MessageTarget* frame,
                               const DeviceLibrary& library, DeviceTable& devices,
                               PendingCommandTable& pending, SimPhonebook& phonebook,
                               DeviceLinkPorts& ports, platform::MessageBoxPort& boxes)
    : m_loop(loop),
      m_frame(frame),
      m_lib(library),
      m_devices(devices),
      m_pending(pending),
      m_phonebook(phonebook),
      m_ports(ports),
      m_boxes(boxes) {}

void PhonebookEdits::post(unsigned msg, platform::WPARAM w, platform::LPARAM l) {
    m_loop.post(m_frame, Message{msg, w, l, nullptr});
}

void PhonebookEdits::onEntryDeleted(const char* text, int id) {
    std::lock_guard g(m_devices.lock());
    auto row = m_pending.find(id);
    if (!row) return;
    if (isOkUpper(text)) {
        m_devices.lowerPhonebookUsed(row->device);
        --m_deletes.outstanding;
        // The card no longer holds the entry, so it leaves the list even
        // when the used count was already 0 (entries listed before the
        // capacity was known are not counted).
        post(UM_SIMENTRYDONE, static_cast<platform::WPARAM>(row->device), entryParam(row->entry));
    } else {
        ++m_deletes.failed;
        post(UM_BATCHFAILURE, BATCH_DELETES, 0);
    }
    m_pending.remove(id);
}

void PhonebookEdits::onEntryStored(const char* text, int id) {
    std::lock_guard g(m_devices.lock());
    auto row = m_pending.find(id);
    if (!row) return;
    if (isOkUpper(text)) {
        if (row->device <= kMaxDevices) m_devices.addPhonebookUsed(row->device, 1);
        --m_stores.outstanding;
    } else {
        ++m_stores.failed;
        post(UM_SIMENTRYDONE, static_cast<platform::WPARAM>(row->device), entryParam(row->entry));
        post(UM_BATCHFAILURE, BATCH_STORES, 0);
    }
    m_pending.remove(id);
}

void PhonebookEdits::onBatchFailure(int kind) {
    if (kind != BATCH_DELETES && kind != BATCH_STORES) return;
    int failed = 0;
    {
        std::lock_guard g(m_devices.lock());
        BatchCounter& c = kind == BATCH_DELETES ? m_deletes : m_stores;
        // Summaries queued behind the one that reported the batch find the
        // counters reset; they must not show a count of 0.
        if (c.failed <= 0 || c.outstanding != c.failed) return;
        failed = c.failed;
        c = BatchCounter{};
    }
    const unsigned id = kind == BATCH_DELETES ? 60069 : 60007;
    linkBoxText(m_boxes, id, FormatStr(id, {int64_t{failed}}), MbIcon::Exclamation);
}

void PhonebookEdits::onDeleteEntry(SimPhoneEntry* e) {
    if (!e || !m_lib.DelTelphone) return;
    // Held from the request on: a device thread that answers before the
    // call returns here waits for the row instead of missing it.
    std::lock_guard g(m_devices.lock());
    const int id = m_lib.DelTelphone(e->device, e->index);
    if (id == -1) return;
    m_pending.add(id, e->device, e, BATCH_DELETES);
    ++m_deletes.outstanding;
}

void PhonebookEdits::onStoreEntry(platform::WPARAM flag, SimPhoneEntry* e) {
    if (!e || (flag != 0 && flag != 1)) return;
    {
        // Held from the request on, so an early answer finds its row.
        std::lock_guard g(m_devices.lock());
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
    linkBoxText(m_boxes, 60007, FormatStr(60007, {int64_t{1}}), MbIcon::Information);
}

void PhonebookEdits::onEntryDone(platform::WPARAM w, SimPhoneEntry* e) {
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

void PhonebookEdits::dropRows(const std::vector<PendingCommand>& rows) {
    std::lock_guard g(m_devices.lock());
    for (const PendingCommand& row : rows) {
        if (row.batch == BATCH_STORES) --m_stores.outstanding;
        if (row.batch == BATCH_DELETES) --m_deletes.outstanding;
    }
    // With nothing of a batch left unanswered it has ended: its failures
    // are reported, or it starts from 0 again.
    auto settle = [this](BatchCounter& c, int kind) {
        if (m_pending.countBatch(kind) != 0) return;
        if (c.failed > 0) {
            c.outstanding = c.failed;
            post(UM_BATCHFAILURE, static_cast<platform::WPARAM>(kind), 0);
        } else {
            c = BatchCounter{};
        }
    };
    settle(m_stores, BATCH_STORES);
    settle(m_deletes, BATCH_DELETES);
}

void PhonebookEdits::clear() {
    m_stores = BatchCounter{};
    m_deletes = BatchCounter{};
}

PhonebookEdits::BatchCounter PhonebookEdits::stores() const {
    std::lock_guard g(m_devices.lock());
    return m_stores;
}

PhonebookEdits::BatchCounter PhonebookEdits::deletes() const {
    std::lock_guard g(m_devices.lock());
    return m_deletes;
}

}  // namespace msgdesk
