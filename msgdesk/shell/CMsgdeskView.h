// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QSplitter>
#include <QToolButton>
#include <QWidget>

namespace msgdesk {

// The caption bar across the top of the main view: the current mailbox's
// icon and name, and the phone button left of centre.
class CCaptionBar final : public QWidget {
    Q_OBJECT
public:
    explicit CCaptionBar(QWidget* parent = nullptr);
    void setCaption(const QString& text, const QIcon& icon);
    QString caption() const { return m_text; }
    QToolButton* phoneButton() const { return m_phone; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QString m_text;
    QIcon m_icon;
    QToolButton* m_phone;
};

// The main view: caption bar, then the mailbox tree over the contact pane on
// the left and the message list over the preview on the right.
class CMsgdeskView final : public QWidget {
    Q_OBJECT
public:
    explicit CMsgdeskView(QWidget* parent = nullptr);

    // Puts the real panes in place of the placeholders (null keeps one).
    void setPanes(QWidget* tree, QWidget* contacts, QWidget* list, QWidget* preview);
    CCaptionBar* captionBar() const { return m_caption; }
    // Shows ringing picture 600..604 on the phone button.
    void showRingImage(int image);
    int ringImage() const { return m_ringImage; }
    QSplitter* leftSplitter() const { return m_left; }
    QSplitter* rightSplitter() const { return m_right; }
    QSplitter* mainSplitter() const { return m_main; }
    // Hides or pins the left pane (the tree's pin button).
    void toggleLeftPane();

signals:
    void phoneRequested();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    static QWidget* placeholder(const QString& name);
    void replace(QSplitter* s, int index, QWidget* w);
    CCaptionBar* m_caption;
    QSplitter* m_main;
    QSplitter* m_left;
    QSplitter* m_right;
    int m_ringImage = 600;
};

}  // namespace msgdesk
