// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/LinkDeviceInfo.h"

#include "device/DeviceLink.h"

namespace msgdesk {

int LinkDeviceInfo::attachedCount() const {
    const DeviceLink* l = m_link();
    return l ? l->deviceCount() : 0;
}

int LinkDeviceInfo::phonebookCapacity(int device) const {
    const DeviceLink* l = m_link();
    return l ? l->devices().slot(device).phonebookCapacity : 0;
}

int LinkDeviceInfo::phonebookUsed(int device) const {
    const DeviceLink* l = m_link();
    return l ? l->devices().slot(device).phonebookUsed : 0;
}

bool LinkDeviceInfo::phonebookListed(int device) const {
    const DeviceLink* l = m_link();
    return l && l->devices().phonebookListed(device);
}

bool LinkDeviceInfo::deviceAttached(int device) const {
    const DeviceLink* l = m_link();
    return l && l->deviceAttached(device);
}

}  // namespace msgdesk
