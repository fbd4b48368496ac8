// SPDX-License-Identifier: GPL-3.0-or-later
#include "CDialProgressDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "WanmateCore.h"
#include "res/Texts.h"

namespace wanmate {

namespace {
const QColor kBackground(189, 215, 255);
}

CDialProgressDlg::CDialProgressDlg(WanmateCore& core, DialRequest request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("dlg145");
    setAccessibleName(QString::fromUtf8(text::kAppTitle));
    setWindowTitle(QString::fromUtf8(text::kAppTitle));

    auto* picture = new QLabel(this);
    picture->setObjectName("bmp147");
    picture->setAccessibleName(QString::fromUtf8(text::kAppTitle));
    picture->setPixmap(QPixmap(":/wanmate/bmp147.svg"));
    m_status = new QLabel(this);
    m_status->setObjectName("ctl1014");
    m_status->setMinimumWidth(230);
    m_status->setWordWrap(true);
    m_button = new QPushButton(QString::fromUtf8(text::kCancel), this);
    m_button->setObjectName("btn2");
    m_button->setAccessibleName(QString::fromUtf8(text::kCancel));
    connect(m_button, &QPushButton::clicked, this, [this] { reject(); });

    auto* row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(m_status, 1);
    auto* root = new QVBoxLayout(this);
    root->addLayout(row);
    root->addWidget(m_button, 0, Qt::AlignHCenter);

    m_dialer = core.makeDialer();
    if (!m_dialer) {
        // No dial-up service: no entry can be written, nothing dialled.
        setStatusText(text::kEntryFailed);
        setButtonText(text::kOk);
        if (request.onEvent) request.onEvent(DialEvent::Refused, text::kEntryFailed);
        return;
    }
    m_progress = std::make_unique<DialProgress>(core.loop(), *m_dialer, core.box(), *this, &core,
                                                std::move(request));
    setStatusText(text::kInitialising);
}

CDialProgressDlg::~CDialProgressDlg() = default;

void CDialProgressDlg::setStatusText(const std::string& t) {
    m_status->setText(QString::fromUtf8(t.c_str()));
    m_status->setAccessibleName(m_status->text());
}

void CDialProgressDlg::setButtonText(const std::string& t) {
    m_button->setText(QString::fromUtf8(t.c_str()));
    m_button->setAccessibleName(m_button->text());
}

void CDialProgressDlg::disableButton() {
    m_button->setEnabled(false);
}

void CDialProgressDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_started) return;
    m_started = true;
    if (m_progress) m_progress->start();
}

void CDialProgressDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
}

// The button and Esc; a disabled button also keeps Esc from cancelling.
void CDialProgressDlg::reject() {
    if (!m_button->isEnabled()) return;
    if (m_progress)
        m_progress->cancel();
    else
        QDialog::reject();
}

}  // namespace wanmate
