// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFont>
#include <QWidget>
#include <string>

#include "store/PreviewContent.h"

class QPlainTextEdit;

namespace msgdesk {

// The preview pane under the message list: a caption band with the number,
// and the message text in a read-only yellow edit (control 1003).
class CMsgPreview final : public QWidget {
    Q_OBJECT
public:
    explicit CMsgPreview(QWidget* parent = nullptr);

    // GBK texts; a null number shows as empty, a null body as the sample
    // sentence.
    void Show(const char* numberGbk, const char* bodyGbk);
    void Show(const std::string& numberGbk, const std::string& bodyGbk) {
        Show(numberGbk.c_str(), bodyGbk.c_str());
    }

    QString number() const;
    QString body() const;
    QPlainTextEdit* edit() const { return m_edit; }
    const QFont& captionFont() const { return m_captionFont; }
    const QFont& numberFont() const { return m_numberFont; }
    const QFont& bodyFont() const { return m_bodyFont; }

    static QColor background() { return QColor(255, 255, 225); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    PreviewContent m_content;
    QFont m_captionFont;
    QFont m_numberFont;
    QFont m_bodyFont;
    QPlainTextEdit* m_edit;
};

}  // namespace msgdesk
