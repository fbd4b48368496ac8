// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CComposeDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "compose/CComposeIcons.h"
#include "compose/CComposeTextEdit.h"
#include "compose/ComposeIds.h"
#include "compose/ComposeSession.h"
#include "compose/ComposeText.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "widgets/CDeviceIcons.h"
#include "widgets/CGbkText.h"
#include "widgets/CPhoneEdit.h"

namespace msgdesk {

using namespace compose;

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}
QString accessible(const QString& caption) {
    return QString(caption).remove(QLatin1Char('&')).trimmed();
}

template <class W>
W* named(W* w, int id, const QString& name) {
    w->setObjectName(QString::number(id));
    w->setAccessibleName(name);
    return w;
}

QPushButton* button(int id, const char* text, int icon) {
    auto* b = named(new QPushButton(u8(text)), id, accessible(u8(text)));
    if (icon) b->setIcon(ComposeIcon(icon));
    b->setAutoDefault(false);
    return b;
}

QTreeWidget* list(int id, const QString& name, int columns) {
    auto* l = named(new QTreeWidget, id, name);
    l->setColumnCount(columns);
    l->setRootIsDecorated(false);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setSelectionBehavior(QAbstractItemView::SelectRows);
    l->setContextMenuPolicy(Qt::CustomContextMenu);
    l->setIconSize(QSize(16, 16));
    l->setUniformRowHeights(true);
    l->setAllColumnsShowFocus(true);
    return l;
}

}  // namespace

CComposeDlg::CComposeDlg(ComposeSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setWindowTitle(u8("短信息"));
    setWindowIcon(ComposeIcon(128));
    buildControls();
    fillPhonebook(-1);
    fillRecipients(-1);
    m_text->setPlainText(FromGbk(m_session.presetText()));
    m_text->moveCursor(QTextCursor::End);
    updateButtons();
}

void CComposeDlg::buildControls() {
    auto* extraLabel = new QLabel(u8("新建联系人号码:"));
    m_extra = named(new CPhoneEdit, IDC_EXTRA_NUMBER, accessible(extraLabel->text()));
    m_extra->setMaxLength(kNumberLimit);
    extraLabel->setBuddy(m_extra);

    auto* recipientsLabel = new QLabel(u8("接收人"));
    m_recipients = list(IDC_RECIPIENTS, recipientsLabel->text(), 1);
    m_recipients->setHeaderHidden(true);
    m_recipients->setColumnWidth(
        0, fontMetrics().horizontalAdvance(QStringLiteral("+8613912345678")) + 24);

    auto* textLabel = new QLabel(u8("短信息内容"));
    m_text = named(new CComposeTextEdit(kTextLimit), IDC_TEXT, textLabel->text());
    m_text->setTabChangesFocus(true);
    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setAccessibleName(u8("短信息字数"));
    m_count->setToolTip(u8("已用字节数 / 可用字节数（一个汉字占两个字节）"));
    auto showCount = [this](int n) {
        m_count->setText(
            QString::fromStdString(ComposeCountText(static_cast<size_t>(n), kTextLimit)));
    };
    // Room for "160/140" (a forwarded text may be longer), so the count
    // never moves the field or gets cut.
    m_count->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("160/140")) + 4);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_text, &CComposeTextEdit::byteCountChanged, this, showCount);
    showCount(0);

    auto* searchLabel = new QLabel(u8("查找:"));
    m_search = named(new QLineEdit, IDC_SEARCH, accessible(searchLabel->text()));
    searchLabel->setBuddy(m_search);
    auto* bookLabel = new QLabel(u8("电话簿"));
    m_phonebook = list(IDC_PHONEBOOK, bookLabel->text(), 2);
    m_phonebook->setHeaderLabels({u8(LoadStr(60043)), u8(LoadStr(60042))});
    m_phonebook->header()->setSectionsClickable(false);
    // A three-character name and 24 pixels; the number takes the rest of
    // the client width less 40 (set on every resize).
    m_phonebook->setColumnWidth(0, fontMetrics().horizontalAdvance(u8("王小明")) + 24);
    m_phonebook->header()->setStretchLastSection(false);
    m_phonebook->viewport()->installEventFilter(this);
    m_local = named(new QCheckBox(u8("计算机内电话")), IDC_SHOW_LOCAL, u8("计算机内电话"));
    m_local->setChecked(true);
    m_sim = named(new QCheckBox(u8("SIM卡内电话")), IDC_SHOW_SIM, u8("SIM卡内电话"));

    m_add = button(IDC_ADD, "<= 添加", 0);
    m_remove = button(IDC_REMOVE, " => 移除", 0);
    m_send = button(IDC_SEND, "发送(&S)", 148);
    m_send->setDefault(true);
    auto* save = button(IDC_SAVE, "保存(&V)", 149);
    auto* cancel = button(IDC_CANCEL, "取消(&C)", 150);

    auto* left = new QVBoxLayout;
    auto* extraRow = new QHBoxLayout;
    extraRow->addWidget(extraLabel);
    extraRow->addWidget(m_extra, 1);
    left->addLayout(extraRow);
    left->addWidget(recipientsLabel);
    left->addWidget(m_recipients, 2);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addStretch(1);
    textRow->addWidget(m_count);
    left->addLayout(textRow);
    left->addWidget(m_text, 3);

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(m_add);
    middle->addWidget(m_remove);
    middle->addStretch(1);

    auto* right = new QVBoxLayout;
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    right->addLayout(searchRow);
    right->addWidget(bookLabel);
    right->addWidget(m_phonebook, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_local);
    checks->addWidget(m_sim);
    checks->addStretch(1);
    right->addLayout(checks);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 5);
    top->addLayout(middle);
    top->addLayout(right, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_send);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top, 1);
    v->addLayout(buttons);
    resize(640, 420);

    connect(m_add, &QPushButton::clicked, this, &CComposeDlg::addSelected);
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(false); });
    connect(m_send, &QPushButton::clicked, this, [this] { finish(IDC_SEND); });
    connect(save, &QPushButton::clicked, this, [this] { finish(IDC_SAVE); });
    connect(cancel, &QPushButton::clicked, this, &CComposeDlg::reject);
    connect(m_local, &QCheckBox::clicked, this, &CComposeDlg::toggleSource);
    connect(m_sim, &QCheckBox::clicked, this, &CComposeDlg::toggleSource);
    connect(m_search, &QLineEdit::textChanged, this, &CComposeDlg::searchChanged);
    connect(m_phonebook, &QTreeWidget::itemSelectionChanged, this, &CComposeDlg::updateButtons);
    connect(m_recipients, &QTreeWidget::itemSelectionChanged, this, &CComposeDlg::updateButtons);
    connect(m_phonebook, &QTreeWidget::itemDoubleClicked, this, [this] {
        // The first selected row, as the add button would take it.
        std::vector<int> rows = selectedRows(m_phonebook);
        if (rows.empty()) return;
        m_session.model().addRecipients({rows.front()});
        fillPhonebook(-1);
        fillRecipients(-1);
    });
    connect(m_recipients, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_recipients->selectedItems().size() == 1) removeSelected(false);
    });
    connect(m_phonebook, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupAt(m_phonebook, p); });
    connect(m_recipients, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupAt(m_recipients, p); });
    m_recipients->installEventFilter(this);
}

std::vector<int> CComposeDlg::selectedRows(QTreeWidget* l) const {
    std::vector<int> rows;
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        if (l->topLevelItem(i)->isSelected()) rows.push_back(i);
    return rows;
}

void CComposeDlg::fillPhonebook(int selectRow) {
    m_phonebook->clear();
    QList<QTreeWidgetItem*> items;
    for (const PhonebookRef& r : m_session.model().phonebook()) {
        auto* item = new QTreeWidgetItem({FromGbk(r.name), FromGbk(r.number)});
        item->setIcon(0, DeviceStripIcon(r.icon()));
        items.push_back(item);
    }
    m_phonebook->addTopLevelItems(items);
    if (QTreeWidgetItem* it = m_phonebook->topLevelItem(selectRow)) {
        m_phonebook->setCurrentItem(it);
        m_phonebook->scrollToItem(it);
    }
    updateButtons();
}

void CComposeDlg::fillRecipients(int selectRow) {
    m_recipients->clear();
    QList<QTreeWidgetItem*> items;
    for (const PhonebookRef& r : m_session.model().recipients()) {
        auto* item = new QTreeWidgetItem({FromGbk(r.shown())});
        item->setIcon(0, DeviceStripIcon(r.icon()));
        item->setToolTip(0, FromGbk(r.number));
        items.push_back(item);
    }
    m_recipients->addTopLevelItems(items);
    if (QTreeWidgetItem* it = m_recipients->topLevelItem(selectRow)) {
        m_recipients->setCurrentItem(it);
        m_recipients->scrollToItem(it);
    }
    updateButtons();
}

void CComposeDlg::updateButtons() {
    if (!m_add) return;
    m_add->setEnabled(!m_phonebook->selectedItems().isEmpty());
    m_remove->setEnabled(!m_recipients->selectedItems().isEmpty());
}

void CComposeDlg::addSelected() {
    m_session.model().addRecipients(selectedRows(m_phonebook));
    fillPhonebook(-1);
    fillRecipients(-1);
}

void CComposeDlg::removeSelected(bool selectAfter) {
    const int next = m_session.model().removeRecipients(selectedRows(m_recipients));
    fillPhonebook(-1);
    fillRecipients(selectAfter ? next : -1);
}

void CComposeDlg::toggleSource() {
    m_session.model().setShowLocal(m_local->isChecked());
    fillPhonebook(m_session.model().setShowSim(m_sim->isChecked()));
}

void CComposeDlg::searchChanged(const QString& text) {
    m_phonebook->clearSelection();
    std::optional<int> row = m_session.search(ToGbk(text));
    if (row) {
        QTreeWidgetItem* it = m_phonebook->topLevelItem(*row);
        m_phonebook->setCurrentItem(it);
        m_phonebook->scrollToItem(it);
    } else if (!text.isEmpty()) {
        // After 60004 the next keystroke replaces the whole search text.
        m_search->selectAll();
        m_search->setFocus();
    }
}

void CComposeDlg::finish(int button) {
    if (m_session.close(button, ToGbk(m_extra->text()), m_text->gbkText())) done(button);
}

void CComposeDlg::reject() {
    done(IDC_CANCEL);
}

QMenu* CComposeDlg::createPopupMenu(QTreeWidget* l) {
    auto* menu = new QMenu(this);
    QAction* all = menu->addAction(u8("全 选(&A)"));
    all->setData(ID_POPUP_SELECTALL);
    connect(all, &QAction::triggered, l, &QTreeWidget::selectAll);
    menu->addSeparator();
    if (l == m_phonebook) {
        QAction* add = menu->addAction(u8("添 加(&R)"));
        add->setData(ID_POPUP_ADD);
        add->setEnabled(!l->selectedItems().isEmpty());
        connect(add, &QAction::triggered, this, &CComposeDlg::addSelected);
    } else {
        QAction* remove = menu->addAction(u8("去 除(&D)"));
        remove->setData(ID_POPUP_REMOVE);
        connect(remove, &QAction::triggered, this, [this] { removeSelected(false); });
    }
    return menu;
}

void CComposeDlg::popupAt(QTreeWidget* l, const QPoint& pos) {
    QMenu* menu = createPopupMenu(l);
    menu->exec(l->viewport()->mapToGlobal(pos));
    menu->deleteLater();
}

bool CComposeDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_phonebook->viewport() && e->type() == QEvent::Resize) {
        const int rest = m_phonebook->viewport()->width() - m_phonebook->columnWidth(0) - 40;
        m_phonebook->setColumnWidth(1, std::max(0, rest));
    }
    if (watched == m_recipients && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        if (!m_recipients->selectedItems().isEmpty()) removeSelected(true);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace msgdesk
