// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CMsgdeskView.h"

#include <QLabel>
#include <QPainter>
#include <QStyleOption>

#include "res/StringTable.h"

namespace msgdesk {

CCaptionBar::CCaptionBar(QWidget* parent)
    : QWidget(parent), m_icon(QStringLiteral(":/shell/ico136.svg")) {
    setObjectName(QStringLiteral("Box"));
    setFixedHeight(31);
    m_phone = new QToolButton(this);
    m_phone->setObjectName(QStringLiteral("phoneButton"));
    m_phone->setFixedSize(32, 27);
    m_phone->setAutoRaise(true);
    m_phone->setIcon(QIcon(QStringLiteral(":/shell/ring600.svg")));
    m_phone->setIconSize(QSize(22, 22));
    m_phone->setToolTip(QString::fromUtf8(LoadStr(60063)));
}

void CCaptionBar::setCaption(const QString& text, const QIcon& icon) {
    m_text = text;
    if (!icon.isNull()) m_icon = icon;
    update();
}

void CCaptionBar::resizeEvent(QResizeEvent*) {
    m_phone->move(width() / 2 - 32, 4);
}

void CCaptionBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, height() - 1, width(), height() - 1);
    m_icon.paint(&p, QRect(6, 4, 22, 22));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(20);
    f.setWeight(QFont::Bold);
    p.setFont(f);
    p.setPen(pal.color(QPalette::WindowText));
    p.drawText(QRect(34, 0, width() / 2 - 70, height()), Qt::AlignVCenter | Qt::AlignLeft, m_text);
}

CMsgdeskView::CMsgdeskView(QWidget* parent) : QWidget(parent) {
    m_caption = new CCaptionBar(this);
    m_main = new QSplitter(Qt::Horizontal, this);
    m_left = new QSplitter(Qt::Vertical);
    m_right = new QSplitter(Qt::Vertical);
    m_left->addWidget(placeholder(QStringLiteral("tree")));
    m_left->addWidget(placeholder(QStringLiteral("contacts")));
    m_right->addWidget(placeholder(QStringLiteral("list")));
    m_right->addWidget(placeholder(QStringLiteral("preview")));
    m_main->addWidget(m_left);
    m_main->addWidget(m_right);
    m_left->setMinimumWidth(55);
    m_main->setStretchFactor(1, 1);
    m_main->setSizes({175, 800});
    m_left->setSizes({200, 400});
    m_right->setSizes({300, 300});
    connect(m_caption->phoneButton(), &QToolButton::clicked, this, &CMsgdeskView::phoneRequested);
}

QWidget* CMsgdeskView::placeholder(const QString& name) {
    auto* w = new QLabel;
    w->setObjectName(QStringLiteral("placeholder-") + name);
    w->setAutoFillBackground(true);
    return w;
}

void CMsgdeskView::replace(QSplitter* s, int index, QWidget* w) {
    if (!w) return;
    QList<int> sizes = s->sizes();
    QWidget* old = s->widget(index);
    s->replaceWidget(index, w);
    if (old) old->deleteLater();
    s->setSizes(sizes);
}

void CMsgdeskView::setPanes(QWidget* tree, QWidget* contacts, QWidget* list, QWidget* preview) {
    replace(m_left, 0, tree);
    replace(m_left, 1, contacts);
    replace(m_right, 0, list);
    replace(m_right, 1, preview);
}

void CMsgdeskView::showRingImage(int image) {
    m_ringImage = image;
    m_caption->phoneButton()->setIcon(QIcon(QStringLiteral(":/shell/ring%1.svg").arg(image)));
}

void CMsgdeskView::toggleLeftPane() {
    m_left->setVisible(!m_left->isVisible());
}

void CMsgdeskView::resizeEvent(QResizeEvent*) {
    m_caption->setGeometry(0, 0, width(), 31);
    m_main->setGeometry(0, 30, width(), std::max(0, height() - 30));
}

}  // namespace msgdesk
