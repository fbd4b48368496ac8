// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MailboxTree.h"

#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

const std::vector<MailboxTreeItem>& MailboxTree::items() {
    static const std::vector<MailboxTreeItem> kItems = {
        {"Kelvo短信息信箱", 5, kRootData}, {LoadStr(60036), 2, InBox},
        {LoadStr(60037), 4, OutBox},       {LoadStr(60038), 7, SentBox},
        {LoadStr(60039), 6, PublicBox},    {LoadStr(60040), 1, DeleteBox},
    };
    return kItems;
}

MailboxTree::MailboxTree(MessageList& list, MailboxTreePorts ports)
    : m_list(list), m_ports(std::move(ports)) {}

void MailboxTree::initialUpdate() {
    selectItem(1);
    if (onSelectionChanged) onSelectionChanged(1);
}

void MailboxTree::selectItem(int item) {
    if (item < 0 || item >= static_cast<int>(items().size())) return;
    m_selected = item;
    const MailboxTreeItem& it = items()[static_cast<size_t>(item)];
    if (m_ports.showPreview) m_ports.showPreview(std::string(), std::string());
    if (m_ports.setRightCaption) m_ports.setRightCaption(it.text, it.iconId());
    m_list.ShowMailbox(it.data);
    if (m_ports.postToFrame)
        m_ports.postToFrame(
            platform::Message{UM_STATUSPANE, PANE_MAILBOX, it.data == kRootData ? 2 : 1, nullptr});
}

std::vector<MenuItem> MailboxTree::rightClick(int item) {
    m_rightClicked = item;
    if (item == kDeleteBoxItem) return {MenuItem{ID_BOX_EMPTY, CommandCaption(ID_BOX_EMPTY), true}};
    return {};
}

bool MailboxTree::onCommand(unsigned id) {
    if (id != ID_BOX_EMPTY) return false;
    if (m_ports.sendToFrame)
        m_ports.sendToFrame(platform::Message{UM_EMPTYDELETEBOX, 0, 0, nullptr});
    return true;
}

void MailboxTree::onPinButton() {
    if (m_ports.postToPaneHolder)
        m_ports.postToPaneHolder(platform::Message{UM_WELCOME_PIN, 0, 0, nullptr});
}

}  // namespace msgdesk
