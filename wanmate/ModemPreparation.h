// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "RegistryPort.h"
#include "platform/OsVersion.h"

namespace wanmate {

// The modem class keys of the machine hive, by system family.
constexpr const char* kModemClassKey1 = "System\\CurrentControlSet\\Services\\Class\\Modem";
constexpr const char* kModemClassKey2 =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";

const char* modemClassKey(int osFamily);

// Writes the init command as "UserInit" (REG_SZ with its NUL) into every
// driver key below the class key. False when the class key, a subkey or a
// write failed; the walk stops there, keys written before keep the value.
bool WriteUserInit(RegistryPort& registry, const std::string& classKey,
                   const std::string& initCommand);

// Chooses the class key by the system version and writes the init command
// there. False only when the version cannot be read (nothing is written).
bool PrepareModem(RegistryPort& registry, platform::VersionSource& version,
                  const std::string& initCommand);

// Gives every modem port found a driver key below the class key, named after
// the port and naming it in "AttachedTo", so the init command reaches it and
// the dial-up layer finds the port. Existing keys are left as they are.
// Returns how many keys were created.
int registerModemPorts(RegistryPort& registry, int osFamily, const std::vector<std::string>& ports);

// The init command the modem driver would send on this port ("/dev/ttyUSB0"):
// "UserInit" of the driver key attached to it, else of the first driver key
// that has one (every key gets the same command), else empty.
std::string userInitForPort(RegistryPort& registry, int osFamily, const std::string& port);

}  // namespace wanmate
