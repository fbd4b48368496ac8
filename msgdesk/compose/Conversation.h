// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compose/ComposeController.h"
#include "platform/MessageBox.h"
#include "store/MailboxStore.h"

namespace msgdesk {

// One message of a conversation as the window shows it.
struct ConversationEntry {
    enum class State { Received, Sent, Waiting, Sending, Failed };
    MailboxId box = InBox;
    State state = State::Received;
    std::string number;  // as stored (GBK)
    std::string day;     // "YYYY-MM-DD" (the stored Date when it is no date)
    std::string time;    // as stored, without a padding blank
    std::string text;    // whole, long messages joined (GBK)
    int64_t when = -1;   // yyyyMMddhhmmss; -1 for an unreadable date or time

    bool outgoing() const { return state != State::Received; }
};

// Every message exchanged with one number: the InBox, SentBox and OutBox
// rows whose number has the conversation's key (ConversationKey), oldest
// first; at equal times received before sent before waiting, each box in
// its own order. A row with an unreadable date or time comes first.
//
// It watches the three mailboxes: any change marks it stale and calls
// `changed` (the window then calls refresh(), once for a burst of
// changes). Window thread only; the mailboxes must outlive it.
class Conversation final : private MailboxObserver {
public:
    using NameLookup = std::function<std::string(const std::string& numberGbk)>;
    // Files one message as the compose dialog's send button does
    // (ComposeController::sendText).
    using Sender = std::function<ComposeController::Sent(const std::string& numberGbk,
                                                         const std::string& textGbk)>;

    // number: the row's number the conversation was opened from (GBK); the
    // reply goes to it.
    Conversation(MailboxStore& store, std::string number, NameLookup nameFor, Sender send = {},
                 platform::MessageBoxPort* messageBox = nullptr);
    ~Conversation() override;
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    const std::string& number() const { return m_number; }
    const std::string& key() const { return m_key; }
    // "与<name or number>的对话" (UTF-8): the contact's name for the number
    // (or for its key) when the book or a SIM knows it.
    std::string title() const;

    const std::vector<ConversationEntry>& entries() const { return m_entries; }
    // Builds the entries again when a mailbox changed since the last build;
    // true when it did.
    bool refresh();
    bool stale() const { return m_stale; }
    std::function<void()> changed;

    // 发送 with the reply field's text (GBK): filed through the sender, or
    // refused with a message (a number no message can go to). True when it
    // went to the OutBox; the window then empties the field.
    bool reply(const std::string& textGbk);

    // Text of an entry's state beside an outgoing message (UTF-8): empty
    // for sent and received ones.
    static std::string stateText(ConversationEntry::State s);
    // The date line between two days (UTF-8).
    static std::string dayText(const std::string& day);

private:
    void build();
    void markStale();
    void endInsertRows(const Mailbox&) override { markStale(); }
    void endRemoveRows(const Mailbox&) override { markStale(); }
    void endReset(const Mailbox&) override { markStale(); }
    void rowsChanged(const Mailbox&, int, int) override { markStale(); }

    MailboxStore& m_store;
    std::string m_number;
    std::string m_key;
    NameLookup m_nameFor;
    Sender m_send;
    platform::MessageBoxPort* m_messageBox;
    std::vector<ConversationEntry> m_entries;
    bool m_stale = true;
};

}  // namespace msgdesk
