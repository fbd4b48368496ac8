// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CContactView.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QVBoxLayout>

#include "contacts/CPhonebookList.h"
#include "contacts/ContactPane.h"
#include "types/Commands.h"
#include "widgets/CDialogIcons.h"

namespace msgdesk {

CContactView::CContactView(ContactPane& pane, QWidget* parent) : QWidget(parent), m_pane(pane) {
    setObjectName(QStringLiteral("contactView"));
    m_list = new CPhonebookList(24, 0, true, this);
    m_list->setObjectName(QStringLiteral("contactList"));
    m_list->setAccessibleName(QStringLiteral("联系人"));
    m_list->header()->setSectionsMovable(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_list);
    setFocusProxy(m_list);
    // Wide enough for a name column and a whole international mobile number
    // beside the scroll bar.
    const QFontMetrics fm = m_list->fontMetrics();
    setMinimumWidth(m_list->columnWidth(0) +
                    fm.horizontalAdvance(QStringLiteral("+8613900000000")) +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16);
    buildPopup();

    connect(m_list, &CPhonebookList::selectionEdited, this,
            [this] { m_list->copySelection(m_pane.rows()); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_pane.doubleClick(); });
    connect(m_list, &CPhonebookList::deletePressed, this, [this] {
        m_pane.deleteKey();
        m_list->setFocus();
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { showPopup(m_list->viewport()->mapToGlobal(p)); });
    m_pane.onRowsChanged = [this](int row) { redraw(row); };
    redraw();
}

CContactView::~CContactView() {
    m_pane.onRowsChanged = nullptr;
}

void CContactView::buildPopup() {
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("contactPopup"));
    auto add = [this](int id, const char* text) {
        QAction* a = m_popup->addAction(QString::fromUtf8(text));
        a->setObjectName(QStringLiteral("popup%1").arg(id));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] {
            m_pane.setActive(true);
            m_pane.command(id);
        });
    };
    add(cmd::AddContactPopup, "添  加(&A)");
    m_popup->addSeparator();
    add(cmd::ChangeContact, "修  改(&R)");
    add(cmd::DeleteContact, "删  除(&D)");
    m_popup->addSeparator();
    add(cmd::MoveToSim, "移至SIM卡(&E)");
}

void CContactView::showPopup(const QPoint& at) {
    emit activated();
    for (QAction* a : m_popup->actions())
        if (!a->isSeparator()) a->setEnabled(m_pane.popupEnabled(a->data().toInt()));
    m_popup->popup(at);
}

void CContactView::redraw(int scrollTo) {
    m_list->showRows(m_pane.rows(), scrollTo);
}

bool CContactView::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress) emit activated();
    return QWidget::eventFilter(o, e);
}

}  // namespace msgdesk
