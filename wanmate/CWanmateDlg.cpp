// SPDX-License-Identifier: GPL-3.0-or-later
#include "CWanmateDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "CIpAddressCtrl.h"
#include "platform/Codepage.h"
#include "platform/InstanceLock.h"
#include "res/Texts.h"

// Resources of a static library are registered by hand.
static void initWanmateResources() {
    Q_INIT_RESOURCE(wanmate);
}

namespace wanmate {

namespace {

QString fromGbk(const std::string& s) {
    return QString::fromStdString(platform::codepage::gbkToUtf8(s));
}
std::string toGbk(const QString& s) {
    return platform::codepage::utf8ToGbk(s.toStdString());
}
QString tr8(const char* s) {
    return QString::fromUtf8(s);
}

// Lets through no more than `limit` bytes of GBK, the unit the settings
// are stored and dialled in.
class GbkLimitValidator final : public QValidator {
public:
    GbkLimitValidator(size_t limit, QObject* parent) : QValidator(parent), m_limit(limit) {}
    State validate(QString& input, int&) const override {
        return toGbk(input).size() <= m_limit ? Acceptable : Invalid;
    }

private:
    size_t m_limit;
};

QLabel* label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(tr8(text), parent);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

CWanmateDlg::CWanmateDlg(WanmateServices services, QWidget* parent) : QDialog(parent) {
    build();
    m_core = std::make_unique<WanmateCore>(std::move(services), *this);
    m_core->setDialRequestHandler([this] { runDialRequest(); });
}

CWanmateDlg::~CWanmateDlg() = default;

void CWanmateDlg::build() {
    initWanmateResources();
    setObjectName("dlg102");
    setWindowTitle(tr8(text::kSettingsCaption));
    setAccessibleName(tr8(text::kSettingsCaption));

    auto* group = new QGroupBox(tr8(text::kServerGroup), this);
    group->setAccessibleName(tr8(text::kServerGroup));
    m_address = new CIpAddressCtrl(tr8(text::kDnsLabel), group);
    m_address->setObjectName("ctl1000");
    m_init = new QLineEdit(group);
    m_init->setObjectName("ctl1004");
    m_init->setAccessibleName(tr8(text::kInitLabel));
    m_init->setMaxLength(static_cast<int>(kInitLimit));
    m_init->setValidator(new GbkLimitValidator(kInitLimit, m_init));
    m_number = new QComboBox(group);
    m_number->setObjectName("ctl1015");
    m_number->setEditable(true);
    m_number->setInsertPolicy(QComboBox::NoInsert);
    m_number->setAccessibleName(tr8(text::kNumberLabel));
    m_number->lineEdit()->setAccessibleName(tr8(text::kNumberLabel));
    m_number->lineEdit()->setMaxLength(static_cast<int>(kNumberLimit));
    m_number->setValidator(new GbkLimitValidator(kNumberLimit, m_number));

    auto* grid = new QGridLayout(group);
    grid->addWidget(label(text::kDnsLabel, m_address, group), 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(label(text::kInitLabel, m_init, group), 1, 0);
    grid->addWidget(m_init, 1, 1);
    grid->addWidget(label(text::kNumberLabel, m_number, group), 2, 0);
    grid->addWidget(m_number, 2, 1);

    m_dialOnInsert = new QCheckBox(tr8(text::kDialOnInsert), this);
    m_dialOnInsert->setObjectName("ctl1002");
    m_dialOnInsert->setAccessibleName(tr8(text::kDialOnInsert));
    m_autorun = new QCheckBox(tr8(text::kAutorun), this);
    m_autorun->setObjectName("ctl1011");
    m_autorun->setAccessibleName(tr8(text::kAutorun));

    m_hide = new QPushButton(tr8(text::kHide), this);
    m_apply = new QPushButton(tr8(text::kApply), this);
    m_defaults = new QPushButton(tr8(text::kDefaults), this);
    for (auto* b : {m_hide, m_apply, m_defaults}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, [this] { m_core->settings().apply(); });
    connect(m_hide, &QPushButton::clicked, this, [this] { HideToTray(); });
    connect(m_defaults, &QPushButton::clicked, this,
            [this] { m_core->settings().RestoreDefaults(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(m_hide);
    buttons->addWidget(m_defaults);

    auto* left = new QVBoxLayout;
    left->addWidget(group);
    left->addWidget(m_dialOnInsert);
    left->addWidget(m_autorun);
    left->addStretch();
    left->addLayout(buttons);

    auto* picture = new QLabel(this);
    picture->setObjectName("bmp139");
    picture->setAccessibleName(tr8(text::kAppTitle));
    picture->setPixmap(QPixmap(":/wanmate/bmp139.svg"));
    picture->setAlignment(Qt::AlignCenter);

    m_noTrayNote = new QLabel(tr8(text::kNoTray), this);
    m_noTrayNote->setObjectName("noTrayNote");
    m_noTrayNote->setAccessibleName(m_noTrayNote->text());
    m_noTrayNote->setWordWrap(true);
    m_noTrayNote->setStyleSheet("color: #8a1c1c;");
    m_noTrayNote->hide();
    left->addWidget(m_noTrayNote);

    auto* root = new QHBoxLayout(this);
    root->addLayout(left, 1);
    root->addWidget(picture, 0);
    setWindowIcon(QIcon(":/wanmate/icon142.svg"));
    resize(480, 295);
}

uint32_t CWanmateDlg::address() const {
    return m_address->address();
}

void CWanmateDlg::setAddress(uint32_t packed) {
    m_address->setAddress(packed);
}

void CWanmateDlg::showFields(const SettingsFields& f) {
    m_init->setText(fromGbk(f.initCommand));
    m_init->setCursorPosition(0);
    m_number->setEditText(fromGbk(f.dialNumber));
    m_dialOnInsert->setChecked(f.dialOnInsert != 0);
    m_autorun->setChecked(f.startWithSystem != 0);
}

SettingsFields CWanmateDlg::readFields() const {
    SettingsFields f;
    f.initCommand = toGbk(m_init->text());
    f.dialNumber = toGbk(m_number->currentText());
    f.dialOnInsert = m_dialOnInsert->isChecked() ? 1 : 0;
    f.startWithSystem = m_autorun->isChecked() ? 1 : 0;
    return f;
}

void CWanmateDlg::setNumberList(const std::vector<std::string>& numbers) {
    QString current = m_number->currentText();
    m_number->clear();
    for (const auto& n : numbers) m_number->addItem(fromGbk(n));
    m_number->setEditText(current);
}

void CWanmateDlg::HideToTray() {
    if (m_trayStarted && !m_trayMode) {
        // No icon to come back from: keep the window reachable.
        showMinimized();
        return;
    }
    m_shown = false;
    hide();
    addTrayIcon();
}

void CWanmateDlg::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (m_trayStarted && !m_trayMode) {
        exitProgram();  // without a tray the window is the program
        return;
    }
    HideToTray();
}

}  // namespace wanmate
