// SPDX-License-Identifier: GPL-3.0-or-later
#include "CUsbDeviceCounter.h"

namespace wanmate {

void CUsbDeviceCounter::ScanDevices() {
    m_count = 0;
    for (int n = 0; n < kMaxControllers; ++n) {
        auto controller = m_host.openController(n);
        if (!controller) return;
        auto rootHub = controller->rootHubName();
        if (!rootHub || rootHub->size() >= kMaxHubName) return;
        exploreHub(*rootHub);
    }
}

void CUsbDeviceCounter::exploreHub(const std::string& name) {
    auto hub = m_host.openHub(name);
    if (!hub) return;
    int ports = hub->portCount().value_or(0);
    for (int p = 1; p <= ports; ++p) {
        if (auto child = hub->attachedHubName(p)) exploreHub(*child);
        auto ids = hub->connectionInfo(p);
        if (!ids) continue;
        if ((ids->vendor == kVendorId && ids->product == kProductId) ||
            m_table.find(ids->vendor, ids->product))
            ++m_count;
    }
}

}  // namespace wanmate
