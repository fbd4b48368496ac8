// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractButton>

namespace msgdesk {

// A button of the phone window drawn from one picture, lighter under the
// mouse and pressed in when down, with a tool tip. It never takes the
// keyboard focus: the window keeps it, so keys always reach the keypad.
class CPhoneButton final : public QAbstractButton {
    Q_OBJECT
public:
    CPhoneButton(int id, int pictureId, const QString& toolTip, const QString& accessibleName,
                 QWidget* parent);
    int controlId() const { return m_id; }
    QSize sizeHint() const override { return size(); }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int m_id;
    int m_picture;
    bool m_hover = false;
};

}  // namespace msgdesk
