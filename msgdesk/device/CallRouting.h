// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// Phone commands from the phone dialog to the device library, and call
// notices and phone results from the library back to the dialog and the
// ringing animation. Window thread only.
class CallRouting final {
public:
    CallRouting(const DeviceLibrary& library, DeviceLinkPorts& ports);

    // UM_PHONECOMMAND: op is the command (1 dial, 2 extension digits, 161/162
    // attach/unattach, 209/210 begin/end, 225 volume, 226 status).
    void onPhoneCommand(platform::WPARAM op, const platform::Message& m);
    // UM_CALLNOTIFY: 1..16 a call rings on that device, 17..32 it ended.
    void onCallNotify(const platform::Message& m);
    // UM_PHONERESULT: passed on to an open phone dialog.
    void onPhoneResult(const platform::Message& m);

    // The last caller text an incoming call brought.
    const std::string& callerText() const { return m_callerText; }

private:
    const DeviceLibrary& m_lib;
    DeviceLinkPorts& m_ports;
    std::string m_callerText;
};

}  // namespace msgdesk
