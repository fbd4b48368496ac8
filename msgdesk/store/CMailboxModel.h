// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractTableModel>
#include <QFont>

#include "store/DeliveryReports.h"
#include "store/LongTexts.h"
#include "store/Mailbox.h"

namespace msgdesk {

// A Qt view of one core mailbox: rows are read on demand, so 100 000
// messages cost nothing until they scroll into sight. Texts are converted
// from GBK per visible cell.
class CMailboxModel final : public QAbstractTableModel, private MailboxObserver {
    Q_OBJECT
public:
    explicit CMailboxModel(Mailbox& box, QObject* parent = nullptr);
    ~CMailboxModel() override;

    Mailbox& mailbox() { return m_box; }
    // The mailbox's whole texts: a joined long message is marked "(n)"
    // before its text, n its parts, and its tool tip shows all of it.
    void setLongTexts(const LongTexts* texts) { m_long = texts; }
    // The SentBox's delivery reports: a row that asked for one is drawn in
    // the colour of its state, the state in its tool tip.
    void setDeliveryReports(const DeliveryReports* reports) { m_reports = reports; }
    // True while core is between the two halves of a row change.
    bool changing() const { return m_changing > 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    void beginInsertRows(const Mailbox&, int first, int last) override;
    void endInsertRows(const Mailbox&) override;
    void beginRemoveRows(const Mailbox&, int first, int last) override;
    void endRemoveRows(const Mailbox&) override;
    void beginReset(const Mailbox&) override;
    void endReset(const Mailbox&) override;
    void rowsChanged(const Mailbox&, int first, int last) override;

    Mailbox& m_box;
    const LongTexts* m_long = nullptr;
    const DeliveryReports* m_reports = nullptr;
    int m_changing = 0;
    QFont m_bold;
};

}  // namespace msgdesk
