// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

#include "store/MessageFinder.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace msgdesk {

class CFoundModel;
class CListMsgView;

// The message list with the find bar above it. While a find text is typed
// (or all mailboxes are searched) the found rows show in place of the list;
// every decision is the finder's, this only mirrors rows and selection.
class CFindPane final : public QWidget {
    Q_OBJECT
public:
    CFindPane(MessageFinder& finder, MessageList& list, CListMsgView* listView,
              QWidget* parent = nullptr);
    ~CFindPane() override;

    // Ctrl+F: shows the bar and puts the cursor in its text.
    void showBar();
    // Esc: all rows again, the bar hidden, the list focused.
    void closeBar();

    QWidget* bar() const { return m_bar; }
    QLineEdit* findEdit() const { return m_edit; }
    QCheckBox* allBoxes() const { return m_all; }
    QLabel* countLabel() const { return m_count; }
    QTableView* foundView() const { return m_found; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void rowsChanged();
    void copySelectionToCore();
    void popupAt(const QPoint& pos);

    MessageFinder& m_finder;
    MessageList& m_list;
    CListMsgView* m_listView;
    QWidget* m_bar;
    QLineEdit* m_edit;
    QCheckBox* m_all;
    QLabel* m_count;
    QTableView* m_found;
    CFoundModel* m_model;
    bool m_syncing = false;
    bool m_wasFiltering = false;
};

}  // namespace msgdesk
