// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QLabel>
#include <QPoint>
#include <array>
#include <functional>
#include <map>

#include "phone/CPhoneField.h"
#include "phone/PhoneDialogCore.h"

class QProgressBar;

namespace msgdesk {

class CPhoneButton;

// The phone window (dialog 219): a handset drawn from its skin, always on
// top, moved by dragging anywhere on it. It shows the phone dialog's core
// and turns buttons and keys into core calls; the core may go away before
// the window (at exit), so it is reached through a getter.
class CPhoneDlg final : public QDialog {
    Q_OBJECT
public:
    using CoreGetter = std::function<PhoneDialogCore*()>;
    explicit CPhoneDlg(CoreGetter core, QWidget* parent = nullptr);

    // Redraws what the core changed.
    void refresh(PhoneDialogCore::Field f);
    void refreshAll();
    // The phonebook picker; without one the phonebook button is disabled.
    void setPicker(PhoneDialogCore::Picker p);
    // Shows, raises and repaints the window (phone command, incoming call).
    void showAndRaise();

    CPhoneButton* button(int id) const;
    QLabel* cell(int id) const;  // 1113 (rightmost) .. 1127
    QLabel* statusField() const { return m_status; }
    QLabel* deviceField() const { return m_device; }
    QLabel* clockField() const { return m_clock; }
    // The dialled number (or the duration) as one text for screen readers.
    QWidget* numberField() const { return m_number; }
    QLabel* ringPicture() const { return m_ring; }
    QProgressBar* volumeBar() const { return m_volume; }
    int ringPictureId() const { return m_ringId; }
    int cellPictureId(int id) const;

signals:
    // A new status word was announced to screen readers (an accessible
    // value-change event of the status field).
    void statusAnnounced(const QString& status);

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    CPhoneButton* addButton(int id, int picture, unsigned tip, const QString& name, QRect at);
    void onButton(int id);
    void hideWindow();
    void drawCells();

    CoreGetter m_core;
    std::map<int, CPhoneButton*> m_buttons;
    std::array<QLabel*, PhoneDialogCore::kCells> m_cells{};  // left (1127) to right (1113)
    std::array<int, PhoneDialogCore::kCells> m_cellIds{};
    CPhoneField* m_status = nullptr;
    CPhoneField* m_device = nullptr;
    CPhoneField* m_clock = nullptr;
    CPhoneField* m_number = nullptr;
    QLabel* m_ring = nullptr;
    QProgressBar* m_volume = nullptr;
    int m_ringId = 700;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

}  // namespace msgdesk
