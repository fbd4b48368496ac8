// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPlainTextEdit>
#include <string>
#include <utility>

namespace msgdesk {

// The message field: a plain text edit whose contents are limited in what
// they cost as a message (see ComposeText.h). A typed character that would pass the
// limit is refused whole; a paste or an input method's text is cut at a
// character boundary. A longer text set by the program (a forwarded
// message) is kept whole; it only cannot grow.
class CComposeTextEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CComposeTextEdit(int limitBytes, QWidget* parent = nullptr);

    std::string gbkText() const;
    int byteCount() const;
    int limit() const { return m_limit; }

signals:
    void byteCountChanged(int bytes);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Cost and stored bytes the field keeps when its selection is replaced.
    std::pair<std::size_t, std::size_t> kept() const;
    // The part of text (UTF-16) the field takes now.
    QString fitted(const QString& text, bool typed) const;

    int m_limit;
};

}  // namespace msgdesk
