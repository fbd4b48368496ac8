// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "RegistryPort.h"

namespace wanmate {

// The port over the persistent registry store of this machine (or over the
// two stores a test gives).
class StoreRegistry final : public RegistryPort {
public:
    StoreRegistry();
    StoreRegistry(platform::RegistryStore& user, platform::RegistryStore& machine);

    bool openKey(Hive hive, const std::string& key) override;
    bool createKey(Hive hive, const std::string& key) override;
    std::optional<std::string> enumSubKey(Hive hive, const std::string& key, size_t index) override;
    std::optional<RegValue> queryValue(Hive hive, const std::string& key,
                                       const std::string& name) override;
    bool setValue(Hive hive, const std::string& key, const std::string& name,
                  const RegValue& v) override;
    bool deleteValue(Hive hive, const std::string& key, const std::string& name) override;
    bool deleteKey(Hive hive, const std::string& key) override;

private:
    platform::RegistryStore& store(Hive hive);
    platform::RegistryStore& m_user;
    platform::RegistryStore& m_machine;
};

}  // namespace wanmate
