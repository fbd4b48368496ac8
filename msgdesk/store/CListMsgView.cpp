// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CListMsgView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTableView>
#include <algorithm>

#include "res/StringTable.h"
#include "store/CMailboxModel.h"

namespace msgdesk {

CListMsgView::CListMsgView(MessageList& list, QWidget* parent) : QWidget(parent), m_list(list) {
    for (int i = 0; i < kMailboxCount; ++i) {
        auto id = static_cast<MailboxId>(i);
        Mailbox& box = m_list.store().box(id);
        auto* model = new CMailboxModel(box, this);
        model->setLongTexts(&m_list.store().longTexts(id));
        if (id == SentBox) model->setDeliveryReports(&m_list.store().deliveryReports());
        auto* view = new QTableView(this);
        view->setObjectName(QString::number(kFirstListId + i));
        view->setModel(model);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setShowGrid(false);
        view->setWordWrap(false);
        view->setAlternatingRowColors(false);
        view->setIconSize(QSize(16, 16));
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        // Uniform rows: the view never measures rows, so 100 000 scroll freely.
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
        view->horizontalHeader()->setSectionsClickable(true);
        view->horizontalHeader()->setHighlightSections(false);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        view->setColumnHidden(ColStatus, true);  // width 0 in the list
        view->setColumnHidden(ColAttempts, true);
        view->hide();
        view->installEventFilter(this);

        connect(
            view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, id](const QItemSelection&, const QItemSelection&) { copySelectionToCore(id); });
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this, id](int column) { headerClicked(id, column); });
        connect(view, &QTableView::doubleClicked, this, [this] { m_list.onDoubleClick(); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, id](const QPoint& pos) { popupAt(id, pos); });
        box.addObserver(this);
        m_views[static_cast<size_t>(i)] = view;
        m_models[static_cast<size_t>(i)] = model;
    }
    m_list.onCurrentChanged = [this](int mailbox) { showCurrent(mailbox); };
    showCurrent(m_list.current());
}

CListMsgView::~CListMsgView() {
    m_list.onCurrentChanged = nullptr;
    for (int i = 0; i < kMailboxCount; ++i)
        m_list.store().box(static_cast<MailboxId>(i)).removeObserver(this);
}

QTableView* CListMsgView::currentView() const {
    int c = m_list.current();
    return c == MessageList::kNoList ? nullptr : m_views[static_cast<size_t>(c)];
}

void CListMsgView::showCurrent(int mailbox) {
    for (int i = 0; i < kMailboxCount; ++i)
        m_views[static_cast<size_t>(i)]->setVisible(i == mailbox);
    update();  // the welcome text when none is shown
}

void CListMsgView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    for (QTableView* v : m_views) v->setGeometry(rect());
    applyColumnWidths();
}

int CListMsgView::columnBaseWidth() const {
    // The lists' client width: the view less the frame and a vertical scroll
    // bar, so that full columns never call for a horizontal one.
    const QTableView* v = m_views[0];
    return std::max(0, width() - 2 * v->frameWidth() -
                           v->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, v));
}

void CListMsgView::applyColumnWidths() {
    // Fractions of the client width, in 68ths, as the lists were laid out.
    static const int kParts[] = {4, 14, 8, 24, 10, 8};
    const int w = columnBaseWidth();
    for (QTableView* v : m_views)
        for (int c = 0; c < 6; ++c) v->setColumnWidth(c, w * kParts[c] / 68);
}

void CListMsgView::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    if (currentView()) return;
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().windowText().color());
    p.drawText(QPoint(50, 100 + fontMetrics().ascent()),
               QString::fromUtf8(LoadStr(IDS_LIST_WELCOME)));
}

void CListMsgView::copySelectionToCore(MailboxId id) {
    CMailboxModel* model = m_models[static_cast<size_t>(id)];
    if (m_syncing || model->changing()) return;
    // The whole selection is copied, not the delta: cheap (one run per
    // contiguous block) and immune to signals Qt sends while rows move.
    Mailbox& box = model->mailbox();
    box.setSelected(0, box.size() - 1, false);
    const QItemSelection sel = m_views[static_cast<size_t>(id)]->selectionModel()->selection();
    for (const QItemSelectionRange& r : sel) box.setSelected(r.top(), r.bottom(), true);
    if (m_list.current() == id) m_list.onSelectionChanged();
}

void CListMsgView::selectionReset(const Mailbox& box, int caretRow) {
    QTableView* view = m_views[static_cast<size_t>(box.id())];
    CMailboxModel* model = m_models[static_cast<size_t>(box.id())];
    QItemSelection sel;
    const auto& rows = box.selectedRows();
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        sel.select(model->index(rows[i], 0), model->index(rows[j], kMailboxColumns - 1));
        i = j + 1;
    }
    m_syncing = true;
    view->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    if (caretRow >= 0) {
        view->selectionModel()->setCurrentIndex(model->index(caretRow, ColNumber),
                                                QItemSelectionModel::NoUpdate);
        view->scrollTo(model->index(caretRow, ColNumber));
    }
    m_syncing = false;
}

void CListMsgView::headerClicked(MailboxId id, int column) {
    if (m_list.current() != id) return;
    m_list.sortByColumn(column);
    const Mailbox& box = m_list.store().box(id);
    QHeaderView* h = m_views[static_cast<size_t>(id)]->horizontalHeader();
    h->setSortIndicatorShown(true);
    h->setSortIndicator(box.sortColumn(),
                        box.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QMenu* CListMsgView::createPopupMenu() {
    auto* menu = new QMenu(this);
    for (const MenuItem& item : m_list.popupMenu()) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(QString::fromUtf8(item.text.c_str()));
        a->setEnabled(item.enabled);
        a->setData(item.id);
    }
    return menu;
}

void CListMsgView::popupAt(MailboxId id, const QPoint& pos) {
    if (m_list.current() != id) return;
    QTableView* view = m_views[static_cast<size_t>(id)];
    QMenu* menu = createPopupMenu();
    QAction* chosen = menu->exec(view->viewport()->mapToGlobal(pos));
    unsigned cmd = chosen ? chosen->data().toUInt() : 0;
    menu->deleteLater();
    if (cmd) {
        m_list.onCommand(cmd);
        view->setFocus();
    }
}

bool CListMsgView::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        QTableView* view = currentView();
        if (view && watched == view) {
            m_list.onCommand(ID_MSG_DELETE);
            view->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace msgdesk
