// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "device/SimCodePrompt.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace msgdesk {

// "输入PIN码": asks for a locked SIM's PIN (password field "PIN码"), or for
// the PUK and a new PIN ("PUK码", "新PIN码"), naming the device and the
// tries left. OK only while the codes have the SIM's form.
class CSimPinDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSimPinDlg(const SimCodePrompt& prompt, QWidget* parent = nullptr);
    ~CSimPinDlg() override;

    // The code typed (the PUK when one was asked for) and the new PIN.
    SimCode code() const;
    // Empties the fields, so the codes do not outlive the dialog's use.
    void wipe();

private:
    void updateOk();

    bool m_puk;
    QLabel* m_message = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_newPin = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace msgdesk
