// Requests a faulty modem keeps failing, and devices whose requests are
// given up: the start-up poll's centre, a removed device's rows. Window
// thread only.
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

void DeviceLink::giveUpCentre(int d) {
    // Counted as read and empty; an answer still outstanding fills it in.
    std::lock_guard g(lock());
    m_devices.setCentreNumber(d, "");
    m_devices.setCentreRead(d, true);
    m_devices.setCentreUnknown(d, true);
}

void DeviceLink::dropDeviceRows(int d) {
    // The device's requests will not be answered usefully any more; its
    // phonebook stores and deletes leave their batch.
    std::lock_guard g(lock());
    for (const PendingCommand& row : m_pending.removeDevice(d)) {
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

}  // namespace msgdesk
