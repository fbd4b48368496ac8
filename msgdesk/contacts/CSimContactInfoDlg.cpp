// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CSimContactInfoDlg.h"

#include "contacts/CInfoDialogLayout.h"
#include "res/StringTable.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CSimContactInfoDlg::CSimContactInfoDlg(const SimPhoneEntry& e, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg204"));
    QString name = FromGbk(e.nameText());
    setWindowTitle(name + QString::fromUtf8(LoadStr(60054)));
    BuildInfoDialog(this,
                    {{"设备号:", QString::number(e.device), QStringLiteral("(Zunto设备号)")},
                     {"存放位置:", QString::number(e.index), QStringLiteral("(存放在SIM卡中位置)")},
                     {"联系人:", name, {}},
                     {"号码:", FromGbk(e.numberText()), {}}});
}

}  // namespace msgdesk
