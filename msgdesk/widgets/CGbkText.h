// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// The windows' one crossing between stored GBK texts and what Qt shows.
inline QString FromGbk(std::string_view gbk) {
    return QString::fromStdString(platform::codepage::gbkToUtf8(gbk));
}
inline std::string ToGbk(const QString& text) {
    return platform::codepage::utf8ToGbk(text.toUtf8().toStdString());
}

}  // namespace msgdesk
