// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CSimContactEditDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "contacts/ContactMessageBox.h"
#include "contacts/SimEntryInputRules.h"
#include "contacts/SimPhonebookModel.h"
#include "res/StringTable.h"
#include "widgets/CDialogIcons.h"
#include "widgets/CGbkLimitValidator.h"
#include "widgets/CGbkText.h"
#include "widgets/CPhoneEdit.h"

namespace msgdesk {

CSimContactEditDlg::CSimContactEditDlg(int attachedCount, const SimEntryInput& input, bool change,
                                       platform::MessageBoxPort& box, QWidget* parent)
    : QDialog(parent), m_box(box), m_input(input) {
    setObjectName(QStringLiteral("dlg185"));
    setWindowTitle(QStringLiteral("SIM卡内电话"));
    setWindowIcon(DialogIcon(131));
    auto* group = new QGroupBox(QStringLiteral("***联系人信息***"), this);
    auto* form = new QFormLayout(group);
    m_device = new QComboBox(group);
    for (const std::string& t : DeviceChoiceTexts(attachedCount))
        m_device->addItem(QString::fromStdString(t));
    m_device->setCurrentIndex(
        input.device >= 1 && input.device <= m_device->count() ? input.device - 1 : 0);
    m_name = new QLineEdit(FromGbk(input.name), group);
    m_name->setValidator(new CGbkLimitValidator(22, m_name));  // the entry holds 22 bytes
    m_index = new CPhoneEdit(group);
    m_index->setMaxLength(9);
    m_index->setText(QString::number(input.index));
    m_number = new CPhoneEdit(group);
    m_number->setMaxLength(20);
    m_number->setText(FromGbk(input.number));
    m_name->setMinimumWidth(200);
    const std::pair<const char*, QWidget*> rows[] = {
        {"设备:", m_device}, {"联系人:", m_name}, {"位置:", m_index}, {"号码:", m_number}};
    for (auto& [label, w] : rows) {
        QString text = QString::fromUtf8(label);
        w->setAccessibleName(AccessibleText(text));
        form->addRow(text, w);
    }
    if (change) {
        m_device->setEnabled(false);
        m_index->setEnabled(false);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = MakeDialogButton(QStringLiteral("确定"), 153, this);
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeDialogButton(QStringLiteral("取消"), 150, this),
                       QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(group);
    lay->addWidget(buttons);
    m_name->setFocus();
}

void CSimContactEditDlg::accept() {
    std::optional<int> index = ParseSimIndex(m_index->text().toStdString());
    if (!index) {
        platform::MessageBoxRequest r;
        r.text = "请输入一个整数。";
        r.caption = LoadStr(IDS_APP_TITLE);
        r.icon = platform::MbIcon::Exclamation;
        m_box.show(r);
        m_index->setFocus();
        m_index->selectAll();
        return;
    }
    if (m_device->count() == 0) {
        ShowStringBox(m_box, 60008, platform::MbIcon::Information);
        return;
    }
    std::string number = ToGbk(m_number->text());
    if (unsigned id = ValidateSimEntryNumber(number)) {
        ShowStringBox(m_box, id, platform::MbIcon::Information);
        m_number->setFocus();
        return;
    }
    m_input.device = m_device->currentIndex() + 1;
    m_input.index = *index;
    m_input.name = ToGbk(m_name->text());
    m_input.number = number;
    QDialog::accept();
}

}  // namespace msgdesk
