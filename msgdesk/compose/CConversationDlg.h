// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>
#include <memory>

#include "compose/Conversation.h"

class QLabel;
class QListView;
class QPushButton;

namespace msgdesk {

class CComposeTextEdit;
class CConversationModel;

// The conversation window: the messages with one number as bubbles,
// received on the left and sent on the right, a line for each new day, and
// the reply field "回复" with 发送 at the bottom. Modeless; it follows the
// mailboxes while open (the core marks it stale, the window redraws once
// the burst of changes is over).
class CConversationDlg final : public QWidget {
    Q_OBJECT
public:
    explicit CConversationDlg(std::unique_ptr<Conversation> conversation,
                              QWidget* parent = nullptr);
    ~CConversationDlg() override;

    Conversation& conversation() { return *m_conversation; }
    QListView* messages() const { return m_view; }
    CComposeTextEdit* replyField() const { return m_reply; }
    QPushButton* sendButton() const { return m_send; }

private:
    void refresh();
    void send();

    std::unique_ptr<Conversation> m_conversation;
    CConversationModel* m_model = nullptr;
    QListView* m_view = nullptr;
    CComposeTextEdit* m_reply = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_send = nullptr;
    bool m_refreshQueued = false;
    bool m_stickToEnd = true;  // the newest message is in view
    bool m_rebuilding = false;
};

}  // namespace msgdesk
