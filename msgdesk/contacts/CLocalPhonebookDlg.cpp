// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CLocalPhonebookDlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "contacts/CPhonebookList.h"
#include "widgets/CDialogIcons.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CLocalPhonebookDlg::CLocalPhonebookDlg(PhonebookServices& services, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<LocalPhonebookModel>(services)) {
    setObjectName(QStringLiteral("dlg201"));
    setWindowTitle(QStringLiteral("计算机内电话簿管理"));
    setWindowIcon(DialogIcon(214));
    auto* label = new QLabel(QStringLiteral("查 找:"), this);
    m_find = new QLineEdit(this);
    m_find->setAccessibleName(QStringLiteral("查 找"));
    label->setBuddy(m_find);
    m_list = new CPhonebookList(48, 0, true, this);
    m_list->setGridLines(true);
    m_list->setAccessibleName(QStringLiteral("计算机内电话"));
    m_list->setMinimumSize(300, 320);
    m_new = MakeDialogButton(QStringLiteral("新建(&N)"), 209, this);
    m_change = MakeDialogButton(QStringLiteral("修改(&M)"), 210, this);
    m_info = MakeDialogButton(QStringLiteral("属性(&P)"), 207, this);
    m_delete = MakeDialogButton(QStringLiteral("删除(&D)"), 150, this);
    m_toSim = MakeDialogButton(QStringLiteral("存入SIM卡"), 0, this);
    m_exit = MakeDialogButton(QStringLiteral("退出(&X)"), 206, this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_list, 1, 0, 1, 2);
    auto* col = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_change, m_info, m_delete, m_toSim}) col->addWidget(b);
    col->addStretch();
    col->addWidget(m_exit);
    grid->addLayout(col, 0, 2, 2, 1);

    m_list->showRows(m_model->rows());
    updateButtons();
    connect(m_find, &QLineEdit::textChanged, this, &CLocalPhonebookDlg::onFind);
    connect(m_list, &CPhonebookList::selectionEdited, this, [this] {
        m_list->copySelection(m_model->rows());
        updateButtons();
    });
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { m_list->setFocus(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_model->showInfo(); });
    connect(m_list, &CPhonebookList::deletePressed, m_delete, &QPushButton::click);
    connect(m_new, &QPushButton::clicked, this, [this] {
        int row = m_model->newContact();
        if (row >= 0) m_list->showRows(m_model->rows(), row);
        updateButtons();
    });
    connect(m_change, &QPushButton::clicked, this, [this] {
        int row = m_model->rows().firstSelected();
        m_model->changeContact();
        if (row >= 0) m_list->updateRow(row, m_model->rows().at(row));
    });
    connect(m_info, &QPushButton::clicked, this, [this] { m_model->showInfo(); });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        if (m_model->rows().selectedCount() == 0) return;
        m_model->deleteContacts();
        m_list->showRows(m_model->rows());
        updateButtons();
    });
    connect(m_toSim, &QPushButton::clicked, this, [this] { m_model->moveToSim(); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    m_find->setFocus();
}

CLocalPhonebookDlg::~CLocalPhonebookDlg() = default;

void CLocalPhonebookDlg::updateButtons() {
    PhonebookButtons b = m_model->buttons();
    m_change->setEnabled(b.change);
    m_info->setEnabled(b.info);
    m_delete->setEnabled(b.remove);
    m_toSim->setEnabled(b.transfer);
}

void CLocalPhonebookDlg::onFind(const QString& text) {
    FindResult r = m_model->find(ToGbk(text));
    m_list->showSelection(m_model->rows(), r.row);
    updateButtons();
    // The next key replaces an unmatched text.
    if (r.unmatched) m_find->selectAll();
    m_find->setFocus();
}

void CLocalPhonebookDlg::keyPressEvent(QKeyEvent* e) {
    // Enter never closes the manager (the find box would otherwise do it).
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace msgdesk
