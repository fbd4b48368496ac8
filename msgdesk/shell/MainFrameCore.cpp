#include "shell/MainFrameCore.h"

#include "platform/Shell.h"
#include "res/StringTable.h"
#include "shell/Commands.h"

namespace msgdesk {

MainFrameCore::MainFrameCore(Services s)
    : m_s(std::move(s)),
      m_status(m_s.clock,
               StatusBarModel::Sources{
                   [this] { return mailboxCount ? mailboxCount() : StatusBarModel::MailboxCount{}; },
                   [this](int d) { return simMessages ? simMessages(d) : std::pair{0, 0}; },
                   [this] { return sendTotals ? sendTotals() : std::pair{0, 0}; }},
               StatusBarModel::View{[this](int pane, const std::string& t) {
                                        if (m_window) m_window->setPaneText(pane, t);
                                    },
                                    [this](int pos) {
                                        if (m_window) m_window->setProgress(pos);
                                    }}),
      m_sendAnimation(m_s.loop, this,
                      SendAnimation::Ports{[this] { return batchComplete(); }, [this] { return linkActive(); },
                                           [this](int icon) {
                                               if (m_window) m_window->setSendIcon(icon);
                                           },
                                           [this] { m_s.loop.send(this, UM_STATUSPANE, PANE_ACTIVITY, 2); }}),
      m_ringAnimation(m_s.loop, &m_viewTimers, [this](int image) {
          if (m_window) m_window->showRingImage(image);
      }) {
    m_viewTimers.core = this;
}

MainFrameCore::~MainFrameCore() {
    m_s.loop.forget(this);
    m_s.loop.forget(&m_viewTimers);
}

void MainFrameCore::ViewTimers::onTimer(unsigned id) {
    if (id == TIMER_RINGING) core->m_ringAnimation.onTimer();
}

bool MainFrameCore::create() {
    m_settings.read(m_s.registry);
    m_s.loop.post(this, platform::Message{cmd::WM_COMMAND, cmd::Connect, 0, nullptr});
    return true;
}

bool MainFrameCore::queryClose() { return true; }

void MainFrameCore::close() {
    m_settings.write(m_s.registry);
    m_s.loop.killTimer(this, TIMER_SEND_ANIMATION);
    m_ringAnimation.stop();
}

void MainFrameCore::openHelp() {
    if (platform::ShellExecuteA("open", m_s.helpFile.c_str()) > 32) return;
    platform::MessageBoxRequest r;
    r.text = "无法打开帮助文件，请用浏览器打开：\n" + m_s.helpFile;
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = platform::MbIcon::Information;
    m_s.messageBox.show(r);
}

void MainFrameCore::command(int id) {
    switch (id) {
        case cmd::Help: openHelp(); break;
        case cmd::About:
            if (m_window) m_window->showAbout();
            break;
        case cmd::Phone:
            if (m_window) m_window->showPhoneDialog();
            break;
        case cmd::Exit:
            if (m_window) m_window->closeWindow();
            break;
        default: break;
    }
}

bool MainFrameCore::commandEnabled(int id) const {
    switch (id) {
        case cmd::Connect: return !linkActive();
        case cmd::Disconnect: return linkActive();
        default: return true;
    }
}

void MainFrameCore::paneDoubleClicked(int) {}

std::intptr_t MainFrameCore::onMessage(const platform::Message& m) {
    switch (m.msg) {
        case UM_STATUSPANE: m_status.update(static_cast<int>(m.wParam), static_cast<long>(m.lParam)); return 0;
        case cmd::WM_COMMAND: command(static_cast<int>(m.wParam)); return 0;
        default: return 0;
    }
}

void MainFrameCore::onTimer(unsigned id) {
    if (id == TIMER_SEND_ANIMATION) m_sendAnimation.onTimer();
}

}  // namespace msgdesk
