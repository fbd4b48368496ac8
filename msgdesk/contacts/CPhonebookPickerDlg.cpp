// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CPhonebookPickerDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "QtMessageBox.h"
#include "contacts/CPhonebookList.h"
#include "widgets/CDialogIcons.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CPhonebookPickerDlg::CPhonebookPickerDlg(ContactBook& book, SimPhonebook& sims, int attachedCount,
                                         QWidget* parent, platform::MessageBoxPort* box)
    : QDialog(parent) {
    if (!box) {
        m_ownBox = std::make_unique<platform::QtMessageBox>(this);
        box = m_ownBox.get();
    }
    m_model = std::make_unique<PhonebookPickerModel>(book, sims, *box);
    setObjectName(QStringLiteral("dlg265"));
    setWindowTitle(QStringLiteral("电话簿"));
    setWindowIcon(DialogIcon(214));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* findLabel = new QLabel(QStringLiteral("查找:"), this);
    m_find = new QLineEdit(this);
    m_find->setAccessibleName(QStringLiteral("查找"));
    findLabel->setBuddy(m_find);
    m_list = new CPhonebookList(24, 16, false, this);
    m_list->setAccessibleName(QStringLiteral("电话簿"));
    m_list->setMinimumSize(280, 300);
    m_bookBox = new QCheckBox(QStringLiteral("计算机内电话"), this);
    m_bookBox->setAccessibleName(m_bookBox->text());
    m_bookBox->setChecked(true);
    m_simBox = new QCheckBox(QStringLiteral("SIM卡内电话"), this);
    m_simBox->setAccessibleName(m_simBox->text());
    (void)attachedCount;  // the box stays usable without devices: it lists no entries then
    QPushButton* ok = MakeDialogButton(QStringLiteral("确定"), 153, this);
    QPushButton* cancel = MakeDialogButton(QStringLiteral("取消"), 150, this);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find, 1);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_bookBox);
    boxes->addStretch();
    boxes->addWidget(m_simBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(findRow);
    lay->addWidget(m_list, 1);
    lay->addLayout(boxes);
    lay->addLayout(buttons);

    m_list->showRows(m_model->rows());
    connect(m_bookBox, &QCheckBox::toggled, this, &CPhonebookPickerDlg::rebuild);
    connect(m_simBox, &QCheckBox::toggled, this, &CPhonebookPickerDlg::rebuild);
    connect(m_find, &QLineEdit::textChanged, this, [this](const QString& t) {
        FindResult r = m_model->find(ToGbk(t));
        m_list->showSelection(m_model->rows(), r.row);
        if (r.unmatched) m_find->clear();
        m_find->setFocus();
    });
    connect(m_list, &CPhonebookList::selectionEdited, this,
            [this] { m_list->copySelection(m_model->rows()); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CPhonebookPickerDlg::accept);
    connect(ok, &QPushButton::clicked, this, &CPhonebookPickerDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_find->setFocus();
}

CPhonebookPickerDlg::~CPhonebookPickerDlg() = default;

void CPhonebookPickerDlg::rebuild() {
    m_model->setSources(m_bookBox->isChecked(), m_simBox->isChecked());
    m_list->showRows(m_model->rows());
}

void CPhonebookPickerDlg::accept() {
    m_list->copySelection(m_model->rows());
    if (m_model->accept()) QDialog::accept();
}

void CPhonebookPickerDlg::keyPressEvent(QKeyEvent* e) {
    // Enter presses 确定: the selected row is picked, or 60062 says none is.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace msgdesk
