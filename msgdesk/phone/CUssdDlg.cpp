// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CUssdDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "phone/UssdModel.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"

namespace msgdesk {

namespace {
QString u8(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
QString fromGbk(const std::string& s) {
    return u8(platform::codepage::gbkToUtf8(s));
}
std::string toGbk(const QString& s) {
    return platform::codepage::utf8ToGbk(s.toStdString());
}
}  // namespace

CUssdDlg::CUssdDlg(UssdModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setWindowTitle(QStringLiteral("业务查询"));
    setWindowIcon(QIcon(QStringLiteral(":/shell/app128.svg")));

    auto* grid = new QGridLayout;
    int row = 0;
    if (m_model.deviceCount() > 1) {
        m_device = new QComboBox;
        m_device->setAccessibleName(QStringLiteral("设备"));
        for (int d = 1; d <= m_model.deviceCount(); ++d)
            m_device->addItem(u8(FormatStr(60048, {d})));
        m_device->setCurrentIndex(m_model.device() - 1);
        connect(m_device, &QComboBox::currentIndexChanged, this, [this](int i) {
            m_model.setDevice(i + 1);
            refresh();
        });
        auto* l = new QLabel(QStringLiteral("设备:"));
        l->setBuddy(m_device);
        grid->addWidget(l, row, 0);
        grid->addWidget(m_device, row++, 1, 1, 2);
    }
    m_code = new QLineEdit(fromGbk(m_model.code));
    m_code->setAccessibleName(QStringLiteral("代码"));
    m_code->setPlaceholderText(QStringLiteral("*100#"));
    connect(m_code, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_model.code = toGbk(t);
        m_send->setEnabled(m_model.canSend());
    });
    auto* codeLabel = new QLabel(QStringLiteral("代码:"));
    codeLabel->setBuddy(m_code);
    m_send = new QPushButton(QStringLiteral("发送"));
    m_send->setAccessibleName(QStringLiteral("发送"));
    m_send->setDefault(true);
    connect(m_send, &QPushButton::clicked, this, [this] {
        m_model.send();
        refresh();
    });
    grid->addWidget(codeLabel, row, 0);
    grid->addWidget(m_code, row, 1);
    grid->addWidget(m_send, row++, 2);

    m_answer = new QPlainTextEdit;
    m_answer->setReadOnly(true);
    m_answer->setAccessibleName(QStringLiteral("回复"));
    m_answer->setMinimumHeight(110);
    auto* answerLabel = new QLabel(QStringLiteral("回复:"));
    answerLabel->setBuddy(m_answer);
    grid->addWidget(answerLabel, row, 0, Qt::AlignTop);
    grid->addWidget(m_answer, row++, 1, 1, 2);

    m_status = new QLabel;
    m_status->setWordWrap(true);
    m_status->setAccessibleName(QStringLiteral("状态"));
    m_end = new QPushButton(QStringLiteral("结束"));
    m_end->setAccessibleName(QStringLiteral("结束"));
    m_end->setAutoDefault(false);
    connect(m_end, &QPushButton::clicked, this, [this] { reject(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_end);

    auto* v = new QVBoxLayout(this);
    v->addLayout(grid);
    v->addLayout(bottom);
    resize(400, 260);

    m_model.setChangedHandler([this] { refresh(); });
    refresh();
}

CUssdDlg::~CUssdDlg() {
    m_model.setChangedHandler({});
}

void CUssdDlg::done(int r) {
    // 结束, Escape and the close button all end what the network keeps open.
    m_model.end();
    QDialog::done(r);
}

void CUssdDlg::refresh() {
    if (toGbk(m_code->text()) != m_model.code) m_code->setText(fromGbk(m_model.code));
    m_answer->setPlainText(fromGbk(m_model.answer()));
    m_status->setText(u8(m_model.status()));
    m_send->setEnabled(m_model.canSend());
    m_code->setEnabled(m_model.available() && m_model.deviceCount() > 0 && !m_model.busy());
    if (m_device) m_device->setEnabled(!m_model.busy());
    if (m_model.sessionOpen()) m_code->setFocus();
}

}  // namespace msgdesk
