// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactsCore.h"

#include "types/Commands.h"

namespace msgdesk {

ContactsCore::ContactsCore(ContactBook& book, SimPhonebook& sims, platform::MessageLoop& loop,
                           platform::MessageTarget* frame, platform::MessageBoxPort& box,
                           std::function<const DeviceLink*()> link)
    : m_info(std::move(link)),
      m_requests(loop, frame),
      m_services{book,
                 sims,
                 m_info,
                 m_requests,
                 box,
                 m_proxy,
                 [&loop, frame](platform::Message m) { loop.post(frame, std::move(m)); }},
      m_pane(m_services) {}

bool ContactsCore::handles(int id) {
    return ContactPane::handles(id) || id == cmd::LocalPhonebook || id == cmd::SimPhonebook;
}

bool ContactsCore::commandEnabled(int id) const {
    if (id == cmd::LocalPhonebook || id == cmd::SimPhonebook) return true;
    return m_pane.commandEnabled(id);
}

void ContactsCore::command(int id) {
    if (id == cmd::LocalPhonebook) {
        m_proxy.openLocalManager();
        return;
    }
    if (id == cmd::SimPhonebook) {
        m_proxy.openSimManager();
        return;
    }
    m_pane.command(id);
}

}  // namespace msgdesk
