// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace wanmate {

using platform::Hive;
using platform::RegValue;

// The registry as the dialer uses it, with the answers of the system's own
// calls: opening a key that is not there fails, a subkey is enumerated by
// index, a value is read whole. Tests wrap it to make single calls fail.
class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    // Opening an existing key (RegOpenKeyEx).
    virtual bool openKey(Hive hive, const std::string& key) = 0;
    // Creating or opening a key (RegCreateKeyEx).
    virtual bool createKey(Hive hive, const std::string& key) = 0;
    virtual std::optional<std::string> enumSubKey(Hive hive, const std::string& key,
                                                  size_t index) = 0;
    virtual std::optional<RegValue> queryValue(Hive hive, const std::string& key,
                                               const std::string& name) = 0;
    virtual bool setValue(Hive hive, const std::string& key, const std::string& name,
                          const RegValue& v) = 0;
    // Fails when the value does not exist.
    virtual bool deleteValue(Hive hive, const std::string& key, const std::string& name) = 0;
    virtual bool deleteKey(Hive hive, const std::string& key) = 0;
};

}  // namespace wanmate
