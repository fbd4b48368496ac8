// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CMsgPreview.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPlainTextEdit>
#include <algorithm>

#include "platform/Codepage.h"
#include "widgets/CGbkText.h"

namespace msgdesk {
namespace {

// A font whose cell (ascent + descent) is height pixels, like a LOGFONT of
// that height.
QFont withCellHeight(QFont f, int height, QFont::Weight weight) {
    f.setWeight(weight);
    int px = height;
    for (; px > 4; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).height() <= height) break;
    }
    return f;
}

}  // namespace

CMsgPreview::CMsgPreview(QWidget* parent) : QWidget(parent), m_edit(new QPlainTextEdit(this)) {
    const QFont base = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    m_captionFont = base;
    m_captionFont.setWeight(QFont::Bold);
    m_numberFont = withCellHeight(base, 16, QFont::Normal);
    m_bodyFont = withCellHeight(base, 30, QFont::Normal);

    m_edit->setObjectName(QStringLiteral("1003"));
    m_edit->setReadOnly(true);
    // Selectable by mouse only: no caret ever shows, also with the focus.
    m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_edit->setFocusPolicy(Qt::TabFocus);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, background());
    m_edit->setPalette(pal);
    m_edit->setFont(m_bodyFont);
    m_edit->setPlainText(body());
}

QString CMsgPreview::number() const {
    return FromGbk(m_content.number());
}
QString CMsgPreview::body() const {
    return FromGbk(m_content.body());
}

void CMsgPreview::Show(const char* numberGbk, const char* bodyGbk) {
    m_content.Show(numberGbk, bodyGbk);
    m_edit->setPlainText(body());
    update();
}

void CMsgPreview::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // Ends at the pane's bottom edge, so the last lines of a long text stay visible.
    m_edit->setGeometry(16, 46, width() - 16, std::max(0, height() - 46));
}

void CMsgPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background());
    // The caption band: button face with a raised edge.
    const QRect band(0, 0, width(), 30);
    p.fillRect(band, palette().button());
    p.setPen(palette().light().color());
    p.drawLine(band.topLeft(), band.topRight());
    p.drawLine(band.topLeft(), band.bottomLeft());
    p.setPen(palette().dark().color());
    p.drawLine(band.bottomLeft(), band.bottomRight());
    p.drawLine(band.topRight(), band.bottomRight());

    p.setPen(palette().buttonText().color());
    p.setFont(m_captionFont);
    p.drawText(QPoint(20, 4 + QFontMetrics(m_captionFont).ascent()),
               QString::fromUtf8(PreviewContent::caption()));
    p.setFont(m_numberFont);
    p.drawText(QPoint(PreviewContent::numberX(), 6 + QFontMetrics(m_numberFont).ascent()),
               number());
}

}  // namespace msgdesk
