// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "shell/FileDialogPort.h"

class QWidget;

namespace msgdesk {

// The file choosers as real windows over the main window.
class CFileDialogs final : public FileDialogPort {
public:
    explicit CFileDialogs(QWidget* parent) : m_parent(parent) {}
    std::string saveFileName(const std::string& title, const std::string& filter,
                             const std::string& suggestedName) override;
    std::string openFileName(const std::string& title, const std::string& filter) override;

private:
    QWidget* m_parent;
};

}  // namespace msgdesk
