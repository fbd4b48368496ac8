// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "store/MailboxStore.h"
#include "store/StoreCommands.h"

namespace msgdesk {

// What the message list needs from the rest of the program. Every function
// may be left empty; it then counts as "no", "refused" or "nothing shown".
struct MessageListPorts {
    // Posts to the main frame: UM_STATUSPANE(50010, 1), UM_SENDQUEUE and
    // UM_COMPOSE (wParam = const char* GBK text owned by the payload, a
    // std::shared_ptr<std::string>; lParam = mode 1 reply, 2 forward, 3 draft).
    std::function<void(platform::Message)> postToFrame;
    // Sends to the main frame (runs its handler at once): UM_SENDQUEUE after
    // restore and resend, so the batch starts before the command returns.
    std::function<std::intptr_t(platform::Message)> sendToFrame;
    // Device link up (the link-active flag).
    std::function<bool()> linkUp;
    // DelMsgInBuff(sendId) through the device link; nonzero = taken back.
    std::function<int(int sendId)> delMsgInBuff;
    // The send pump: is a batch outstanding, and lower the number of results
    // it still waits for by one.
    std::function<bool()> sendBatchRunning;
    std::function<void()> lowerSendBatch;
    // The modal message view dialog; returns 1027 reply, 1025 forward, 2 cancel.
    // whole: the row's whole text (GBK), longer than Text for a joined message.
    std::function<int(const MessageRecord&, const std::string& whole)> openMessageView;
    // The preview pane's Show(number, text), GBK.
    std::function<void(const std::string& number, const std::string& text)> showPreview;
    // The contact book's name for a number (GBK); empty when none.
    std::function<std::string(const std::string& number)> lookupNameByNumber;
    // True for a command whose window is not built yet (reply, forward and
    // drafts need the compose dialog): greyed, and a draft stays put.
    std::function<bool(unsigned id)> commandMissing;
    // The conversation window for a row's number (GBK); unset: no command.
    std::function<void(const std::string& number)> openConversation;
    platform::MessageBoxPort* messageBox = nullptr;
};

// Takes the list's commands while another view of its rows is shown (the
// find over all mailboxes).
class MessageListOverride {
public:
    virtual ~MessageListOverride() = default;
    virtual bool active() const = 0;
    virtual bool isCommandEnabled(unsigned id) const = 0;
    virtual bool onCommand(unsigned id) = 0;
    virtual std::vector<MenuItem> popupMenu() const = 0;
};

// The message list's behaviour: the current mailbox, the unread mark, the
// mailbox commands, sorting, the popup menu and the count texts. The window
// (CListMsgView) shows the current mailbox and forwards user actions here.
// Window thread only.
class MessageList final : public platform::MessageTarget {
public:
    static constexpr int kNoList = -1;
    static constexpr unsigned kTimerUnread = 1;
    static constexpr unsigned kUnreadMs = 3000;

    MessageList(MailboxStore& store, platform::MessageLoop& loop, MessageListPorts ports);
    ~MessageList() override;

    MailboxStore& store() { return m_store; }
    // The mailbox shown (0..4), or kNoList while the tree's root is chosen.
    int current() const { return m_current; }
    Mailbox* currentBox();
    const Mailbox* currentBox() const;

    // Shows mailbox 0..4 (clears its selection, selects and scrolls to its
    // last row); any other value hides the list.
    void ShowMailbox(int mailbox);
    // Called after every selection change of the current list (by the user
    // or by core): unread timer and preview.
    void onSelectionChanged();
    // Double-click: open the message, or edit the draft in the PublicBox.
    void onDoubleClick();
    void reply();
    void forward();
    void selectAll();
    void deleteSelected();
    void restoreSelected();
    // Empties Attempts and the icon of the selected OutBox rows, then starts
    // the send pump.
    void resendSelected();
    // Header click on column (0..7): toggles or starts ascending, sorts.
    void sortByColumn(int column);
    // UM_REFRESHVIEWS(227): look the contact names up again, all mailboxes.
    void refreshContactNames();
    // UM_EMPTYDELETEBOX at the main frame: asks 60002, on OK empties the
    // DeleteBox. Returns whether it was emptied.
    bool emptyDeleteBox();

    bool isCommandEnabled(unsigned id) const;
    // Runs a mailbox command; false for an id that is not one of them.
    bool onCommand(unsigned id);
    // The popup menu for a right-click in the current list, as it should be
    // shown now; empty when no list is shown.
    std::vector<MenuItem> popupMenu() const;
    // Status pane 50010 kind 1 (UTF-8); nothing when no list is current.
    std::optional<std::string> countText() const;

    bool unreadTimerRunning() const;

    // Row commands on any mailbox, for the find over all mailboxes: open in
    // the message view (an InBox row is marked read), reply, forward.
    void openRow(int mailbox, int row);
    void replyRow(int mailbox, int row);
    void forwardRow(int mailbox, int row);
    void conversationRow(int mailbox, int row);
    bool hasConversation() const { return static_cast<bool>(m_ports.openConversation); }
    // The preview pane for one row (mailbox -1: empty).
    void previewRow(int mailbox, int row);
    // What the preview and the message view show of a row (GBK): its whole
    // text, and for a sent row that asked for one, its delivery report
    // ("送达报告：已送达 12-07 10:00:01") on a line of its own.
    std::string shownText(int mailbox, const MessageRecord& rec) const;
    void setOverride(MessageListOverride* o) { m_override = o; }
    // Told when the current list changes (the window shows it).
    std::function<void(int mailbox)> onCurrentChanged;

    std::intptr_t onMessage(const platform::Message&) override { return 0; }
    void onTimer(unsigned id) override;

private:
    void postFrame(unsigned msg, platform::WPARAM w, platform::LPARAM l);
    void runSendPump();
    void postCompose(std::string text, int mode);
    void postCountRefresh();
    void stopUnreadTimer();
    bool missing(unsigned id) const { return m_ports.commandMissing && m_ports.commandMissing(id); }
    static MessageRecord movedRecord(const MailboxRow& row, std::string_view status);
    // Moves the whole texts of rows of one mailbox to another's sidecar.
    // Forward: the Text, or of a joined long message its first 140 bytes
    // with a notice that the rest was left out.
    void forwardRecord(int mailbox, const MessageRecord& rec);
    void carryLongTexts(MailboxId from, const std::vector<int>& rows, MailboxId to);

    MailboxStore& m_store;
    platform::MessageLoop& m_loop;
    MessageListPorts m_ports;
    int m_current = kNoList;
    int m_unreadRow = -1;
    MessageListOverride* m_override = nullptr;
};

// True when s is a non-empty run of decimal digits that fits an int.
bool ParseDecimal(std::string_view s, int& out);

}  // namespace msgdesk
