// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CDeviceChoiceDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "contacts/SimPhonebookModel.h"
#include "widgets/CDialogIcons.h"

namespace msgdesk {

CDeviceChoiceDlg::CDeviceChoiceDlg(int attachedCount, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg191"));
    setWindowTitle(QStringLiteral("设备"));
    setWindowIcon(DialogIcon(128));
    auto* group = new QGroupBox(QStringLiteral("选择设备"), this);
    m_list = new QComboBox(group);
    m_list->setAccessibleName(QStringLiteral("选择设备"));
    for (const std::string& t : DeviceChoiceTexts(attachedCount))
        m_list->addItem(QString::fromStdString(t));
    m_list->setCurrentIndex(0);
    m_list->setMinimumWidth(180);
    auto* gl = new QVBoxLayout(group);
    gl->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = MakeDialogButton(QStringLiteral("确定"), 153, this);
    ok->setDefault(true);
    ok->setEnabled(m_list->count() > 0);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeDialogButton(QStringLiteral("取消"), 150, this),
                       QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(group);
    lay->addWidget(buttons);
}

}  // namespace msgdesk
