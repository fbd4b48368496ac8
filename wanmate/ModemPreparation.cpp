// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModemPreparation.h"

namespace wanmate {

const char* modemClassKey(int osFamily) {
    return osFamily == 1 ? kModemClassKey1 : kModemClassKey2;
}

bool WriteUserInit(RegistryPort& registry, const std::string& classKey,
                   const std::string& initCommand) {
    if (!registry.openKey(Hive::LocalMachine, classKey)) return false;
    const RegValue value{platform::RegType::Sz, initCommand + '\0'};
    for (size_t index = 0;; ++index) {
        auto name = registry.enumSubKey(Hive::LocalMachine, classKey, index);
        if (!name) return true;
        std::string subKey = classKey + "\\" + *name;
        if (!registry.openKey(Hive::LocalMachine, subKey)) return false;
        if (!registry.setValue(Hive::LocalMachine, subKey, "UserInit", value)) return false;
    }
}

bool PrepareModem(RegistryPort& registry, platform::VersionSource& version,
                  const std::string& initCommand) {
    auto v = version.read();
    if (!v) return false;
    WriteUserInit(registry, modemClassKey(platform::osFamilyOf(*v)), initCommand);
    return true;
}

std::string userInitForPort(RegistryPort& registry, int osFamily, const std::string& port) {
    const std::string classKey = modemClassKey(osFamily);
    auto text = [&](const std::string& key, const char* name) -> std::optional<std::string> {
        auto v = registry.queryValue(Hive::LocalMachine, key, name);
        if (!v || v->type != platform::RegType::Sz) return std::nullopt;
        return v->data.substr(0, v->data.find('\0'));
    };
    std::optional<std::string> any;
    for (size_t i = 0;; ++i) {
        auto name = registry.enumSubKey(Hive::LocalMachine, classKey, i);
        if (!name) break;
        std::string key = classKey + "\\" + *name;
        auto init = text(key, "UserInit");
        if (init && !any) any = init;
        if (init && text(key, "AttachedTo") == port) return *init;
    }
    return any.value_or(std::string());
}

int registerModemPorts(RegistryPort& registry, int osFamily,
                       const std::vector<std::string>& ports) {
    const std::string classKey = modemClassKey(osFamily);
    int created = 0;
    for (const auto& port : ports) {
        // A port name is one key name: no separators may reach the path.
        if (port.empty() || port.find_first_of("\\/") != std::string::npos) continue;
        std::string key = classKey + "\\" + port;
        if (registry.openKey(Hive::LocalMachine, key)) continue;
        if (!registry.createKey(Hive::LocalMachine, key)) continue;
        registry.setValue(Hive::LocalMachine, key, "AttachedTo",
                          RegValue{platform::RegType::Sz, "/dev/" + port + '\0'});
        ++created;
    }
    return created;
}

}  // namespace wanmate
