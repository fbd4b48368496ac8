// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CSimMessageDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "compose/CComposeIcons.h"
#include "compose/SimMessageModel.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/CStoreIcons.h"
#include "widgets/CDeviceIcons.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

namespace {
constexpr int IDC_SIM_LIST = 1074;
constexpr int IDC_SIM_FILTER = 1063;
constexpr int IDC_SIM_COUNT = 1085;
constexpr int IDC_SIM_VIEW = 1077;
constexpr int IDC_SIM_REPLY = 1044;
constexpr int IDC_SIM_FORWARD = 1076;
constexpr int IDC_SIM_DELETE = 1078;
constexpr int IDC_SIM_EXPORT = 1079;
constexpr int IDC_SIM_CLOSE = 2;

QString u8(const char* s) {
    return QString::fromUtf8(s);
}
QString u8(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
}  // namespace

CSimMessageDlg::CSimMessageDlg(SimMessageModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowTitle(u8("SIM卡短信息管理"));
    setWindowIcon(ComposeIcon(128));

    m_list = new QTableWidget(0, 7);
    m_list->setObjectName(QString::number(IDC_SIM_LIST));
    m_list->setAccessibleName(u8("SIM卡短信息"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setWordWrap(false);
    m_list->setHorizontalHeaderLabels({u8(LoadStr(60041)), u8(LoadStr(60042)), u8(LoadStr(60043)),
                                       u8(LoadStr(60044)), u8(LoadStr(60045)), u8(LoadStr(60046)),
                                       QString()});
    const int widths[] = {40, 106, 76, 0, 84, 76, 0};
    for (int c = 0; c < 7; ++c) m_list->setColumnWidth(c, widths[c]);
    m_list->setColumnHidden(6, true);  // the SIM key, width 0
    m_list->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_list->setMinimumSize(640, 260);
    m_list->horizontalHeader()->setSortIndicatorShown(true);
    m_list->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_model.sortByColumn(column);
        m_list->horizontalHeader()->setSortIndicator(
            m_model.sortColumn(),
            m_model.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CSimMessageDlg::selectionChanged);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { m_model.view(); });

    m_filter = new QComboBox;
    m_filter->setObjectName(QString::number(IDC_SIM_FILTER));
    m_filter->setAccessibleName(u8(LoadStr(60050)));
    for (const std::string& e : m_model.filterEntries()) m_filter->addItem(u8(e));
    connect(m_filter, &QComboBox::currentIndexChanged, this,
            [this](int i) { m_model.setFilter(i); });
    auto* filterLabel = new QLabel(u8(LoadStr(60050)));
    filterLabel->setBuddy(m_filter);

    m_count = new QLabel;
    m_count->setObjectName(QString::number(IDC_SIM_COUNT));
    m_count->setAccessibleName(u8("当前短信"));

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filter);
    top->addStretch(1);
    top->addWidget(new QLabel(u8("当前短信")));
    top->addWidget(m_count);

    struct B {
        int id;
        const char* text;
        QIcon icon;
        void (SimMessageModel::*act)();
    };
    const B buttons[] = {
        {IDC_SIM_VIEW, "查看(&V)", QIcon(StoreIcon(131)), &SimMessageModel::view},
        {IDC_SIM_REPLY, "回复(&R)", ComposeIcon(195), &SimMessageModel::reply},
        {IDC_SIM_FORWARD, "转发(&F)", ComposeIcon(196), &SimMessageModel::forward},
        {IDC_SIM_DELETE, "删除(&D)", ComposeIcon(150), nullptr},
        {IDC_SIM_EXPORT, "导出到电脑(&E)", QIcon(), &SimMessageModel::exportSelected},
        {IDC_SIM_CLOSE, "退出(&X)", style()->standardIcon(QStyle::SP_DialogCloseButton), nullptr},
    };
    auto* row = new QHBoxLayout;
    for (const B& b : buttons) {
        auto* p = new QPushButton(b.icon, u8(b.text));
        p->setObjectName(QString::number(b.id));
        p->setAccessibleName(p->text().remove(QLatin1Char('&')));
        // Enter belongs to the view, never to a default button.
        p->setAutoDefault(false);
        p->setDefault(false);
        if (b.id == IDC_SIM_CLOSE)
            connect(p, &QPushButton::clicked, this, &QDialog::reject);
        else if (b.id == IDC_SIM_DELETE)
            connect(p, &QPushButton::clicked, this, [this] { m_model.deleteSelected(); });
        else
            connect(p, &QPushButton::clicked, this, [this, act = b.act] { (m_model.*act)(); });
        if (b.id == IDC_SIM_CLOSE) row->addStretch(1);
        row->addWidget(p);
    }

    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(m_list, 1);
    v->addLayout(row);
    resize(760, 420);

    m_model.setChangedHandler([this] { showRows(); });
    showRows();
}

CSimMessageDlg::~CSimMessageDlg() {
    m_model.setChangedHandler({});
}

QPushButton* CSimMessageDlg::button(int id) const {
    return findChild<QPushButton*>(QString::number(id));
}

void CSimMessageDlg::showRows() {
    m_filling = true;
    m_list->clearContents();
    const auto& rows = m_model.rows();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const MessageRecord& rec = rows[static_cast<size_t>(r)].rec;
        const std::string text = SimMessageModel::TextColumn(rows[static_cast<size_t>(r)]);
        auto* icon = new QTableWidgetItem(DeviceStripIcon(rec.Icon), QString());
        m_list->setItem(r, 0, icon);
        const std::string texts[] = {rec.number(), rec.contact(), text,
                                     rec.date(),   rec.time(),    rec.status()};
        for (int c = 0; c < 6; ++c)
            m_list->setItem(r, c + 1, new QTableWidgetItem(FromGbk(texts[c])));
    }
    m_list->clearSelection();
    for (int r : m_model.selection()) m_list->selectRow(r);
    if (!m_model.selection().empty()) {
        m_list->setCurrentCell(m_model.selection().front(), 1, QItemSelectionModel::NoUpdate);
        m_list->scrollToItem(m_list->item(m_model.selection().front(), 1));
    }
    if (m_filter->currentIndex() != m_model.filter()) m_filter->setCurrentIndex(m_model.filter());
    m_count->setText(u8(m_model.countText()));
    m_filling = false;
    updateButtons();
}

void CSimMessageDlg::selectionChanged() {
    if (m_filling) return;
    std::vector<int> rows;
    for (const QModelIndex& i : m_list->selectionModel()->selectedRows()) rows.push_back(i.row());
    m_model.setSelection(std::move(rows));
    updateButtons();
}

void CSimMessageDlg::updateButtons() {
    const SimMessageModel::Buttons b = m_model.buttons();
    button(IDC_SIM_VIEW)->setEnabled(b.view);
    button(IDC_SIM_REPLY)->setEnabled(b.reply);
    button(IDC_SIM_FORWARD)->setEnabled(b.forward);
    button(IDC_SIM_DELETE)->setEnabled(b.del);
    button(IDC_SIM_EXPORT)->setEnabled(b.exportToPc);
}

void CSimMessageDlg::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_model.view();
            return;
        case Qt::Key_Delete:
            if (!m_model.selection().empty()) m_model.deleteSelected();
            return;
        default:
            QDialog::keyPressEvent(e);
    }
}

}  // namespace msgdesk
