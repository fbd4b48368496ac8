// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

#include "contacts/PhonebookDeviceInfo.h"

namespace msgdesk {

class DeviceLink;

// The device table's phonebook counts as the phonebook windows read them,
// over the main frame's device link (none before it is made, or after it
// is gone: no device attached). Counts are read under the table's lock.
class LinkDeviceInfo final : public PhonebookDeviceInfo {
public:
    explicit LinkDeviceInfo(std::function<const DeviceLink*()> link) : m_link(std::move(link)) {}
    int attachedCount() const override;
    int phonebookCapacity(int device) const override;
    int phonebookUsed(int device) const override;
    bool phonebookListed(int device) const override;
    bool deviceAttached(int device) const override;

private:
    std::function<const DeviceLink*()> m_link;
};

}  // namespace msgdesk
