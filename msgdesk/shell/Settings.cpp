// SPDX-License-Identifier: GPL-3.0-or-later
#include "types/Settings.h"

#include <string>

#include "platform/Registry.h"

namespace msgdesk {

namespace {
int32_t readInt(platform::RegistryStore& reg, const char* section, const char* name, int32_t def) {
    auto v = reg.getDword(std::string(Settings::kProfileKey) + "\\" + section, name);
    return v ? static_cast<int32_t>(*v) : def;
}
bool writeInt(platform::RegistryStore& reg, const char* section, const char* name, int32_t v) {
    return reg.setDword(std::string(Settings::kProfileKey) + "\\" + section, name,
                        static_cast<uint32_t>(v));
}
}  // namespace

void Settings::read(platform::RegistryStore& reg) {
    SaveInCard = readInt(reg, "settings", "SaveInCard", 0);
    Sound = readInt(reg, "settings", "Sound", 0);
    Volume = readInt(reg, "settings", "Volume", 20);
    Resend = readInt(reg, "settings", "Resend", Resend);
    StatusReport = readInt(reg, "Settings", "StatusReport", 0) != 0 ? 1 : 0;
}

bool Settings::write(platform::RegistryStore& reg) const {
    bool ok = writeInt(reg, "Settings", "SaveInCard", SaveInCard);
    ok = writeInt(reg, "Settings", "Sound", Sound) && ok;
    ok = writeInt(reg, "settings", "Volume", Volume) && ok;
    ok = writeInt(reg, "settings", "Resend", Resend) && ok;
    ok = writeInt(reg, "Settings", "StatusReport", StatusReport != 0 ? 1 : 0) && ok;
    return ok;
}

}  // namespace msgdesk
