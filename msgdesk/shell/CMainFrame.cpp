// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CMainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "compose/CComposeDlg.h"
#include "compose/CConversationDlg.h"
#include "compose/CKeepOnComputerDlg.h"
#include "compose/CMessageViewDlg.h"
#include "compose/CSimMessageDlg.h"
#include "compose/ConversationNumber.h"
#include "contacts/CContactView.h"
#include "contacts/CPhonebookDialogs.h"
#include "contacts/CPhonebookPickerDlg.h"
#include "contacts/CSettingsDlg.h"
#include "contacts/CSimInfoDlg.h"
#include "contacts/CSimPhonebookDlg.h"
#include "phone/CPhoneDlg.h"
#include "phone/CUssdDlg.h"
#include "res/StringTable.h"
#include "shell/CAboutDlg.h"
#include "shell/CMsgPreview.h"
#include "shell/CMsgdeskView.h"
#include "shell/CSimPinDlg.h"
#include "shell/CStatusBar.h"
#include "shell/FileDialogPort.h"
#include "shell/MainFrameCore.h"
#include "shell/MenuCommands.h"
#include "shell/TransferCommands.h"
#include "store/CFindPane.h"
#include "store/CLeftBoxView.h"
#include "store/CListMsgView.h"
#include "store/CStoreIcons.h"
#include "types/Commands.h"

namespace msgdesk {

namespace {
QString u8(const char* s) {
    return QString::fromUtf8(s);
}

// The window half of the core's window port.
class FrameWindowAdapter final : public FrameWindow {
public:
    explicit FrameWindowAdapter(CMainFrame* f) : m_f(f) {}
    void setPaneText(int pane, const std::string& t) override {
        m_f->statusPanes()->setPaneText(pane, QString::fromUtf8(t.c_str()));
    }
    void setProgress(int p) override { m_f->statusPanes()->setProgress(p); }
    void setSendIcon(int icon) override { m_f->statusPanes()->setIcon(icon); }
    void setSimFullVisible(bool v) override { m_f->statusPanes()->setSimFullVisible(v); }
    void showRingImage(int image) override { m_f->view()->showRingImage(image); }
    void showPhoneDialog() override {
        if (m_f->phoneDialog()) m_f->phoneDialog()->showAndRaise();
    }
    void showAbout() override {
        CAboutDlg dlg(m_f);
        dlg.exec();
    }
    void closeWindow() override { QTimer::singleShot(0, m_f, &QWidget::close); }
    void showPreview(const std::string& n, const std::string& t) override {
        if (m_f->preview()) m_f->preview()->Show(n, t);
    }
    void setRightCaption(const std::string& text, unsigned iconId) override {
        m_f->view()->captionBar()->setCaption(QString::fromUtf8(text.c_str()),
                                              QIcon(StoreIcon(iconId)));
    }
    void toggleLeftPane() override { m_f->view()->toggleLeftPane(); }
    int openMessageView(const MessageRecord& rec, const std::string& whole) override {
        CMessageViewDlg dlg(rec, owner(), whole);
        return dlg.exec();
    }
    int runSimMessageDialog(SimMessageModel& model) override {
        CSimMessageDlg dlg(model, m_f);
        return dlg.exec();
    }
    int runSettingsDialog(PropertiesModel& model) override {
        CSettingsDlg dlg(model, m_f);
        return dlg.exec() == QDialog::Accepted ? 1 : 2;
    }
    void runSimInfoDialog(SimInfoModel& model) override {
        CSimInfoDlg dlg(model, m_f);
        dlg.exec();
    }
    void runUssdDialog(UssdModel& model) override {
        CUssdDlg dlg(model, m_f);
        dlg.exec();
    }
    int askKeepOnComputer() override {
        CKeepOnComputerDlg dlg(owner());
        return dlg.exec();
    }
    std::optional<SimCode> askSimCode(const SimCodePrompt& prompt) override {
        CSimPinDlg dlg(prompt, owner());
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        SimCode code = dlg.code();
        dlg.wipe();
        return code;
    }
    int runComposeDialog(ComposeSession& session) override {
        CComposeDlg dlg(session, owner());
        return dlg.exec();
    }
    void postToDeviceDialog(const platform::Message& m) override { m_f->postToDeviceDialog(m); }
    void openConversation(const std::string& number) override { m_f->openConversation(number); }
    void raise() override { m_f->raiseWindow(); }
    // The pane itself was rebuilt by the core; an open SIM manager rebuilds
    // too, as a removed device's entries are gone.
    void redisplayContactPane() override {
        m_f->postToDeviceDialog(
            platform::Message{UM_REFRESHVIEWS, REFRESH_CONTACT_PANE, 0, nullptr});
    }

private:
    // A dialog opened from another modal dialog sits over that one.
    QWidget* owner() const {
        QWidget* modal = QApplication::activeModalWidget();
        return modal ? modal : m_f;
    }
    CMainFrame* m_f;
};
}  // namespace

CMainFrame::CMainFrame(MainFrameCore& core, QWidget* parent) : QMainWindow(parent), m_core(core) {
    setWindowTitle(u8(LoadStr(IDS_APP_TITLE)));
    setWindowIcon(QIcon(QStringLiteral(":/shell/app128.svg")));
    if (QScreen* s = QGuiApplication::primaryScreen()) setGeometry(s->availableGeometry());
    buildActions();
    buildToolBar();
    buildMenus();
    m_status = new CStatusBar(this);
    setStatusBar(m_status);
    m_view = new CMsgdeskView(this);
    setCentralWidget(m_view);
    m_tree = new CLeftBoxView(m_core.tree());
    m_list = new CListMsgView(m_core.messageList());
    m_preview = new CMsgPreview;
    ContactsCore& contacts = m_core.contactsCore();
    m_contactView = new CContactView(contacts.pane());
    m_view->setPanes(m_tree, m_contactView, setUpTransfer(), m_preview);
    // The tree keeps room for its six items; the contact pane takes the rest.
    m_view->leftSplitter()->setStretchFactor(0, 0);
    m_view->leftSplitter()->setStretchFactor(1, 1);
    m_view->leftSplitter()->setSizes({230, 420});
    m_view->mainSplitter()->setSizes({m_contactView->minimumWidth(), 800});
    m_phonebookDialogs = std::make_unique<CPhonebookDialogs>(contacts.services(), this);
    m_phonebookDialogs->onSimManager = [this](CSimPhonebookDlg* d) { m_deviceDialog = d; };
    contacts.attachDialogs(m_phonebookDialogs.get());
    connect(m_contactView, &CContactView::activated, this,
            [this] { m_core.contactsCore().pane().setActive(true); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { trackActiveView(now); });
    connect(m_status, &CStatusBar::paneDoubleClicked, this,
            [this](const QPoint& p) { m_core.paneDoubleClicked(m_status->paneAt(p)); });
    connect(m_view, &CMsgdeskView::phoneRequested, this, [this] { onCommand(cmd::Phone); });
    m_adapter = std::make_unique<FrameWindowAdapter>(this);
    m_core.attachWindow(m_adapter.get());
    m_tree->initialUpdate();
    createPhoneDialog();
    // Command states follow the core, as an idle-time update would.
    auto* ui = new QTimer(this);
    connect(ui, &QTimer::timeout, this, &CMainFrame::updateCommandUI);
    ui->start(200);
    updateCommandUI();
}

CMainFrame::~CMainFrame() {
    delete m_findPane;  // before the finder it shows
    m_core.phoneChanged = nullptr;
    m_core.contactsCore().attachDialogs(nullptr);
    m_core.attachWindow(nullptr);
}

// Created once, hidden, centred on the screen.
void CMainFrame::createPhoneDialog() {
    m_phoneDlg = new CPhoneDlg([this] { return m_core.phone(); }, this);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->geometry();
        m_phoneDlg->move(r.width() / 2 - m_phoneDlg->width() / 2,
                         r.height() / 2 - m_phoneDlg->height() / 2);
    }
    m_core.phoneChanged = [this](PhoneDialogCore::Field f) { m_phoneDlg->refresh(f); };
    // The phone's phonebook button picks from the book and the SIM cards.
    setPhonebookPicker([this](std::string& number) {
        const int attached = m_core.hasLink() ? m_core.link().devices().deviceCount() : 0;
        CPhonebookPickerDlg dlg(m_core.contacts(), m_core.simPhonebook(), attached, m_phoneDlg);
        // A row with no number is picked too: it clears the display.
        if (dlg.exec() != QDialog::Accepted) return false;
        number = dlg.number();
        return true;
    });
}

void CMainFrame::setPhonebookPicker(PhoneDialogCore::Picker picker) {
    m_phoneDlg->setPicker(std::move(picker));
}

void CMainFrame::trackActiveView(QWidget* now) {
    // The view the user clicked into last is the active one; menus, tool
    // bar and dialogs taking the focus leave it as it is.
    if (!now) return;
    auto inside = [now](QWidget* v) { return v && (v == now || v->isAncestorOf(now)); };
    if (inside(m_contactView))
        m_core.contactsCore().pane().setActive(true);
    else if (inside(m_tree) || inside(m_list) || inside(m_preview))
        m_core.contactsCore().pane().setActive(false);
}

void CMainFrame::postToDeviceDialog(const platform::Message& m) {
    QTimer::singleShot(0, this, [this, m] {
        if (m_deviceDialog) m_deviceDialog->onFrameMessage(m);
    });
}

QAction* CMainFrame::action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::buildActions() {
    for (const CommandSpec& s : commandSpecs()) {
        auto* a = new QAction(u8(s.menuText).section(QLatin1Char('\t'), 0, 0), this);
        a->setObjectName(QStringLiteral("cmd%1").arg(s.id));
        a->setData(s.id);
        if (s.icon) a->setIcon(QIcon(QStringLiteral(":/shell/%1.svg").arg(QLatin1String(s.icon))));
        if (s.shortcut) a->setShortcut(QKeySequence(QLatin1String(s.shortcut)));
        QString tip = u8(LoadStr(static_cast<unsigned>(s.id))).section(QLatin1Char('\n'), 1, 1);
        if (!tip.isEmpty()) a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, id = s.id] { onCommand(id); });
        addAction(a);
        m_actions[s.id] = a;
    }
    QAction* tb = m_actions[cmd::ViewToolbar];
    QAction* sb = m_actions[cmd::ViewStatusBar];
    tb->setCheckable(true);
    tb->setChecked(true);
    sb->setCheckable(true);
    sb->setChecked(true);
}

void CMainFrame::buildMenus() {
    std::vector<QMenu*> subs;
    for (const MenuSpec& sub : submenus()) {
        auto* m = new QMenu(u8(sub.title), this);
        for (int id : sub.items) m->addAction(m_actions[id]);
        subs.push_back(m);
    }
    m_phonebookMenu = subs.empty() ? nullptr : subs[0];
    for (const MenuSpec& menuSpec : msgdesk::menuBar()) {
        QMenu* m = QMainWindow::menuBar()->addMenu(u8(menuSpec.title));
        for (int id : menuSpec.items) {
            if (id == 0)
                m->addSeparator();
            else if (id < 0)
                m->addMenu(subs[static_cast<size_t>(-id - 1)]);
            else
                m->addAction(m_actions[id]);
        }
    }
}

void CMainFrame::buildToolBar() {
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("toolbar128"));
    m_toolbar->setMovable(true);
    m_toolbar->setFloatable(true);
    m_toolbar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(32, 32));
    for (int id : toolbarCommands()) {
        QAction* a = m_actions[id];
        const CommandSpec* s = findCommand(id);
        // The tool bar shows the short text; the menu keeps the long one.
        auto* ta = new QAction(a->icon(), u8(s->toolText), m_toolbar);
        ta->setObjectName(QStringLiteral("tb%1").arg(id));
        ta->setData(id);  // the command, by which a button is found
        ta->setToolTip(a->toolTip().isEmpty() ? u8(s->toolText) : a->toolTip());
        connect(ta, &QAction::triggered, a, &QAction::trigger);
        connect(a, &QAction::changed, ta, [ta, a] { ta->setEnabled(a->isEnabled()); });
        m_toolbar->addAction(ta);
    }
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    // Every button takes the first button's size.
    QList<QAction*> acts = m_toolbar->actions();
    QSize first;
    for (QAction* a : acts) {
        if (auto* b = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(a))) {
            if (!first.isValid()) first = b->sizeHint().expandedTo(QSize(56, 54));
            b->setFixedSize(first);
        }
    }
}

void CMainFrame::popupPhonebookMenu() {
    if (!m_phonebookMenu) return;
    QWidget* b = nullptr;
    for (QAction* a : m_toolbar->actions())
        if (a->data().toInt() == cmd::PhonebookMenu) b = m_toolbar->widgetForAction(a);
    QPoint at = b ? b->mapToGlobal(QPoint(0, b->height())) : QCursor::pos();
    m_phonebookMenu->popup(at);
}

void CMainFrame::onCommand(int id) {
    switch (id) {
        case cmd::PhonebookMenu:
            popupPhonebookMenu();
            return;
        case cmd::ViewToolbar:
            m_toolbar->setVisible(m_actions[id]->isChecked());
            return;
        case cmd::ViewStatusBar: {
            bool v = m_actions[id]->isChecked();
            m_status->setVisible(v);
            m_core.setStatusBarVisible(v);
            return;
        }
        default:
            if (transferCommand(id)) return;
            m_core.command(id);
            updateCommandUI();
    }
}

void CMainFrame::updateCommandUI() {
    for (auto& [id, a] : m_actions) {
        if (id == cmd::ViewToolbar || id == cmd::ViewStatusBar) continue;
        bool e = false;
        if (!transferEnabled(id, e)) e = m_core.commandEnabled(id);
        if (a->isEnabled() != e) a->setEnabled(e);
    }
    // The caption bar's phone button is the same command.
    m_view->captionBar()->phoneButton()->setEnabled(m_core.commandEnabled(cmd::Phone));
}

CConversationDlg* CMainFrame::openConversation(const std::string& numberGbk) {
    const std::string key = ConversationKey(numberGbk);
    std::erase_if(m_conversations, [](const QPointer<CConversationDlg>& d) { return d.isNull(); });
    for (const auto& d : m_conversations) {
        if (d->conversation().key() != key) continue;
        d->show();
        d->raise();
        d->activateWindow();
        return d;
    }
    auto conversation = std::make_unique<Conversation>(
        m_core.store(), numberGbk, [this](const std::string& n) { return m_core.nameFor(n); },
        [this](const std::string& n, const std::string& t) {
            return m_core.composer().sendText(n, t);
        },
        &m_core.messageBox());
    auto* dlg = new CConversationDlg(std::move(conversation), this);
    m_conversations.emplace_back(dlg);
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
    return dlg;
}

void CMainFrame::raiseWindow() {
    if (isMinimized()) showMaximized();
    show();
    raise();
    activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (m_core.closed()) {
        m_phoneDlg->hide();
        e->accept();
        return;
    }
    // Closing waits for the disconnect's pause; the window closes when the
    // core has finished.
    e->ignore();
    if (m_closing || !m_core.queryClose()) return;
    m_closing = true;
    m_core.close([this] { QTimer::singleShot(0, this, &QWidget::close); });
}

}  // namespace msgdesk
