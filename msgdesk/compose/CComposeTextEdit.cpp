// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CComposeTextEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include "compose/ComposeText.h"
#include "platform/Codepage.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

namespace {}  // namespace

CComposeTextEdit::CComposeTextEdit(int limitBytes, QWidget* parent)
    : QPlainTextEdit(parent), m_limit(limitBytes) {
    connect(this, &QPlainTextEdit::textChanged, this,
            [this] { emit byteCountChanged(byteCount()); });
}

std::string CComposeTextEdit::gbkText() const {
    return ToGbk(toPlainText());
}

int CComposeTextEdit::byteCount() const {
    return static_cast<int>(platform::codepage::messageCost(gbkText()));
}

std::pair<std::size_t, std::size_t> CComposeTextEdit::kept() const {
    const std::string all = gbkText();
    // The selection's text with paragraph separators as the plain text has them.
    QString sel = textCursor().selectedText();
    sel.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const std::string selected = ToGbk(sel);
    auto less = [](std::size_t a, std::size_t b) { return a > b ? a - b : 0; };
    return {less(platform::codepage::messageCost(all), platform::codepage::messageCost(selected)),
            less(all.size(), selected.size())};
}

QString CComposeTextEdit::fitted(const QString& text, bool typed) const {
    const std::string gbk = ToGbk(text);
    const auto [cost, bytes] = kept();
    const std::size_t n =
        AcceptedInsertLength(cost, gbk, typed, static_cast<std::size_t>(m_limit), bytes);
    if (n == gbk.size()) return text;
    return FromGbk(gbk.substr(0, n));
}

void CComposeTextEdit::keyPressEvent(QKeyEvent* e) {
    QString typed;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        typed = QStringLiteral("\n");
    else if (!e->text().isEmpty() && e->text().at(0).unicode() >= 0x20 &&
             !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        typed = e->text();
    if (!typed.isEmpty() && fitted(typed, true).isEmpty()) {
        // Refused whole: never part of a character.
        QApplication::beep();
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void CComposeTextEdit::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (!commit.isEmpty()) {
        const QString part = fitted(commit, false);
        if (part != commit) {
            QInputMethodEvent cut(e->preeditString(), e->attributes());
            cut.setCommitString(part, e->replacementStart(), e->replacementLength());
            QPlainTextEdit::inputMethodEvent(&cut);
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(e);
}

void CComposeTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString part = fitted(text, false);
    if (!part.isEmpty()) insertPlainText(part);
}

}  // namespace msgdesk
