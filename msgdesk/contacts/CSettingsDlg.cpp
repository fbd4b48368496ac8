// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CSettingsDlg.h"

#include <QAbstractItemDelegate>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "contacts/PropertiesModel.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"

namespace msgdesk {

namespace {
QString u8(const char* s) {
    return QString::fromUtf8(s);
}
QString u8(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
QString shown(const PropertiesModel& m, int row) {
    const auto& r = m.rows()[static_cast<size_t>(row)];
    // Numbers are GBK; the placeholders are the program's own texts.
    return (r.initialising || r.unknown) ? u8(m.displayText(row))
                                         : u8(platform::codepage::gbkToUtf8(r.number));
}
}  // namespace

CSettingsDlg::CSettingsDlg(PropertiesModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowTitle(u8(LoadStr(60054)));
    setWindowIcon(QIcon(QStringLiteral(":/shell/app128.svg")));

    auto* options = new QGridLayout;
    auto addRow = [&](int row, const char* label, QWidget* control) {
        auto* l = new QLabel(u8(label));
        l->setBuddy(control);
        control->setAccessibleName(u8(label).remove(QChar(0xFF1A)).remove(QLatin1Char(':')));
        options->addWidget(l, row, 0);
        options->addWidget(control, row, 1);
    };
    m_keep = new QCheckBox(u8("是"));
    m_keep->setChecked(m_model.keepSimCopy);
    connect(m_keep, &QCheckBox::toggled, this, [this](bool on) { m_model.keepSimCopy = on; });
    addRow(0, "短信息接收时在SIM卡保存副本：", m_keep);
    m_resend = new QComboBox;
    for (int i = 1; i <= PropertiesModel::kResendEntries; ++i)
        m_resend->addItem(QString::number(i));
    m_resend->setCurrentIndex(m_model.resendPosition);
    connect(m_resend, &QComboBox::currentIndexChanged, this,
            [this](int p) { m_model.resendPosition = p; });
    addRow(1, "自动重发次数:", m_resend);
    m_sound = new QCheckBox(u8("禁止"));
    m_sound->setChecked(m_model.soundOff);
    connect(m_sound, &QCheckBox::toggled, this, [this](bool on) { m_model.soundOff = on; });
    addRow(2, "提示声音:", m_sound);
    options->setColumnStretch(2, 1);

    auto* group = new QGroupBox(u8("***设置短信中心***"));
    m_centres = new QTableWidget(0, 2);
    m_centres->setObjectName(QStringLiteral("centres"));
    m_centres->setAccessibleName(u8("设置短信中心"));
    m_centres->setHorizontalHeaderLabels({u8(LoadStr(60049)), u8(LoadStr(60050))});
    m_centres->verticalHeader()->hide();
    m_centres->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_centres->setSelectionMode(QAbstractItemView::SingleSelection);
    m_centres->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_centres->setMinimumHeight(140);
    m_centres->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_centres->viewport()->installEventFilter(this);
    connect(m_centres, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { beginEdit(row); });
    connect(m_centres->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
                endEdit(editor, hint == QAbstractItemDelegate::RevertModelCache);
            });
    auto* g = new QVBoxLayout(group);
    g->addWidget(m_centres);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(u8("确定(&O)"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(u8("取消(&C)"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    for (QPushButton* b : {ok, cancel}) b->setAccessibleName(b->text().remove(QLatin1Char('&')));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Below the settings of old: asking for delivery reports (a report may cost money).
    m_reports = new QCheckBox(u8("要求送达报告"));
    m_reports->setAccessibleName(m_reports->text());
    m_reports->setChecked(m_model.statusReports);
    connect(m_reports, &QCheckBox::toggled, this, [this](bool on) { m_model.statusReports = on; });

    auto* v = new QVBoxLayout(this);
    v->addLayout(options);
    v->addWidget(group, 1);
    v->addWidget(m_reports);
    v->addWidget(buttons);
    resize(380, 364);

    m_model.setChangedHandler([this] { showRows(); });
    showRows();
}

CSettingsDlg::~CSettingsDlg() {
    m_model.setChangedHandler({});
}

void CSettingsDlg::showRows() {
    const int n = static_cast<int>(m_model.rows().size());
    m_centres->setRowCount(n);
    for (int r = 0; r < n; ++r) {
        auto* number = new QTableWidgetItem(shown(m_model, r));
        number->setData(Qt::UserRole, r);  // the row's position
        if (m_model.rows()[static_cast<size_t>(r)].gone)
            number->setFlags(number->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsEnabled));
        m_centres->setItem(r, 0, number);
        auto* label = new QTableWidgetItem(u8(m_model.rows()[static_cast<size_t>(r)].label));
        label->setFlags(label->flags() & ~Qt::ItemIsEditable);
        m_centres->setItem(r, 1, label);
    }
    m_centres->setEnabled(m_model.listEnabled());
}

bool CSettingsDlg::eventFilter(QObject* watched, QEvent* e) {
    // The columns share the list's width: the number half + 16 pixels.
    if (watched == m_centres->viewport() && e->type() == QEvent::Resize) {
        const int half = m_centres->viewport()->width() / 2;
        m_centres->setColumnWidth(0, half + 16);
        m_centres->setColumnWidth(1, std::max(0, half - 16));
    }
    return QDialog::eventFilter(watched, e);
}

void CSettingsDlg::beginEdit(int row) {
    if (!m_model.beginEdit(row)) return;
    m_editRow = row;
    // The editor starts from the number, never from a placeholder such as "未知".
    QTableWidgetItem* item = m_centres->item(row, 0);
    item->setText(QString::fromStdString(platform::codepage::gbkToUtf8(m_model.editText(row))));
    m_centres->editItem(item);
}

void CSettingsDlg::endEdit(QWidget* editor, bool cancelled) {
    const int row = m_editRow;
    m_editRow = -1;
    if (row < 0) return;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (cancelled || !line) {
        m_model.endEdit(row, std::nullopt);
        showRows();
        return;
    }
    m_model.endEdit(row, platform::codepage::utf8ToGbk(line->text().toStdString()));
    showRows();
}

}  // namespace msgdesk
