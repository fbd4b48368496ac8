// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "store/MessageList.h"

namespace msgdesk {

// One item of the mailbox tree: index 0 is the root, 1..5 the mailboxes.
struct MailboxTreeItem {
    std::string text;  // UTF-8
    int image;         // index into the icons 131..138
    int data;          // mailbox id 0..4, or kRootData
    unsigned iconId() const { return 131u + static_cast<unsigned>(image); }
};

struct MailboxTreePorts {
    // UM_STATUSPANE(50010, 1 or 2) to the main frame.
    std::function<void(platform::Message)> postToFrame;
    // UM_EMPTYDELETEBOX, sent (synchronously) to the main frame.
    std::function<std::intptr_t(platform::Message)> sendToFrame;
    // WM_USER+100 to the window that holds the left pane (hide or pin it).
    std::function<void(platform::Message)> postToPaneHolder;
    // The preview pane's Show(number, text), GBK.
    std::function<void(const std::string&, const std::string&)> showPreview;
    // The right-hand pane's caption bar, when it shows one: text and icon id.
    std::function<void(const std::string& textUtf8, unsigned iconId)> setRightCaption;
};

// The mailbox tree's behaviour. CLeftBoxView shows items() and forwards the
// user's selection, right-clicks and commands here. Window thread only.
class MailboxTree final {
public:
    static constexpr int kRootData = 512;
    static constexpr int kRootItem = 0;
    static constexpr int kDeleteBoxItem = 5;

    MailboxTree(MessageList& list, MailboxTreePorts ports);

    static const std::vector<MailboxTreeItem>& items();
    // Initial update: selects the InBox item.
    void initialUpdate();
    int selectedItem() const { return m_selected; }
    // The user (or core) chose an item: preview cleared, caption set, the
    // mailbox shown (the root hides the list), pane 50010 refreshed.
    void selectItem(int item);
    // Right-click hit an item (-1 for none): the popup to show, empty for
    // none. The window shows it, then selects the item.
    std::vector<MenuItem> rightClick(int item);
    int lastRightClicked() const { return m_rightClicked; }
    // 30303: asks the main frame to empty the DeleteBox.
    bool onCommand(unsigned id);
    // The caption bar's button.
    void onPinButton();
    // Told when core selects an item (the window mirrors it).
    std::function<void(int item)> onSelectionChanged;

private:
    MessageList& m_list;
    MailboxTreePorts m_ports;
    int m_selected = -1;
    int m_rightClicked = -1;
};

}  // namespace msgdesk
