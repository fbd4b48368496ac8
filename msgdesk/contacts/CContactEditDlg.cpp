// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CContactEditDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/CDialogIcons.h"
#include "widgets/CGbkLimitValidator.h"
#include "widgets/CGbkText.h"
#include "widgets/CPhoneEdit.h"

namespace msgdesk {

namespace {
struct FieldSpec {
    ContactField field;
    const char* label;
    int maxBytes;
    bool phone;
};
// In the dialog's order; the limits are what the user may type.
constexpr FieldSpec kFields[] = {
    {ContactField::Name, "联系人*:", 20, false},
    {ContactField::Mobile, "手机号码*:", 20, true},
    {ContactField::HomePhone, "家庭电话:", 20, true},
    {ContactField::OfficePhone, "办公电话:", 20, true},
    {ContactField::HomeAddress, "家庭住址:", 30, false},
    {ContactField::CompanyAddress, "公司地址:", 30, false},
    {ContactField::Email, "电子邮箱:", 20, false},
};
}  // namespace

CContactEditDlg::CContactEditDlg(const ContactBook& book, platform::MessageBoxPort& box,
                                 ContactEditMode mode, const ContactRecord& initial,
                                 QWidget* parent)
    : QDialog(parent), m_book(book), m_box(box), m_mode(mode), m_record(initial) {
    setObjectName(QStringLiteral("dlg181"));
    setWindowTitle(QStringLiteral("计算机内电话"));
    setWindowIcon(DialogIcon(131));
    auto* group = new QGroupBox(QStringLiteral("***输入联系人信息***"), this);
    auto* form = new QFormLayout(group);
    for (const FieldSpec& s : kFields) {
        QLineEdit* e = s.phone ? new CPhoneEdit(group) : new QLineEdit(group);
        if (s.phone)
            e->setMaxLength(s.maxBytes);  // dial characters are one byte each
        else
            e->setValidator(new CGbkLimitValidator(s.maxBytes, e));
        QString label = QString::fromUtf8(s.label);
        e->setAccessibleName(AccessibleText(label));
        e->setText(FromGbk(initial.field(s.field)));
        e->setMinimumWidth(220);
        form->addRow(label, e);
        m_edits[static_cast<std::size_t>(s.field)] = e;
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = MakeDialogButton(QStringLiteral("确定"), 153, this);
    QPushButton* cancel = MakeDialogButton(QStringLiteral("取消"), 150, this);
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(group);
    lay->addWidget(buttons);
    field(ContactField::Name)->setFocus();
}

void CContactEditDlg::accept() {
    ContactRecord entered = m_record;
    for (const FieldSpec& s : kFields) entered.setField(s.field, ToGbk(field(s.field)->text()));
    if (!AcceptContactRecord(entered, m_book, m_mode, m_box)) return;
    m_record = entered;
    QDialog::accept();
}

}  // namespace msgdesk
