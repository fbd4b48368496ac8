#pragma once
#include <memory>
#include <string>

#include "device/WindowMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "shell/Animations.h"
#include "shell/FrameWindow.h"
#include "shell/Settings.h"
#include "shell/StatusBarModel.h"

namespace msgdesk {

// The main frame without its window: it receives the frame's window
// messages and timers, owns the settings, the status bar texts and the
// animations, runs the commands the frame owns, and closes in order.
class MainFrameCore final : public platform::MessageTarget {
public:
    struct Services {
        platform::MessageLoop& loop;
        const platform::Clock& clock;
        platform::MessageBoxPort& messageBox;
        platform::RegistryStore& registry;
        std::string helpFile;  // the user guide opened by command 57670
    };

    explicit MainFrameCore(Services s);
    ~MainFrameCore() override;

    void attachWindow(FrameWindow* w) { m_window = w; }

    // Window creation: settings read, the connect command posted to itself.
    bool create();
    // Asks the closing questions; true when closing may go on.
    bool queryClose();
    // The closing work after queryClose: disconnect, settings, saves.
    void close();

    void command(int id);
    bool commandEnabled(int id) const;
    void setStatusBarVisible(bool v) { m_status.setVisible(v); }
    bool statusBarVisible() const { return m_status.visible(); }
    void paneDoubleClicked(int pane);

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

    Settings& settings() { return m_settings; }
    StatusBarModel& status() { return m_status; }
    SendAnimation& sendAnimation() { return m_sendAnimation; }
    RingAnimation& ringAnimation() { return m_ringAnimation; }

    // Hooks the rest of the program fills in as its parts are attached.
    std::function<StatusBarModel::MailboxCount()> mailboxCount;
    std::function<std::pair<int, int>(int)> simMessages;
    std::function<std::pair<int, int>()> sendTotals;
    std::function<bool()> linkActive = [] { return false; };
    std::function<bool()> batchComplete = [] { return true; };

private:
    // Target of the view's timer 106 (the ringing animation).
    struct ViewTimers final : platform::MessageTarget {
        MainFrameCore* core = nullptr;
        std::intptr_t onMessage(const platform::Message&) override { return 0; }
        void onTimer(unsigned id) override;
    };

    void openHelp();

    Services m_s;
    FrameWindow* m_window = nullptr;
    Settings m_settings;
    StatusBarModel m_status;
    ViewTimers m_viewTimers;
    SendAnimation m_sendAnimation;
    RingAnimation m_ringAnimation;
};

}  // namespace msgdesk
