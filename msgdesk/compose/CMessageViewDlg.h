// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "store/MessageRecord.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace msgdesk {

// The message view (template 183, "短信"): one message read-only, with
// reply (the default button), forward and cancel. exec() returns 1027
// (reply), 1025 (forward) or 2 (cancel, also Escape).
class CMessageViewDlg final : public QDialog {
    Q_OBJECT
public:
    // wholeGbk, when given, is shown instead of the record's 160-byte Text.
    explicit CMessageViewDlg(const MessageRecord& rec, QWidget* parent = nullptr,
                             const std::string& wholeGbk = {});

    QPlainTextEdit* textField() const { return m_text; }
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QPlainTextEdit* m_text = nullptr;
};

}  // namespace msgdesk
