// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CContactInfoDlg.h"

#include "contacts/CInfoDialogLayout.h"
#include "res/StringTable.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CContactInfoDlg::CContactInfoDlg(const ContactRecord& r, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg203"));
    auto text = [&](ContactField f) { return FromGbk(r.field(f)); };
    setWindowTitle(text(ContactField::Name) + QString::fromUtf8(LoadStr(60054)));
    BuildInfoDialog(this, {{"联系人:", text(ContactField::Name), {}},
                           {"号码:", text(ContactField::Mobile), {}},
                           {"家庭电话:", text(ContactField::HomePhone), {}},
                           {"办公电话:", text(ContactField::OfficePhone), {}},
                           {"家庭地址:", text(ContactField::HomeAddress), {}},
                           {"办公地址:", text(ContactField::CompanyAddress), {}},
                           {"电子邮箱:", text(ContactField::Email), {}}});
}

}  // namespace msgdesk
