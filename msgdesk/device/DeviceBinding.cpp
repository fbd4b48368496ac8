// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceBinding.h"

namespace msgdesk {

namespace {
template <class F>
void resolve(platform::HMODULE m, F& slot, const char* name) {
    slot = reinterpret_cast<F>(platform::GetProcAddress(m, name));
}

// Applies f(slot, name) to every operation of the table.
template <class Lib, class Fn>
void eachSlot(Lib& l, Fn&& f) {
#define ZUNTO_SLOT(n) f(l.n, #n)
    ZUNTO_SLOT(InitModules);
    ZUNTO_SLOT(RegistCallbackFunction);
    ZUNTO_SLOT(GetActiveDeviceCount);
    ZUNTO_SLOT(CloseModules);
    ZUNTO_SLOT(GetSignal);
    ZUNTO_SLOT(GetGSMCenter);
    ZUNTO_SLOT(SetGSMCenter);
    ZUNTO_SLOT(GetSimInfo);
    ZUNTO_SLOT(GetSavedTelphone);
    ZUNTO_SLOT(GetExistedMessage);
    ZUNTO_SLOT(GetSMSMessage);
    ZUNTO_SLOT(DelSMSMessage);
    ZUNTO_SLOT(SendSMSMessage);
    ZUNTO_SLOT(DelMsgInBuff);
    ZUNTO_SLOT(SetTelphone);
    ZUNTO_SLOT(DelTelphone);
    ZUNTO_SLOT(AttachPhone);
    ZUNTO_SLOT(UnattachPhone);
    ZUNTO_SLOT(DialUp);
    ZUNTO_SLOT(DialExt);
    ZUNTO_SLOT(SetVolume);
    ZUNTO_SLOT(BeginPhone);
    ZUNTO_SLOT(EndPhone);
    ZUNTO_SLOT(QureyPhoneStatus);
    ZUNTO_SLOT(GetCommandCount);
    ZUNTO_SLOT(GetTelphone);
#undef ZUNTO_SLOT
}

// The additions, each optional.
template <class Lib, class Fn>
void eachAddition(Lib& l, Fn&& f) {
    f(l.SetStatusReports, "SetStatusReports");
    f(l.SendUssd, "SendUssd");
    f(l.CancelUssd, "CancelUssd");
}
}  // namespace

bool DeviceBinding::load(const char* name) {
    unload();
    m_module = platform::LoadLibraryA(name);
    if (!m_module) return false;
    eachSlot(m_library, [&](auto& slot, const char* n) { resolve(m_module, slot, n); });
    resolve(m_module, m_library.GetManagerRefusals, "GetManagerRefusals");
    resolve(m_module, m_library.EnterSimPin, "EnterSimPin");
    eachAddition(m_library, [&](auto& slot, const char* n) { resolve(m_module, slot, n); });
    return true;
}

void DeviceBinding::unload() {
    m_library = DeviceLibrary{};
    if (m_module) platform::FreeLibrary(m_module);
    m_module = nullptr;
}

int DeviceBinding::resolvedCount() const {
    int n = 0;
    eachSlot(m_library, [&](auto& slot, const char*) { n += slot != nullptr; });
    return n;
}

}  // namespace msgdesk
