// SPDX-License-Identifier: GPL-3.0-or-later
// The handlers of the SIM listings' messages. Window thread only.
#include <string>

#include "contacts/SimPhonebook.h"
#include "device/DeviceLink.h"

namespace msgdesk {

using platform::Message;

void DeviceLink::onListedEntry(const Message& m) {
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
