// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <systemd/sd-bus.h>

#include <functional>
#include <string>

namespace zunto::hold {

// ModemManager as the helper sees it on the system bus (sd-bus): whether it
// runs, whether it has a modem object for a device, and the inhibition.
class ManagerBus final {
public:
    ManagerBus() = default;
    ~ManagerBus();
    ManagerBus(const ManagerBus&) = delete;
    ManagerBus& operator=(const ManagerBus&) = delete;

    // Connects to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set).
    bool connect(std::string& detail);
    // Calls `changed(newOwner)` whenever ModemManager's bus name changes
    // hands: empty when it left, its new unique name when it (re)started.
    bool watchOwner(std::function<void(const std::string&)> changed, std::string& detail);
    // ModemManager's unique bus name, empty when it does not run.
    std::string managerOwner();
    // Whether ModemManager exports a modem whose Modem.Device is uid.
    bool hasModem(const std::string& uid);

    enum class Outcome { Done, NoDevice, AlreadyInhibited, Refused };
    Outcome inhibit(const std::string& uid, bool on, std::string& detail);

    // The bus is still there (a system bus that goes takes the inhibition
    // with it).
    bool connected() const { return m_bus && sd_bus_is_open(m_bus) > 0; }
    // Dispatches what arrived, then waits at most timeoutMs for more.
    void pump(int timeoutMs);

private:
    static int onOwnerChanged(sd_bus_message* m, void* self, sd_bus_error* error);

    sd_bus* m_bus = nullptr;
    sd_bus_slot* m_slot = nullptr;
    std::function<void(const std::string&)> m_changed;
};

}  // namespace zunto::hold
