// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

#include "platform/MessageBox.h"

namespace platform {

// Shows message boxes as real Qt dialogs, parented to the given window.
class QtMessageBox final : public MessageBoxPort {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    int show(const MessageBoxRequest& r) override;

private:
    QWidget* m_parent;
};

}  // namespace platform
