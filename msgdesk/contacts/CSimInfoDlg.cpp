// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CSimInfoDlg.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "contacts/SimInfoModel.h"
#include "widgets/CDeviceIcons.h"

namespace msgdesk {

namespace {
QString u8(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
}  // namespace

CSimInfoDlg::CSimInfoDlg(SimInfoModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setWindowTitle(QString::fromUtf8("查看"));
    setWindowIcon(QIcon(QStringLiteral(":/shell/app128.svg")));
    auto* group = new QGroupBox(QString::fromUtf8("SIM卡信息"));
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setAccessibleName(QString::fromUtf8("SIM卡信息"));
    m_tree->header()->hide();
    m_tree->setColumnCount(1);
    const QIcon detail = SimInfoStripIcon(1);
    for (const SimInfoModel::Device& d : m_model.devices()) {
        auto* root = new QTreeWidgetItem(m_tree, {u8(d.label)});
        root->setIcon(0, SimInfoStripIcon(0));
        for (const std::string* line : {&d.phonebookLine, &d.messageLine}) {
            auto* item = new QTreeWidgetItem(root, {u8(*line)});
            item->setIcon(0, detail);
        }
        root->setExpanded(true);
    }
    m_tree->viewport()->installEventFilter(this);
    auto* g = new QVBoxLayout(group);
    g->addWidget(m_tree);

    auto* ok = new QPushButton(QString::fromUtf8("确定(&O)"));
    ok->setObjectName(QStringLiteral("1"));
    ok->setAccessibleName(QString::fromUtf8("确定(O)"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    auto* v = new QVBoxLayout(this);
    v->addWidget(group, 1);
    v->addLayout(row);
    resize(440, 300);

    m_model.setSelectHandler([this](int d) { select(d); });
    m_model.start();
}

CSimInfoDlg::~CSimInfoDlg() {
    m_model.setSelectHandler({});
    m_model.click();  // the timer ends with the dialog
}

void CSimInfoDlg::select(int device) {
    m_tree->clearSelection();
    if (device < 1 || device > m_tree->topLevelItemCount()) return;
    QTreeWidgetItem* root = m_tree->topLevelItem(device - 1);
    root->setSelected(true);
    m_tree->setFocus();
}

bool CSimInfoDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_tree->viewport() && e->type() == QEvent::MouseButtonPress) m_model.click();
    return QDialog::eventFilter(watched, e);
}

}  // namespace msgdesk
