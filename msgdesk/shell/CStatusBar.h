// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <array>

namespace msgdesk {

// The five-pane status bar with the three controls laid over its panes:
// the icon in 50014, the SIM-full bitmap in 50012, the signal bar in the
// right-most 82 pixels of 50011. Panes are re-laid out on every resize.
class CStatusBar final : public QStatusBar {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);

    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;
    void setProgress(int position);
    int progress() const { return m_progress->value(); }
    void setIcon(int iconId);
    int iconId() const { return m_iconId; }
    void setSimFullVisible(bool visible);
    bool simFullVisible() const { return !m_simFull->isHidden(); }
    // The pane (50010..50014) whose rectangle holds p, or 0.
    int paneAt(const QPoint& p) const;
    QRect paneRect(int pane) const;

signals:
    void paneDoubleClicked(const QPoint& p);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void relayout();
    std::array<QLabel*, 5> m_panes{};
    std::array<QRect, 5> m_rects{};
    QLabel* m_icon;
    QLabel* m_simFull;
    QProgressBar* m_progress;
    int m_iconId = 140;
};

}  // namespace msgdesk
