// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreRegistry.h"

namespace wanmate {

StoreRegistry::StoreRegistry()
    : m_user(platform::RegistryStore::forHive(Hive::CurrentUser)),
      m_machine(platform::RegistryStore::forHive(Hive::LocalMachine)) {}

StoreRegistry::StoreRegistry(platform::RegistryStore& user, platform::RegistryStore& machine)
    : m_user(user), m_machine(machine) {}

platform::RegistryStore& StoreRegistry::store(Hive hive) {
    return hive == Hive::CurrentUser ? m_user : m_machine;
}

bool StoreRegistry::openKey(Hive hive, const std::string& key) {
    return store(hive).keyExists(key);
}

bool StoreRegistry::createKey(Hive hive, const std::string& key) {
    return store(hive).createKey(key);
}

std::optional<std::string> StoreRegistry::enumSubKey(Hive hive, const std::string& key,
                                                     size_t index) {
    return store(hive).enumSubKey(key, index);
}

std::optional<RegValue> StoreRegistry::queryValue(Hive hive, const std::string& key,
                                                  const std::string& name) {
    return store(hive).queryValue(key, name);
}

bool StoreRegistry::setValue(Hive hive, const std::string& key, const std::string& name,
                             const RegValue& v) {
    return store(hive).setValue(key, name, v);
}

bool StoreRegistry::deleteValue(Hive hive, const std::string& key, const std::string& name) {
    return store(hive).deleteValue(key, name);
}

bool StoreRegistry::deleteKey(Hive hive, const std::string& key) {
    return store(hive).deleteKey(key);
}

}  // namespace wanmate
