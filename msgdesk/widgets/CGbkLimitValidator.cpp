// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CGbkLimitValidator.h"

#include "widgets/CGbkText.h"

namespace msgdesk {

CGbkLimitValidator::CGbkLimitValidator(int maxBytes, QObject* parent)
    : QValidator(parent), m_max(maxBytes) {}

QValidator::State CGbkLimitValidator::validate(QString& input, int&) const {
    std::string gbk = ToGbk(input);
    return static_cast<int>(gbk.size()) <= m_max ? Acceptable : Invalid;
}

}  // namespace msgdesk
