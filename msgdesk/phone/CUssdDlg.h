// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace msgdesk {

class UssdModel;

// The service query dialog "业务查询": the device (when several are
// attached), the code "代码", 发送, the network's answer "回复" (read-only),
// a status line and 结束. Shows the model; closing it ends the session.
class CUssdDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CUssdDlg(UssdModel& model, QWidget* parent = nullptr);
    ~CUssdDlg() override;

    QLineEdit* codeField() const { return m_code; }
    QPlainTextEdit* answerField() const { return m_answer; }
    QPushButton* sendButton() const { return m_send; }
    QLabel* statusLine() const { return m_status; }

protected:
    void done(int r) override;

private:
    void refresh();

    UssdModel& m_model;
    QComboBox* m_device = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_send = nullptr;
    QPlainTextEdit* m_answer = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_end = nullptr;
};

}  // namespace msgdesk
