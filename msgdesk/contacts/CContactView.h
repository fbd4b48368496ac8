// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMenu>
#include <QWidget>

namespace msgdesk {

class ContactPane;
class CPhonebookList;

// The contact pane of the main window: draws the pane's rows and forwards
// clicks, the popup menu, double-clicks and the Delete key to it.
class CContactView final : public QWidget {
    Q_OBJECT
public:
    explicit CContactView(ContactPane& pane, QWidget* parent = nullptr);
    ~CContactView() override;

    CPhonebookList* list() const { return m_list; }
    QMenu* popup() const { return m_popup; }
    // Redraws every row from the pane (after RefreshRows).
    void redraw(int scrollTo = -1);

signals:
    // The user clicked into the pane: it is now the active view.
    void activated();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void buildPopup();
    void showPopup(const QPoint& at);

    ContactPane& m_pane;
    CPhonebookList* m_list;
    QMenu* m_popup = nullptr;
};

}  // namespace msgdesk
