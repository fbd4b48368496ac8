// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTreeWidget>
#include <vector>

#include "contacts/PhonebookRows.h"

namespace msgdesk {

// The two-column phonebook list (联系人, 号  码) with the device icon strip,
// drawing a PhonebookRows and reporting the user's input. Column 0 is as
// wide as four Chinese characters plus nameExtra pixels; column 1 takes the
// rest of the width less numberMargin.
class CPhonebookList final : public QTreeWidget {
    Q_OBJECT
public:
    CPhonebookList(int nameExtra, int numberMargin, bool multiSelect, QWidget* parent = nullptr);

    // Rebuilds every item from rows, applies the rows' selection and
    // scrolls scrollTo into view (-1: none).
    void showRows(const PhonebookRows& rows, int scrollTo = -1);
    // Applies only the selection (and scrolls).
    void showSelection(const PhonebookRows& rows, int scrollTo = -1);
    // New texts for one row, in place.
    void updateRow(int i, const PhonebookRow& row);
    // The selected rows, as indexes, in list order.
    std::vector<int> selectedRows() const;
    // Copies the list's selection into rows.
    void copySelection(PhonebookRows& rows) const;
    // Lines between the cells, as the managers' report lists draw them.
    void setGridLines(bool on);
    bool gridLines() const { return m_gridLines; }

signals:
    // The user changed the selection (not showRows or showSelection).
    void selectionEdited();
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void fitColumns();
    int m_nameExtra;
    int m_numberMargin;
    bool m_applying = false;
    bool m_gridLines = false;
};

}  // namespace msgdesk
