// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "compose/ComposeController.h"
#include "compose/SimMessageModel.h"
#include "contacts/ContactBook.h"
#include "contacts/ContactStore.h"
#include "contacts/ContactsCore.h"
#include "contacts/PropertiesModel.h"
#include "contacts/SimInfoModel.h"
#include "device/DeviceBinding.h"
#include "device/DeviceLink.h"
#include "device/DeviceLinkPorts.h"
#include "device/SimPhonebook.h"
#include "device/WindowMessages.h"
#include "phone/PhoneDialogCore.h"
#include "phone/UssdModel.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "shell/Animations.h"
#include "shell/FrameWindow.h"
#include "shell/StatusBarModel.h"
#include "store/DeliveryWatch.h"
#include "store/MailboxStore.h"
#include "store/MailboxTree.h"
#include "store/MessageList.h"
#include "store/Receiver.h"
#include "store/SendPump.h"
#include "types/Settings.h"

namespace msgdesk {

// The main frame without its window. It is the target of the frame's window
// messages and timers and owns every core part: the device link, the
// mailboxes with the message list and tree, the contact book, the SIM
// phonebooks, the settings, the status bar texts and the animations. It
// runs the commands the frame owns and closes in order.
class MainFrameCore final : public platform::MessageTarget, private DeviceLinkPorts {
public:
    struct Services {
        platform::MessageLoop& loop;
        const platform::Clock& clock;
        platform::MessageBoxPort& messageBox;
        platform::RegistryStore& registry;
        std::string helpFile;            // the user guide opened by command 57670
        std::filesystem::path dataRoot;  // where data/ and backup/ live
        // Tests hand a device library table in; null: bind "modlink.dll".
        const DeviceLibrary* library = nullptr;
        // Desktop notifications of new messages; null: none.
        platform::NotificationPort* notifier = nullptr;
    };

    explicit MainFrameCore(Services s);
    ~MainFrameCore() override;

    void attachWindow(FrameWindow* w) { m_window = w; }

    // Window creation: binds the library (60010 and false when it cannot),
    // reads the settings, loads mailboxes and contacts, posts the connect
    // command to itself.
    bool create();
    // Asks the closing questions (60033 while busy, 60001 while sending);
    // true when closing may go on.
    bool queryClose();
    // The closing work: disconnect (which waits 300 ms on a timer), the
    // settings, the saves, the library released; done runs at the end.
    void close(std::function<void()> done = {});
    bool closed() const { return m_closed; }

    void command(int id);
    bool commandEnabled(int id) const;
    // False for a command whose window is not built yet: it is disabled
    // everywhere (menus, tool bar, popups) and does nothing.
    static bool commandBuilt(int id);
    void setStatusBarVisible(bool v) { m_status.setVisible(v); }
    bool statusBarVisible() const { return m_status.visible(); }
    void paneDoubleClicked(int pane);

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

    Settings& settings() { return m_settings; }
    StatusBarModel& status() { return m_status; }
    SendAnimation& sendAnimation() { return m_sendAnimation; }
    RingAnimation& ringAnimation() { return m_ringAnimation; }
    DeviceLink& link() { return *m_link; }
    bool hasLink() const { return m_link != nullptr; }
    MailboxStore& store() { return *m_store; }
    MessageList& messageList() { return *m_list; }
    MailboxTree& tree() { return *m_tree; }
    ContactBook& contacts() { return m_book; }
    ContactStore& contactStore() { return *m_contactStore; }
    SimPhonebook& simPhonebook() { return m_sims; }
    // The phone dialog's core: from create() until close(); null otherwise.
    PhoneDialogCore* phone() { return m_phone.get(); }
    // The contact pane and the phonebook windows' services.
    ContactsCore& contactsCore() { return *m_contacts; }
    platform::MessageBoxPort& messageBox() { return m_s.messageBox; }
    platform::MessageLoop& loop() { return m_s.loop; }
    // The name shown for a number (GBK); empty when none.
    std::string nameFor(const std::string& number) const;

    // receive/send: the send pump's answers; the defaults stand for "no pump".
    std::function<bool()> sendBatchRunningHook = [] { return false; };
    std::function<void()> clearSendBatchHook = [] {};
    std::function<void()> lowerSendBatchHook = [] {};
    std::function<bool()> batchCompleteHook = [] { return true; };
    std::function<std::pair<int, int>()> sendTotalsHook = [] { return std::pair{0, 0}; };
    // The phone window redraws a field of the phone dialog's core.
    std::function<void(PhoneDialogCore::Field)> phoneChanged;
    // receive/send: handlers of the messages the receiving and sending parts
    // own; each returns true when it handled the message.
    std::vector<std::function<bool(const platform::Message&, std::intptr_t*)>> extraHandlers;
    // receive/send: receiving and the send pump exist from create() until
    // close(); the compose dialog hands its rows to sendPump().appendComposed().
    Receiver& receiver() { return *m_receiver; }
    SendPump& sendPump() { return *m_pump; }
    bool hasSendPump() const { return m_pump != nullptr; }
    // compose: the compose dialog for UM_COMPOSE. Unset, the window's dialog
    // runs (none without a window: the request is cancelled); the headless
    // program and tests script it here.
    std::function<int(ComposeSession&)> composeDialogHook;
    ComposeController& composer() { return *m_compose; }
    // The device dialogs (SIM message manager 32822, properties 30003, SIM
    // information 32823). Unset, the window's dialogs run; the headless
    // program and tests script them here.
    std::function<int(SimMessageModel&)> simMessageDialogHook;
    std::function<int(PropertiesModel&)> settingsDialogHook;
    std::function<void(SimInfoModel&)> simInfoDialogHook;
    std::function<void(UssdModel&)> ussdDialogHook;
    std::function<int()> keepOnComputerHook;
    // The open device or modal dialog's model (UM_SIMMESSAGES, UM_SIMREADY
    // reach it); null when none is open.
    platform::MessageTarget* openDeviceDialog() const { return m_deviceDialog; }
    // After OK in the properties dialog: the settings (also written to the
    // registry at once), then the centre numbers when one was changed.
    void applyProperties(const PropertiesModel& p);

private:
    // Asks, then files the long messages still waiting for parts.
    void fileWaitingPartsNow();
    // Target of the view's timer 106 (the ringing animation).
    struct ViewTimers final : platform::MessageTarget {
        MainFrameCore* core = nullptr;
        std::intptr_t onMessage(const platform::Message&) override { return 0; }
        void onTimer(unsigned id) override;
    };

    void openHelp();
    void openSimMessages();  // MainFrameDialogs.cpp
    void openProperties();
    void openUssd();
    void postToSelf(platform::Message m) { m_s.loop.post(this, std::move(m)); }
    StatusBarModel::MailboxCount mailboxCount() const;

    // DeviceLinkPorts.
    bool mainViewExists() override { return m_window != nullptr; }
    void redisplayContactPane() override;
    void refreshMessageListNames() override;
    void removeSimMessages(int device) override;
    void startRinging() override { m_ringAnimation.start(); }
    void stopRinging() override { m_ringAnimation.stop(); }
    bool phoneDialogExists() override { return m_phone != nullptr; }
    void showPhoneDialog() override;
    void sendToPhoneDialog(const platform::Message& m) override;
    void postToDeviceDialog(const platform::Message& m) override;
    void tellDeviceGone(int device) override;
    void openSimInfoView(const DeviceSnapshot& s) override;
    void showSimFullBitmap(bool visible) override;
    bool sendBatchRunning() override { return sendBatchRunningHook(); }
    void clearSendBatch() override { clearSendBatchHook(); }
    void setVolumeSetting(int level) override { m_settings.Volume = level; }
    std::optional<SimCode> askSimCode(const SimCodePrompt& prompt) override {
        return m_window ? m_window->askSimCode(prompt) : std::nullopt;
    }

    Services m_s;
    FrameWindow* m_window = nullptr;
    Settings m_settings;
    StatusBarModel m_status;
    ViewTimers m_viewTimers;
    SendAnimation m_sendAnimation;
    RingAnimation m_ringAnimation;
    DeviceBinding m_binding;
    DeviceLibrary m_library{};
    SimPhonebook m_sims;
    ContactBook m_book;
    std::unique_ptr<ContactStore> m_contactStore;
    std::unique_ptr<ContactsCore> m_contacts;
    std::unique_ptr<MailboxStore> m_store;
    std::unique_ptr<MessageList> m_list;
    std::unique_ptr<MailboxTree> m_tree;
    std::unique_ptr<DeviceLink> m_link;
    std::unique_ptr<PhoneDialogCore> m_phone;
    void createPhone();
    // receive/send: they use the link's library and tables, so they go first.
    std::unique_ptr<Receiver> m_receiver;
    std::unique_ptr<SendPump> m_pump;
    std::unique_ptr<DeliveryWatch> m_watch;  // delivery reports of sent rows
    void attachReceiveSend();
    std::unique_ptr<ComposeController> m_compose;  // compose
    void attachCompose();
    platform::MessageTarget* m_deviceDialog = nullptr;
    bool m_created = false;
    bool m_closing = false;
    bool m_closed = false;
};

}  // namespace msgdesk
