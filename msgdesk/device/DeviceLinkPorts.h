// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>

#include "device/DeviceSlot.h"
#include "device/SimCodePrompt.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// What the device link asks of the windows around it. The main frame
// implements it; every default does nothing, so tests override only what
// they watch. All calls come on the window thread.
class DeviceLinkPorts {
public:
    virtual ~DeviceLinkPorts() = default;

    // The main view (and with it the message list and the contact pane)
    // exists; before it does, removals leave lists and slots alone.
    virtual bool mainViewExists() { return true; }
    // The contact pane shows the SIM phonebooks again (they changed).
    virtual void redisplayContactPane() {}
    // The message list refreshes the contact names it shows.
    virtual void refreshMessageListNames() {}
    // Removes the SIM-resident rows of device 1..16 (17: of every device)
    // from the message list and the SimMessageCache, and redisplays the list.
    virtual void removeSimMessages(int device) { (void)device; }

    // The view's ringing animation (view timer 106).
    virtual void startRinging() {}
    virtual void stopRinging() {}

    // The modeless phone dialog.
    virtual bool phoneDialogExists() { return false; }
    // Shows and repaints it (an incoming call).
    virtual void showPhoneDialog() {}
    // Sends UM_CALLNOTIFY (lParam: the caller text, a NUL-terminated GBK
    // string valid during the call) or UM_PHONERESULT on to it.
    virtual void sendToPhoneDialog(const platform::Message& m) { (void)m; }

    // Posts to the device dialog that is open modally (SIM message manager,
    // SIM phonebook manager or properties dialog), if any: UM_SIMREADY,
    // UM_SIMENTRYDONE(0, 0), UM_SIMMESSAGES(0, 0).
    virtual void postToDeviceDialog(const platform::Message& m) { (void)m; }

    // A device was removed (1..16) or the link closed (DEVICE_GONE_ALL),
    // after its lists and slot were cleared: every open window that shows
    // devices hears it (UM_DEVICEGONE).
    virtual void tellDeviceGone(int device) { (void)device; }

    // Opens the SIM information view with the device table's counts.
    virtual void openSimInfoView(const DeviceSnapshot& s) { (void)s; }
    // Shows or hides the SIM-full bitmap over pane 50012.
    virtual void showSimFullBitmap(bool visible) { (void)visible; }

    // The send pump's state: whether a batch is outstanding; disconnect
    // clears it.
    virtual bool sendBatchRunning() { return false; }
    virtual void clearSendBatch() {}
    // The Volume setting, which follows every volume command.
    virtual void setVolumeSetting(int level) { (void)level; }
    // Asks for a locked SIM's PIN (or PUK and new PIN) in a modal dialog;
    // nullopt when the user cancels.
    virtual std::optional<SimCode> askSimCode(const SimCodePrompt& prompt) {
        (void)prompt;
        return std::nullopt;
    }
};

}  // namespace msgdesk
