// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CPhoneDlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QWindow>

#include "phone/CPhoneButton.h"
#include "phone/CPhoneField.h"
#include "phone/CPhonePictures.h"
#include "phone/PhoneIds.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"

namespace msgdesk {

using namespace phone;
using Field = PhoneDialogCore::Field;

namespace {

constexpr QSize kWindowSize(260, 400);
constexpr QSize kCellSize(14, 24);
constexpr int kCellsLeft = 25;
constexpr int kCellsTop = 94;

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

struct Key {
    int id, picture;
    const char* text;
};
// The pad, row by row: 1 2 3 *, 4 5 6 0, 7 8 9 #.
constexpr Key kPad[3][4] = {
    {{1044, 228, "1"}, {1090, 227, "2"}, {1091, 226, "3"}, {1098, 234, "*"}},
    {{1092, 225, "4"}, {1093, 224, "5"}, {1094, 223, "6"}, {1099, 229, "0"}},
    {{1095, 222, "7"}, {1096, 232, "8"}, {1097, 231, "9"}, {1100, 235, "#"}}};

}  // namespace

CPhoneDlg::CPhoneDlg(CoreGetter core, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_core(std::move(core)) {
    CPhoneField::installAccessibility();
    setObjectName(QStringLiteral("dlg219"));
    setWindowTitle(u8(LoadStr(IDR_MAINFRAME)));
    setAccessibleName(windowTitle());
    setWindowIcon(QIcon(PhonePicture(IDI_PHONE, QSize(32, 32))));
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kWindowSize);
    setFocusPolicy(Qt::StrongFocus);
    build();
    refreshAll();
}

CPhoneButton* CPhoneDlg::addButton(int id, int picture, unsigned tip, const QString& name,
                                   QRect at) {
    auto* b = new CPhoneButton(id, picture, tip ? u8(LoadStr(tip)) : QString(), name, this);
    b->setGeometry(at);
    connect(b, &QAbstractButton::clicked, this, [this, id] { onButton(id); });
    m_buttons[id] = b;
    return b;
}

void CPhoneDlg::build() {
    addButton(IDC_HIDE, 267, 1106, u8(LoadStr(1106)), {206, 8, 22, 18});
    addButton(IDC_MINIMISE, 272, 1107, u8(LoadStr(1107)), {230, 8, 22, 18});

    m_ring = new QLabel(this);
    m_ring->setObjectName(QStringLiteral("ctl1132"));
    m_ring->setAccessibleName(u8("来电指示"));
    m_ring->setGeometry(22, 42, 28, 28);
    QFont small = font();
    small.setPixelSize(13);
    m_status = CPhoneField::make(this, "ctl1134", u8("状态"), {54, 42, 104, 20},
                                 QColor(51, 204, 255), Qt::AlignLeft);
    m_status->setFont(small);
    m_device = CPhoneField::make(this, "ctl1130", u8("当前设备"), {160, 42, 22, 20},
                                 QColor(154, 154, 154), Qt::AlignCenter);
    m_clock = CPhoneField::make(this, "ctl1128", u8("时间"), {184, 42, 56, 20},
                                QColor(51, 204, 255), Qt::AlignRight);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(12);
    mono.setBold(true);
    m_device->setFont(mono);
    m_clock->setFont(mono);
    for (int i = 0; i < PhoneDialogCore::kCells; ++i) {
        auto* c = new QLabel(this);
        const int id = IDC_CELL_LEFT - i;
        c->setObjectName(QStringLiteral("ctl%1").arg(id));
        c->setAccessibleName(u8("号码第%1位").arg(i + 1));
        c->setGeometry(QRect(QPoint(kCellsLeft + i * kCellSize.width(), kCellsTop), kCellSize));
        m_cells[static_cast<size_t>(i)] = c;
    }
    // The cells as one text for screen readers, over them and letting the
    // mouse through to the window.
    m_number = new CPhoneField(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setAccessibleName(u8("号码"));
    m_number->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_number->setGeometry(
        QRect(QPoint(kCellsLeft, kCellsTop),
              QSize(kCellSize.width() * PhoneDialogCore::kCells, kCellSize.height())));

    addButton(IDC_DIAL, 230, 60063, u8(LoadStr(60063)), {20, 144, 64, 36});
    addButton(IDC_REDIAL, 239, 60066, u8(LoadStr(60066)), {98, 144, 64, 36});
    addButton(IDC_HANGUP, 240, 60064, u8(LoadStr(60064)), {176, 144, 64, 36});
    addButton(IDC_BACKSPACE, 221, 60065, u8(LoadStr(60065)), {20, 188, 60, 28});
    addButton(IDC_PHONEBOOK, 214, 60067, u8(LoadStr(60067)), {88, 188, 60, 28});
    addButton(IDC_DEVICE, 268, 60068, u8(LoadStr(60068)), {156, 188, 60, 28});
    addButton(IDC_VOLUME_UP, 236, 60070, u8(LoadStr(60070)), {219, 228, 24, 22});
    addButton(IDC_VOLUME_DOWN, 237, 60071, u8(LoadStr(60071)), {219, 356, 24, 22});
    connect(m_buttons[IDC_BACKSPACE], &CPhoneButton::doubleClicked, this, [this] {
        if (auto* c = m_core()) c->clearDigits();
    });
    m_volume = new QProgressBar(this);
    m_volume->setObjectName(QStringLiteral("ctl1112"));
    m_volume->setAccessibleName(u8("音量"));
    m_volume->setOrientation(Qt::Vertical);
    m_volume->setRange(1, 100);
    m_volume->setTextVisible(false);
    m_volume->setGeometry(225, 254, 12, 98);
    m_volume->setStyleSheet(QStringLiteral(
        "QProgressBar{border:1px solid #4a5560;border-radius:4px;background:#0b1016;}"
        "QProgressBar::chunk{border-radius:3px;background:qlineargradient(x1:0,y1:1,x2:0,y2:0,"
        "stop:0 #1d7d33,stop:1 #33ccff);}"));

    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const Key& k = kPad[r][c];
            addButton(k.id, k.picture, 0, u8(k.text), {20 + c * 48, 230 + r * 46, 44, 34});
        }
    // The handset's two query buttons exist but stay hidden; they do nothing.
    addButton(IDC_QUERY_IN, 269, 60072, u8(LoadStr(60072)), {20, 372, 22, 18})->hide();
    addButton(IDC_QUERY_OUT, 270, 60073, u8(LoadStr(60073)), {46, 372, 22, 18})->hide();
    m_buttons[IDC_PHONEBOOK]->setEnabled(false);
}

CPhoneButton* CPhoneDlg::button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QLabel* CPhoneDlg::cell(int id) const {
    if (id < IDC_CELL_RIGHT || id > IDC_CELL_LEFT) return nullptr;
    return m_cells[static_cast<size_t>(IDC_CELL_LEFT - id)];
}

int CPhoneDlg::cellPictureId(int id) const {
    if (id < IDC_CELL_RIGHT || id > IDC_CELL_LEFT) return 0;
    return m_cellIds[static_cast<size_t>(IDC_CELL_LEFT - id)];
}

void CPhoneDlg::setPicker(PhoneDialogCore::Picker p) {
    PhoneDialogCore* c = m_core();
    if (c) c->setPicker(std::move(p));
    m_buttons[IDC_PHONEBOOK]->setEnabled(c && c->hasPicker());
}

void CPhoneDlg::showAndRaise() {
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    update();
}

void CPhoneDlg::drawCells() {
    PhoneDialogCore* c = m_core();
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const int pic = PhoneDialogCore::cellPicture(c ? c->cells()[i] : ' ');
        if (pic == m_cellIds[i]) continue;
        m_cellIds[i] = pic;
        m_cells[i]->setPixmap(PhonePicture(pic, kCellSize, devicePixelRatioF()));
        // Screen readers hear the character, not the picture.
        m_cells[i]->setAccessibleDescription(c ? QString(QChar(c->cells()[i])).trimmed()
                                               : QString());
    }
    QString shown;
    if (c)
        for (char ch : c->cells()) shown += QLatin1Char(ch);
    m_number->setShown(shown, false);
}

void CPhoneDlg::refresh(Field f) {
    PhoneDialogCore* c = m_core();
    if (!c) return;
    switch (f) {
        case Field::Status:
            m_status->setText(u8(c->status().c_str()));
            m_status->repaint();
            // The blanks written between two words are not a status to tell.
            if ((!m_status->text().trimmed().isEmpty() || c->status() != kStatusClear) &&
                m_status->setShown(m_status->text(), true))
                emit statusAnnounced(m_status->shown());
            break;
        case Field::Cells:
            drawCells();
            break;
        case Field::Device:
            m_device->setText(QString::fromStdString(c->deviceText()));
            m_device->setShown(m_device->text(), true);
            break;
        case Field::Clock:
            m_clock->setText(QString::fromStdString(c->clockText()));
            m_clock->setShown(m_clock->text(), false);
            break;
        case Field::Volume:
            m_volume->setValue(c->volume());
            break;
        case Field::Ring:
            m_ringId = c->ringFrame();
            m_ring->setPixmap(PhonePicture(m_ringId, m_ring->size(), devicePixelRatioF()));
            break;
        case Field::Focus:
            setFocus();
            break;
    }
}

void CPhoneDlg::refreshAll() {
    for (Field f :
         {Field::Status, Field::Cells, Field::Device, Field::Clock, Field::Volume, Field::Ring})
        refresh(f);
    PhoneDialogCore* c = m_core();
    m_buttons[IDC_PHONEBOOK]->setEnabled(c && c->hasPicker());
}

void CPhoneDlg::onButton(int id) {
    PhoneDialogCore* c = m_core();
    if (!c) return;
    for (const auto& row : kPad)
        for (const Key& k : row)
            if (k.id == id) return c->key(k.text[0]);
    switch (id) {
        case IDC_DIAL:
            c->dialOrAnswer();
            break;
        case IDC_HANGUP:
            c->hangUp();
            break;
        case IDC_REDIAL:
            c->redial();
            break;
        case IDC_BACKSPACE:
            c->backspace();
            break;
        case IDC_PHONEBOOK:
            c->openPhonebook();
            break;
        case IDC_DEVICE:
            c->changeDevice();
            break;
        case IDC_VOLUME_UP:
            c->volumeUp();
            break;
        case IDC_VOLUME_DOWN:
            c->volumeDown();
            break;
        case IDC_HIDE:
            hideWindow();
            break;
        case IDC_MINIMISE:
            showMinimized();
            break;
        default:
            break;
    }
}

void CPhoneDlg::hideWindow() {
    if (PhoneDialogCore* c = m_core()) c->hide();
    hide();
}

void CPhoneDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(rect(), PhonePicture(IDB_PHONE_SKIN, size(), devicePixelRatioF()));
    QFont f = font();
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(QColor(170, 180, 190));
    p.drawText(QRect(20, 8, 180, 18), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
}

// Keys get their phone meaning before the dialog's own handling; Enter is
// the default button (dial/answer) and Esc the cancel one (hang up), which
// must not close the window.
void CPhoneDlg::keyPressEvent(QKeyEvent* e) {
    PhoneDialogCore* c = m_core();
    if (!c) return QDialog::keyPressEvent(e);
    const bool keypad = e->modifiers().testFlag(Qt::KeypadModifier);
    const int k = e->key();
    char code = 0;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        code = static_cast<char>('0' + (k - Qt::Key_0));
    else if (k == Qt::Key_Backspace)
        code = '\b';
    else if (k == Qt::Key_Escape)
        code = '\x1b';
    else if (k == Qt::Key_Return || k == Qt::Key_Enter)
        code = '\r';
    else if (keypad && k == Qt::Key_Plus)
        code = '+';
    else if (keypad && k == Qt::Key_Minus)
        code = '-';
    if (code && c->keyDown(code)) return e->accept();
    QDialog::keyPressEvent(e);
}

// The whole face moves the window, as a caption would.
void CPhoneDlg::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QDialog::mousePressEvent(e);
    if (windowHandle() && windowHandle()->startSystemMove()) return e->accept();
    m_dragging = true;
    m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
    e->accept();
}

void CPhoneDlg::mouseMoveEvent(QMouseEvent* e) {
    if (!m_dragging) return QDialog::mouseMoveEvent(e);
    move(e->globalPosition().toPoint() - m_dragOffset);
}

void CPhoneDlg::mouseReleaseEvent(QMouseEvent* e) {
    m_dragging = false;
    QDialog::mouseReleaseEvent(e);
}

void CPhoneDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (PhoneDialogCore* c = m_core()) c->shown();
    refreshAll();
}

// Closing by the window manager hides, like the hide button: the window
// lives until the program ends.
void CPhoneDlg::closeEvent(QCloseEvent* e) {
    e->ignore();
    hideWindow();
}

}  // namespace msgdesk
