// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CConversationDlg.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "compose/CComposeTextEdit.h"
#include "compose/ComposeIds.h"
#include "compose/ComposeText.h"
#include "res/StringTable.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

namespace {

QString u8(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kMargin = 8;      // around a bubble
constexpr int kPad = 8;         // inside a bubble
constexpr int kDayHeight = 26;  // a date line
constexpr int kRoleKind = Qt::UserRole + 1;

}  // namespace

// The rows the list shows: a date line before the first message of each
// day, then the messages. Built from the core's entries at each refresh.
class CConversationModel final : public QAbstractListModel {
public:
    struct Row {
        bool day = false;
        int entry = -1;  // index into the conversation's entries
        QString text;    // the day's text or the message
        QString under;   // time and state below a bubble
        bool outgoing = false;
    };

    explicit CConversationModel(const Conversation& c, QObject* parent)
        : QAbstractListModel(parent), m_c(c) {}

    // The newest `shown` messages become rows (all when there are fewer);
    // laying out every bubble of a long history would make opening slow,
    // so older ones come in pages as the user scrolls up (showMore).
    void rebuild() {
        beginResetModel();
        m_rows.clear();
        const auto& entries = m_c.entries();
        m_first = entries.size() > m_shown ? entries.size() - m_shown : 0;
        m_rows.reserve(entries.size() - m_first + (entries.size() - m_first) / 4 + 1);
        const std::string* lastDay = nullptr;
        for (size_t i = m_first; i < entries.size(); ++i) {
            const ConversationEntry& e = entries[i];
            if (!lastDay || *lastDay != e.day) {
                m_rows.push_back(Row{true, -1, u8(Conversation::dayText(e.day)), {}, false});
                lastDay = &e.day;
            }
            QString under = FromGbk(e.time);
            const std::string state = Conversation::stateText(e.state);
            if (!state.empty()) under += QStringLiteral("  ") + u8(state);
            m_rows.push_back(Row{false, static_cast<int>(i), FromGbk(e.text), under, e.outgoing()});
        }
        endResetModel();
    }
    // True when older messages were waiting and are rows now.
    bool showMore() {
        if (m_first == 0) return false;
        m_shown += kPage;
        rebuild();
        return true;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const Row& r = m_rows[static_cast<size_t>(index.row())];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::AccessibleTextRole:
                return r.day ? r.text : r.text + QLatin1Char('\n') + r.under;
            case kRoleKind:
                return r.day ? 0 : (r.outgoing ? 2 : 1);
            default:
                return {};
        }
    }
    const Row& row(int i) const { return m_rows[static_cast<size_t>(i)]; }

    static constexpr size_t kPage = 100;

private:
    const Conversation& m_c;
    std::vector<Row> m_rows;
    size_t m_shown = kPage;
    size_t m_first = 0;
};

namespace {

// Draws a date line or a bubble; received bubbles sit on the left, sent
// ones on the right, each at most two thirds of the width.
class BubbleDelegate final : public QStyledItemDelegate {
public:
    BubbleDelegate(const CConversationModel& m, QObject* parent)
        : QStyledItemDelegate(parent), m_model(m) {}

    static int bubbleWidth(int viewWidth) { return std::max(120, viewWidth * 2 / 3); }

    QRect textRect(const QFontMetrics& fm, const QString& text, int viewWidth) const {
        const int w = bubbleWidth(viewWidth) - 2 * kPad - 2 * kMargin;
        return fm.boundingRect(QRect(0, 0, w, 100000), Qt::TextWordWrap, text);
    }

    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        const auto& r = m_model.row(index.row());
        if (r.day) return {opt.rect.width(), kDayHeight};
        const int w = viewWidth(opt);
        const QRect t = textRect(opt.fontMetrics, r.text, w);
        return {w, t.height() + opt.fontMetrics.height() + 2 * kPad + 2 * kMargin};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opt,
               const QModelIndex& index) const override {
        const auto& r = m_model.row(index.row());
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = opt.palette;
        if (r.day) {
            p->setPen(pal.color(QPalette::PlaceholderText));
            p->drawText(opt.rect, Qt::AlignCenter, r.text);
            p->restore();
            return;
        }
        const QRect t = textRect(opt.fontMetrics, r.text, opt.rect.width());
        const int bw = std::max(t.width(), opt.fontMetrics.horizontalAdvance(r.under)) + 2 * kPad;
        const int bh = t.height() + opt.fontMetrics.height() + 2 * kPad;
        const int x = r.outgoing ? opt.rect.right() - kMargin - bw : opt.rect.left() + kMargin;
        const QRect bubble(x, opt.rect.top() + kMargin, bw, bh);
        QPainterPath path;
        path.addRoundedRect(bubble, 8, 8);
        p->fillPath(path, r.outgoing ? QColor(0xcf, 0xe8, 0xc4) : QColor(0xf0, 0xf0, 0xf0));
        p->setPen(QColor(0x20, 0x20, 0x20));
        p->drawText(QRect(bubble.left() + kPad, bubble.top() + kPad, t.width(), t.height()),
                    Qt::TextWordWrap, r.text);
        p->setPen(QColor(0x70, 0x70, 0x70));
        p->drawText(QRect(bubble.left() + kPad, bubble.top() + kPad + t.height(), bw - 2 * kPad,
                          opt.fontMetrics.height()),
                    r.outgoing ? Qt::AlignRight : Qt::AlignLeft, r.under);
        p->restore();
    }

private:
    static int viewWidth(const QStyleOptionViewItem& opt) {
        const auto* v = qobject_cast<const QListView*>(opt.widget);
        return v ? v->viewport()->width() : opt.rect.width();
    }
    const CConversationModel& m_model;
};

}  // namespace

CConversationDlg::CConversationDlg(std::unique_ptr<Conversation> conversation, QWidget* parent)
    : QWidget(parent, Qt::Window), m_conversation(std::move(conversation)) {
    setObjectName(QStringLiteral("conversation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/shell/app128.svg")));
    resize(520, 640);

    m_model = new CConversationModel(*m_conversation, this);
    m_view = new QListView;
    m_view->setObjectName(QStringLiteral("messages"));
    m_view->setAccessibleName(QStringLiteral("对话"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new BubbleDelegate(*m_model, m_view));
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setResizeMode(QListView::Adjust);
    m_view->setFocusPolicy(Qt::NoFocus);

    m_reply = new CComposeTextEdit(compose::kTextLimit);
    m_reply->setObjectName(QStringLiteral("reply"));
    m_reply->setAccessibleName(u8(LoadStr(34006)));
    m_reply->setPlaceholderText(u8(LoadStr(34006)));
    m_reply->setFixedHeight(m_reply->fontMetrics().height() * 4 + 12);
    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto showCount = [this](int n) {
        m_count->setText(
            QString::fromStdString(ComposeCountText(static_cast<size_t>(n), compose::kTextLimit)));
    };
    showCount(0);
    connect(m_reply, &CComposeTextEdit::byteCountChanged, this, showCount);
    m_send = new QPushButton(u8(LoadStr(34007)));
    m_send->setObjectName(QStringLiteral("send"));
    m_send->setAccessibleName(u8(LoadStr(34007)));
    m_send->setDefault(true);
    connect(m_send, &QPushButton::clicked, this, &CConversationDlg::send);

    auto* side = new QVBoxLayout;
    side->addStretch(1);
    side->addWidget(m_count);
    side->addWidget(m_send);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_reply, 1);
    bottom->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);

    m_conversation->changed = [this] {
        if (m_refreshQueued) return;
        m_refreshQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_refreshQueued = false;
            refresh();
        });
    };
    m_model->rebuild();
    setWindowTitle(u8(m_conversation->title()));
    m_view->scrollToBottom();
    m_reply->setFocus();
    // The view stays on the newest message while the user has not scrolled
    // away from it, also when the bubbles are laid out again (shown,
    // resized, a message added). At the top of what is shown, the next
    // older page comes in above and the view keeps its place.
    QScrollBar* bar = m_view->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this](int, int max) {
        if (m_stickToEnd) m_view->verticalScrollBar()->setValue(max);
    });
    connect(bar, &QScrollBar::valueChanged, this, [this](int v) {
        if (m_rebuilding) return;
        QScrollBar* bar = m_view->verticalScrollBar();
        m_stickToEnd = v >= bar->maximum();
        if (v != bar->minimum() || bar->maximum() == 0) return;
        const int fromEnd = bar->maximum() - v;
        m_rebuilding = true;
        if (m_model->showMore()) {
            m_view->doItemsLayout();
            bar->setValue(bar->maximum() - fromEnd);
        }
        m_rebuilding = false;
    });
}

CConversationDlg::~CConversationDlg() {
    m_conversation->changed = nullptr;
}

void CConversationDlg::refresh() {
    if (!m_conversation->refresh()) return;
    QScrollBar* bar = m_view->verticalScrollBar();
    const int keep = bar->value();
    m_rebuilding = true;
    m_model->rebuild();
    m_view->doItemsLayout();
    m_rebuilding = false;
    setWindowTitle(u8(m_conversation->title()));
    if (m_stickToEnd)
        m_view->scrollToBottom();
    else
        bar->setValue(keep);
}

void CConversationDlg::send() {
    if (!m_conversation->reply(m_reply->gbkText())) return;
    m_reply->clear();
    // The new OutBox row shows at once (the core marked the conversation
    // stale while it was filed).
    refresh();
    m_view->scrollToBottom();
}

}  // namespace msgdesk
