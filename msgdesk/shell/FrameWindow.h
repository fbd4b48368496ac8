// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

#include "device/DeviceSlot.h"
#include "device/SimCodePrompt.h"
#include "platform/MessageLoop.h"
#include "store/MessageRecord.h"

namespace msgdesk {
class ComposeSession;
class PropertiesModel;
class SimInfoModel;
class SimMessageModel;
class UssdModel;
}  // namespace msgdesk

namespace msgdesk {

// What the main frame's core asks of its window and views. CMainFrame
// implements it; tests record the calls. Every call comes on the window
// thread. Defaults do nothing, so a window implements what it has.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;
    virtual void setPaneText(int pane, const std::string& utf8) = 0;
    virtual void setProgress(int position) = 0;
    virtual void setSendIcon(int icon) = 0;
    virtual void setSimFullVisible(bool visible) = 0;
    virtual void showRingImage(int image) = 0;
    virtual void showPhoneDialog() = 0;
    virtual void showAbout() = 0;
    // Closes the main window (command 57665).
    virtual void closeWindow() = 0;

    // The views.
    virtual void showPreview(const std::string& numberGbk, const std::string& textGbk) {
        (void)numberGbk, (void)textGbk;
    }
    virtual void setRightCaption(const std::string& utf8, unsigned iconId) {
        (void)utf8, (void)iconId;
    }
    virtual void toggleLeftPane() {}
    virtual void redisplayContactPane() {}
    // The message view dialog: 1027 reply, 1025 forward, 2 cancel.
    // whole: the whole text (GBK) when it is longer than the record's Text.
    virtual int openMessageView(const MessageRecord& rec, const std::string& whole = {}) {
        (void)rec;
        (void)whole;
        return 2;
    }
    // The modal compose dialog on a session: 1009 send, 1001 save, 2 cancel.
    virtual int runComposeDialog(ComposeSession& session) {
        (void)session;
        return 2;
    }
    // Messages passed on to the phone dialog and the open device dialog.
    virtual void sendToPhoneDialog(const platform::Message& m) { (void)m; }
    virtual bool phoneDialogExists() { return false; }
    virtual void postToDeviceDialog(const platform::Message& m) { (void)m; }
    // The SIM message manager, the properties dialog (1 OK, 2 cancel) and
    // the SIM information view, run modally on their models.
    virtual int runSimMessageDialog(SimMessageModel& model) {
        (void)model;
        return 2;
    }
    virtual int runSettingsDialog(PropertiesModel& model) {
        (void)model;
        return 2;
    }
    virtual void runSimInfoDialog(SimInfoModel& model) { (void)model; }
    // The service query dialog (USSD), run modally on its model.
    virtual void runUssdDialog(UssdModel& model) { (void)model; }
    // The keep-on-computer prompt: 1 yes, 1044 no, 2 cancel.
    virtual int askKeepOnComputer() { return 2; }
    // The PIN dialog "输入PIN码" for a locked SIM; nullopt: cancelled.
    virtual std::optional<SimCode> askSimCode(const SimCodePrompt& prompt) {
        (void)prompt;
        return std::nullopt;
    }
    // The conversation window with a number (GBK), opened or raised.
    virtual void openConversation(const std::string& numberGbk) { (void)numberGbk; }
    // A second start of the program on the same data folder: show and
    // raise the main window.
    virtual void raise() {}
};

}  // namespace msgdesk
