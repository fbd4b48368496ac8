// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace msgdesk {

class CComposeTextEdit;
class CPhoneEdit;
class ComposeSession;

// The compose dialog (template 180, "短信息"): the recipients and the
// phonebook list of a ComposeSession, the extra number, the message text
// with its byte count, search, send, save and cancel. It shows the
// session's lists and turns clicks, keys and menu choices into session
// calls; exec() returns 1009 (send), 1001 (save) or 2 (cancel).
class CComposeDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CComposeDlg(ComposeSession& session, QWidget* parent = nullptr);

    QTreeWidget* phonebookList() const { return m_phonebook; }
    QTreeWidget* recipientList() const { return m_recipients; }
    CComposeTextEdit* textEdit() const { return m_text; }
    QLabel* countLabel() const { return m_count; }
    // The popup of a list as a right-click would show it now (caller owns).
    QMenu* createPopupMenu(QTreeWidget* list);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void fillPhonebook(int selectRow);
    void fillRecipients(int selectRow);
    void updateButtons();
    void addSelected();
    void removeSelected(bool selectAfter);
    void toggleSource();
    void searchChanged(const QString& text);
    void finish(int button);
    void popupAt(QTreeWidget* list, const QPoint& pos);
    std::vector<int> selectedRows(QTreeWidget* list) const;

    ComposeSession& m_session;
    CPhoneEdit* m_extra = nullptr;
    QTreeWidget* m_recipients = nullptr;
    CComposeTextEdit* m_text = nullptr;
    QLabel* m_count = nullptr;
    QLineEdit* m_search = nullptr;
    QTreeWidget* m_phonebook = nullptr;
    QCheckBox* m_local = nullptr;
    QCheckBox* m_sim = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_send = nullptr;
};

}  // namespace msgdesk
