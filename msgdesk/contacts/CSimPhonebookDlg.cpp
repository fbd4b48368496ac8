// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CSimPhonebookDlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "contacts/CPhonebookList.h"
#include "device/WindowMessages.h"
#include "widgets/CDialogIcons.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CSimPhonebookDlg::CSimPhonebookDlg(PhonebookServices& services, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<SimPhonebookModel>(services)) {
    setObjectName(QStringLiteral("dlg202"));
    setWindowTitle(QStringLiteral("SIM卡电话簿管理"));
    setWindowIcon(DialogIcon(214));
    auto* findLabel = new QLabel(QStringLiteral("查找:"), this);
    m_find = new QLineEdit(this);
    m_find->setAccessibleName(QStringLiteral("查找"));
    findLabel->setBuddy(m_find);
    auto* deviceLabel = new QLabel(QStringLiteral("设备号:"), this);
    m_device = new QComboBox(this);
    m_device->setAccessibleName(QStringLiteral("设备号"));
    deviceLabel->setBuddy(m_device);
    for (const std::string& t : DeviceFilterTexts(services.devices.attachedCount()))
        m_device->addItem(QString::fromStdString(t));
    m_list = new CPhonebookList(48, 0, true, this);
    m_list->setGridLines(true);
    m_list->setAccessibleName(QStringLiteral("SIM卡内电话"));
    m_list->setMinimumSize(300, 320);
    m_new = MakeDialogButton(QStringLiteral("新建(&N)"), 209, this);
    m_change = MakeDialogButton(QStringLiteral("修改(&M)"), 210, this);
    m_info = MakeDialogButton(QStringLiteral("属性(&P)"), 207, this);
    m_delete = MakeDialogButton(QStringLiteral("删除(&D)"), 150, this);
    m_export = MakeDialogButton(QStringLiteral("导出到电脑(&E)"), 0, this);
    m_exit = MakeDialogButton(QStringLiteral("退出(&X)"), 206, this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(deviceLabel, 1, 0);
    grid->addWidget(m_device, 1, 1);
    grid->addWidget(m_list, 2, 0, 1, 2);
    auto* col = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_change, m_info, m_delete, m_export}) col->addWidget(b);
    col->addStretch();
    col->addWidget(m_exit);
    grid->addLayout(col, 0, 2, 3, 1);

    m_list->showRows(m_model->rows());
    updateButtons();
    connect(m_find, &QLineEdit::textChanged, this,
            [this](const QString& t) { applyFind(m_model->find(ToGbk(t))); });
    connect(m_device, &QComboBox::currentIndexChanged, this, [this](int i) {
        FindResult r = m_model->setDeviceChoice(i, ToGbk(m_find->text()));
        m_list->showRows(m_model->rows());
        if (!m_find->text().isEmpty()) applyFind(r);
        updateButtons();
    });
    connect(m_list, &CPhonebookList::selectionEdited, this, [this] {
        m_list->copySelection(m_model->rows());
        updateButtons();
    });
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { m_list->setFocus(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_model->showInfo(); });
    connect(m_list, &CPhonebookList::deletePressed, m_delete, &QPushButton::click);
    connect(m_new, &QPushButton::clicked, this, [this] {
        int row = m_model->newEntry();
        if (row >= 0) m_list->showRows(m_model->rows(), row);
        updateButtons();
    });
    connect(m_change, &QPushButton::clicked, this, [this] {
        const int row = m_model->changeEntry();
        if (m_model->rows().valid(row)) m_list->updateRow(row, m_model->rows().at(row));
    });
    connect(m_info, &QPushButton::clicked, this, [this] { m_model->showInfo(); });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        if (m_model->rows().selectedCount() > 0) m_model->deleteEntries();
    });
    connect(m_export, &QPushButton::clicked, this, [this] { m_model->exportToBook(); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    m_find->setFocus();
}

CSimPhonebookDlg::~CSimPhonebookDlg() = default;

void CSimPhonebookDlg::onFrameMessage(const platform::Message& m) {
    // A removed device's entries are freed with its list; the rows that
    // showed them go with the link's word that it went (or the contact
    // pane's refresh, whichever comes first).
    bool listsChanged = m.msg == UM_SIMENTRYDONE || m.msg == UM_DEVICEGONE ||
                        (m.msg == UM_REFRESHVIEWS && m.wParam == REFRESH_CONTACT_PANE);
    if (!listsChanged) return;
    int row = m_model->entryDone();
    m_list->showRows(m_model->rows(), row);
    updateButtons();
}

void CSimPhonebookDlg::applyFind(const FindResult& r) {
    m_list->showSelection(m_model->rows(), r.row);
    updateButtons();
    // An unmatched text is removed (which finds nothing: the box is empty).
    if (r.unmatched) m_find->clear();
    m_find->setFocus();
}

void CSimPhonebookDlg::updateButtons() {
    PhonebookButtons b = m_model->buttons();
    m_change->setEnabled(b.change);
    m_info->setEnabled(b.info);
    m_delete->setEnabled(b.remove);
    m_export->setEnabled(b.transfer);
}

void CSimPhonebookDlg::keyPressEvent(QKeyEvent* e) {
    // Enter never closes the manager (the find box would otherwise do it).
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace msgdesk
