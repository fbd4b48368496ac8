// SPDX-License-Identifier: GPL-3.0-or-later
// Requests a faulty modem keeps failing, and a removed device's requests,
// which are given up. Window thread only.
#include <string>

#include "device/DeviceAnswers.h"
#include "device/DeviceLink.h"

namespace msgdesk {

void DeviceLink::onRetryRequest(const RetryRequest& r) {
    const int device = r.rowDevice > kMaxDevices ? r.rowDevice - kMaxDevices : r.rowDevice;
    if (!deviceAttached(device)) return;
    // Past the bound the request is given up: an unread message stays on the
    // SIM (the next listing finds it), an unknown size stays 0.
    m_retries.schedule(r.rowDevice, r.failures,
                       [this, r](int failures) { return remake(r, failures); });
}

bool DeviceLink::remake(const RetryRequest& r, int failures) {
    const int device = r.rowDevice > kMaxDevices ? r.rowDevice - kMaxDevices : r.rowDevice;
    if (!deviceAttached(device)) return true;  // nothing more to do for it
    int id = -1;
    {
        // Held from the request on, so an early answer finds its row.
        std::lock_guard g(lock());
        if (r.kind == RetryRequest::Read) {
            if (!m_lib.GetSMSMessage) return true;
            id = m_lib.GetSMSMessage(device, answers::leadingDecimal(r.text));
        } else {
            if (!m_lib.GetSimInfo) return true;
            id = m_lib.GetSimInfo(device, r.kind == RetryRequest::PhonebookInfo ? 1 : 2);
        }
        if (id == -1) return false;
        m_pending.addRetry(id, r.rowDevice, r.text, failures);
    }
    if (r.kind == RetryRequest::Read) post(UM_STATUSPANE, PANE_ACTIVITY, 225);
    return true;
}

void DeviceLink::dropDeviceRows(int d) {
    // The device's requests will not be answered usefully any more; its
    // phonebook stores and deletes leave their batch.
    std::lock_guard g(lock());
    m_edits.dropRows(m_pending.removeDevice(d));
}

}  // namespace msgdesk
