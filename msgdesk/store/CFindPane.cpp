// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CFindPane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolButton>

#include "res/StringTable.h"
#include "store/CFoundModel.h"
#include "store/CListMsgView.h"

namespace msgdesk {

namespace {
QString u8(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

CFindPane::CFindPane(MessageFinder& finder, MessageList& list, CListMsgView* listView,
                     QWidget* parent)
    : QWidget(parent), m_finder(finder), m_list(list), m_listView(listView) {
    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("findBar"));
    auto* label = new QLabel(u8(LoadStr(33102)), m_bar);
    m_edit = new QLineEdit(m_bar);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setAccessibleName(u8(LoadStr(33102)).remove(QLatin1Char(':')));
    m_edit->setClearButtonEnabled(true);
    label->setBuddy(m_edit);
    m_all = new QCheckBox(u8(LoadStr(33103)), m_bar);
    m_all->setObjectName(QStringLiteral("findAllBoxes"));
    m_all->setAccessibleName(m_all->text());
    m_count = new QLabel(m_bar);
    m_count->setObjectName(QStringLiteral("findCount"));
    m_count->setAccessibleName(u8(LoadStr(33106)));
    auto* h = new QHBoxLayout(m_bar);
    h->setContentsMargins(4, 2, 4, 2);
    h->addWidget(label);
    h->addWidget(m_edit, 1);
    h->addWidget(m_all);
    h->addSpacing(12);
    h->addWidget(m_count);
    m_bar->hide();

    std::array<QAbstractItemModel*, kMailboxCount> boxes{};
    for (int i = 0; i < kMailboxCount; ++i)
        boxes[static_cast<size_t>(i)] = listView->listView(static_cast<MailboxId>(i))->model();
    m_model = new CFoundModel(m_finder, boxes, this);
    m_found = new QTableView(this);
    m_found->setObjectName(QStringLiteral("foundList"));
    m_found->setAccessibleName(u8(LoadStr(33105)));
    m_found->setModel(m_model);
    m_found->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_found->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_found->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_found->setShowGrid(false);
    m_found->setWordWrap(false);
    m_found->setIconSize(QSize(16, 16));
    m_found->setContextMenuPolicy(Qt::CustomContextMenu);
    m_found->verticalHeader()->hide();
    m_found->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_found->verticalHeader()->setDefaultSectionSize(m_found->fontMetrics().height() + 4);
    m_found->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_found->horizontalHeader()->setStretchLastSection(true);
    m_found->setColumnHidden(ColStatus, true);
    m_found->setColumnHidden(ColAttempts, true);
    m_found->hide();
    m_found->installEventFilter(this);
    m_edit->installEventFilter(this);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(m_bar);
    v->addWidget(m_listView, 1);
    v->addWidget(m_found, 1);

    connect(m_edit, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_finder.setText(t.toUtf8().toStdString()); });
    connect(m_all, &QCheckBox::toggled, this, [this](bool on) { m_finder.setAllMailboxes(on); });
    connect(m_found->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { copySelectionToCore(); });
    connect(m_found, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { m_finder.openShown(i.row()); });
    connect(m_found, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupAt(p); });
    m_finder.onRowsChanged = [this] { rowsChanged(); };
}

CFindPane::~CFindPane() {
    m_finder.onRowsChanged = nullptr;
}

void CFindPane::showBar() {
    m_bar->show();
    m_edit->setFocus();
    m_edit->selectAll();
}

void CFindPane::closeBar() {
    m_edit->clear();
    m_all->setChecked(false);
    m_finder.clear();
    m_bar->hide();
    if (QWidget* v = m_listView->currentView()) v->setFocus();
}

void CFindPane::rowsChanged() {
    const bool filtering = m_finder.filtering();
    if (filtering) {
        m_syncing = true;
        m_model->refresh();
        QItemSelection sel;
        for (int r : m_finder.selectedShown())
            sel.select(m_model->index(r, 0), m_model->index(r, m_model->columnCount() - 1));
        m_found->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
        m_syncing = false;
        m_found->setColumnHidden(CFoundModel::kColMailbox, !m_finder.allMailboxes());
        const QTableView* plain = m_listView->listView(InBox);
        for (int c = 0; c < 6; ++c) m_found->setColumnWidth(c, plain->columnWidth(c));
        if (m_finder.allMailboxes()) {
            // The mailbox column's room comes out of the text column.
            const int boxWidth = m_found->fontMetrics().horizontalAdvance(u8(LoadStr(60040))) + 16;
            m_found->setColumnWidth(ColText, std::max(80, plain->columnWidth(ColText) - boxWidth));
            m_found->setColumnWidth(CFoundModel::kColMailbox, boxWidth);
        }
        if (!m_wasFiltering) {
            m_listView->hide();
            m_found->show();
        }
        m_count->setText(u8(m_finder.countText().c_str()));
    } else {
        m_count->clear();
        if (m_wasFiltering) {
            m_found->hide();
            m_listView->show();
            // The plain list picks up where the find left off.
            if (Mailbox* box = m_list.currentBox()) {
                int r = box->firstSelected();
                if (r >= 0)
                    box->selectOnly(r);
                else
                    box->clearSelection();
                m_list.onSelectionChanged();
            }
        }
    }
    m_wasFiltering = filtering;
}

void CFindPane::copySelectionToCore() {
    if (m_syncing) return;
    std::vector<int> rows;
    for (const QModelIndex& i : m_found->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    m_syncing = true;  // the finder tells us back; the view already shows it
    m_finder.setSelectedShown(rows);
    m_syncing = false;
}

void CFindPane::popupAt(const QPoint& pos) {
    QMenu* menu = m_listView->createPopupMenu();
    QAction* chosen = menu->exec(m_found->viewport()->mapToGlobal(pos));
    unsigned cmd = chosen ? chosen->data().toUInt() : 0;
    menu->deleteLater();
    if (cmd) m_list.onCommand(cmd);
}

bool CFindPane::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Escape && (watched == m_edit || watched == m_found)) {
            closeBar();
            return true;
        }
        if (key == Qt::Key_Delete && watched == m_found) {
            m_list.onCommand(ID_MSG_DELETE);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace msgdesk
