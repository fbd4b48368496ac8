// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFrame>
#include <QLineEdit>
#include <array>
#include <cstdint>

namespace wanmate {

// An IPv4 address control: four fields of 0-255. A dot, or a digit typed
// into a full field, moves on to the next field; Backspace or Left at the
// start of a field goes back, Right at its end goes on. A field left empty
// counts as 0.
class CIpAddressCtrl final : public QFrame {
    Q_OBJECT
public:
    explicit CIpAddressCtrl(const QString& accessibleName, QWidget* parent = nullptr);

    // First field in the most significant byte.
    uint32_t address() const;
    void setAddress(uint32_t packed);
    QLineEdit* field(int i) const { return m_fields[static_cast<size_t>(i)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clampField(int i);
    void focusField(int i, bool selectAll);

    std::array<QLineEdit*, 4> m_fields{};
};

}  // namespace wanmate
