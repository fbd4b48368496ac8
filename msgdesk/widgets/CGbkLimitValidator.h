// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QValidator>

namespace msgdesk {

// Limits a line edit to what its record field holds: at most maxBytes
// bytes once the text is in GBK. A change that would go past the limit is
// refused whole (a typed character, a paste), as the field would otherwise
// be cut without the user seeing it.
class CGbkLimitValidator final : public QValidator {
    Q_OBJECT
public:
    CGbkLimitValidator(int maxBytes, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    int m_max;
};

}  // namespace msgdesk
