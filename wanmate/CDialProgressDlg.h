// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <memory>

#include "DialProgress.h"

class QLabel;
class QPushButton;

namespace wanmate {

class WanmateCore;

// The progress dialog (145): picture, status line, one button. The attempt
// itself is DialProgress; this window shows it.
class CDialProgressDlg final : public QDialog, public DialProgressView {
    Q_OBJECT
public:
    CDialProgressDlg(WanmateCore& core, DialRequest request, QWidget* parent);
    ~CDialProgressDlg() override;

    // DialProgressView
    void setStatusText(const std::string& text) override;
    void setButtonText(const std::string& text) override;
    void disableButton() override;
    void hideWindow() override { hide(); }
    void endDialog(int result) override { done(result); }

    // Null when there was no dial-up service to dial with.
    DialProgress* progress() { return m_progress.get(); }

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void reject() override;

private:
    std::unique_ptr<CRasDialer> m_dialer;
    std::unique_ptr<DialProgress> m_progress;
    QLabel* m_status = nullptr;
    QPushButton* m_button = nullptr;
    bool m_started = false;
};

}  // namespace wanmate
