// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "modlink.h"

namespace msgdesk {

// The device library's 26 operations, resolved by name. A slot that did not
// resolve stays null and every call site skips it. Tests fill the table
// directly with a fake library.
struct DeviceLibrary {
    decltype(&::InitModules) InitModules = nullptr;
    decltype(&::RegistCallbackFunction) RegistCallbackFunction = nullptr;
    decltype(&::GetActiveDeviceCount) GetActiveDeviceCount = nullptr;
    decltype(&::CloseModules) CloseModules = nullptr;
    decltype(&::GetSignal) GetSignal = nullptr;
    decltype(&::GetGSMCenter) GetGSMCenter = nullptr;
    decltype(&::SetGSMCenter) SetGSMCenter = nullptr;
    decltype(&::GetSimInfo) GetSimInfo = nullptr;
    decltype(&::GetSavedTelphone) GetSavedTelphone = nullptr;
    decltype(&::GetExistedMessage) GetExistedMessage = nullptr;
    decltype(&::GetSMSMessage) GetSMSMessage = nullptr;
    decltype(&::DelSMSMessage) DelSMSMessage = nullptr;
    decltype(&::SendSMSMessage) SendSMSMessage = nullptr;
    decltype(&::DelMsgInBuff) DelMsgInBuff = nullptr;
    decltype(&::SetTelphone) SetTelphone = nullptr;
    decltype(&::DelTelphone) DelTelphone = nullptr;
    decltype(&::AttachPhone) AttachPhone = nullptr;
    decltype(&::UnattachPhone) UnattachPhone = nullptr;
    decltype(&::DialUp) DialUp = nullptr;
    decltype(&::DialExt) DialExt = nullptr;
    decltype(&::SetVolume) SetVolume = nullptr;
    decltype(&::BeginPhone) BeginPhone = nullptr;
    decltype(&::EndPhone) EndPhone = nullptr;
    decltype(&::QureyPhoneStatus) QureyPhoneStatus = nullptr;
    decltype(&::GetCommandCount) GetCommandCount = nullptr;
    decltype(&::GetTelphone) GetTelphone = nullptr;

    // Additions beyond the 26, looked up the same way; an older library
    // lacks them.
    decltype(&::GetManagerRefusals) GetManagerRefusals = nullptr;
    decltype(&::EnterSimPin) EnterSimPin = nullptr;
    decltype(&::SetStatusReports) SetStatusReports = nullptr;
    decltype(&::SendUssd) SendUssd = nullptr;
    decltype(&::CancelUssd) CancelUssd = nullptr;
};

}  // namespace msgdesk
