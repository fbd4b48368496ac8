// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CStatusBar.h"

#include <QIcon>
#include <QMouseEvent>

#include "device/WindowMessages.h"

namespace msgdesk {

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    setMinimumHeight(24);
    // A compact font, so "Zunto[n]信号" fits beside the signal bar.
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    for (size_t i = 0; i < m_panes.size(); ++i) {
        auto* l = new QLabel(QStringLiteral(" "), this);
        l->setObjectName(QStringLiteral("pane%1").arg(PANE_MAILBOX + static_cast<int>(i)));
        // 50010 and 50014 have no border; the others are sunken like panes.
        if (i != 0 && i != 4) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setContentsMargins(3, 0, 3, 0);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_panes[i] = l;
    }
    // 72 pixels are left of the signal bar: its text runs a size smaller.
    QFont small = font();
    small.setPixelSize(10);
    m_panes[1]->setFont(small);
    m_panes[1]->setContentsMargins(1, 0, 0, 0);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("sendIcon"));
    m_icon->setAlignment(Qt::AlignCenter);
    m_simFull = new QLabel(this);
    m_simFull->setObjectName(QStringLiteral("simFull"));
    m_simFull->setPixmap(QIcon(QStringLiteral(":/shell/sim199.svg")).pixmap(16, 16));
    m_simFull->hide();
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("signalBar"));
    m_progress->setRange(0, 32);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    for (QWidget* w : {static_cast<QWidget*>(m_icon), static_cast<QWidget*>(m_simFull),
                       static_cast<QWidget*>(m_progress)})
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    setIcon(140);
}

void CStatusBar::setPaneText(int pane, const QString& text) {
    int i = pane - PANE_MAILBOX;
    if (i < 0 || i > 4) return;
    m_panes[static_cast<size_t>(i)]->setText(text);
}

QString CStatusBar::paneText(int pane) const {
    int i = pane - PANE_MAILBOX;
    return (i < 0 || i > 4) ? QString() : m_panes[static_cast<size_t>(i)]->text();
}

void CStatusBar::setProgress(int position) {
    m_progress->setValue(position);
}

void CStatusBar::setIcon(int iconId) {
    m_iconId = iconId;
    m_icon->setPixmap(QIcon(QStringLiteral(":/shell/send%1.svg").arg(iconId)).pixmap(18, 18));
}

void CStatusBar::setSimFullVisible(bool visible) {
    m_simFull->setVisible(visible);
}

QRect CStatusBar::paneRect(int pane) const {
    int i = pane - PANE_MAILBOX;
    return (i < 0 || i > 4) ? QRect() : m_rects[static_cast<size_t>(i)];
}

int CStatusBar::paneAt(const QPoint& p) const {
    for (size_t i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].contains(p)) return PANE_MAILBOX + static_cast<int>(i);
    return 0;
}

void CStatusBar::relayout() {
    const int w = width(), h = height();
    const int fifth = w / 5;
    int widths[5] = {fifth, 154, fifth, 0, 64};
    widths[3] = std::max(0, w - widths[0] - widths[1] - widths[2] - widths[4]);
    int x = 0;
    for (size_t i = 0; i < 5; ++i) {
        int pw = std::min(widths[i], std::max(0, w - x));
        m_rects[i] = QRect(x, 1, pw, h - 2);
        m_panes[i]->setGeometry(m_rects[i]);
        x += pw;
    }
    const QRect sig = m_rects[1];
    m_progress->setGeometry(sig.right() - 82 + 1, sig.top() + 3, std::min(82, sig.width()),
                            sig.height() - 6);
    const QRect cap = m_rects[2];
    m_simFull->setGeometry(cap.right() - 20, cap.top() + (cap.height() - 16) / 2, 16, 16);
    const QRect ic = m_rects[4];
    // With no room for the icon pane the icon is parked just past the edge.
    if (ic.width() <= 0)
        m_icon->setGeometry(w + 1, 0, 20, h);
    else
        m_icon->setGeometry(ic);
}

void CStatusBar::resizeEvent(QResizeEvent* e) {
    QStatusBar::resizeEvent(e);
    relayout();
}

void CStatusBar::mouseDoubleClickEvent(QMouseEvent* e) {
    // Only the left button opens what the pane offers.
    if (e->button() == Qt::LeftButton) emit paneDoubleClicked(e->position().toPoint());
    QStatusBar::mouseDoubleClickEvent(e);
}

}  // namespace msgdesk
