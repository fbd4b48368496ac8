// SPDX-License-Identifier: GPL-3.0-or-later
#include "ManagerBus.h"

#include <cstring>

namespace zunto::hold {

namespace {
constexpr const char* kService = "org.freedesktop.ModemManager1";
constexpr const char* kPath = "/org/freedesktop/ModemManager1";
constexpr const char* kModemIface = "org.freedesktop.ModemManager1.Modem";

struct BusError {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    ~BusError() { sd_bus_error_free(&e); }
};
struct Msg {
    sd_bus_message* m = nullptr;
    ~Msg() { sd_bus_message_unref(m); }
};

bool contains(const char* text, const char* part) {
    return text && std::strstr(text, part) != nullptr;
}
}  // namespace

ManagerBus::~ManagerBus() {
    sd_bus_slot_unref(m_slot);
    sd_bus_flush_close_unref(m_bus);
}

bool ManagerBus::connect(std::string& detail) {
    int r = sd_bus_open_system(&m_bus);
    if (r < 0) {
        detail = std::string("no system bus: ") + std::strerror(-r);
        m_bus = nullptr;
        return false;
    }
    return true;
}

bool ManagerBus::watchOwner(std::function<void(const std::string&)> changed, std::string& detail) {
    m_changed = std::move(changed);
    int r = sd_bus_match_signal(m_bus, &m_slot, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                "org.freedesktop.DBus", "NameOwnerChanged",
                                &ManagerBus::onOwnerChanged, this);
    if (r < 0) detail = std::string("cannot watch ModemManager: ") + std::strerror(-r);
    return r >= 0;
}

int ManagerBus::onOwnerChanged(sd_bus_message* m, void* self, sd_bus_error*) {
    const char *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
    auto* bus = static_cast<ManagerBus*>(self);
    if (name && std::strcmp(name, kService) == 0 && bus->m_changed)
        bus->m_changed(newOwner ? newOwner : "");
    return 0;
}

std::string ManagerBus::managerOwner() {
    BusError err;
    Msg reply;
    const char* owner = nullptr;
    if (sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", &err.e, &reply.m, "s",
                           kService) < 0 ||
        sd_bus_message_read(reply.m, "s", &owner) < 0 || !owner)
        return {};
    return owner;
}

bool ManagerBus::hasModem(const std::string& uid) {
    BusError err;
    Msg reply;
    if (sd_bus_call_method(m_bus, kService, kPath, "org.freedesktop.DBus.ObjectManager",
                           "GetManagedObjects", &err.e, &reply.m, "") < 0)
        return false;
    sd_bus_message* m = reply.m;
    bool found = false;
    if (sd_bus_message_enter_container(m, 'a', "{oa{sa{sv}}}") < 0) return false;
    while (!found && sd_bus_message_enter_container(m, 'e', "oa{sa{sv}}") > 0) {
        const char* path = nullptr;
        sd_bus_message_read(m, "o", &path);
        sd_bus_message_enter_container(m, 'a', "{sa{sv}}");
        while (!found && sd_bus_message_enter_container(m, 'e', "sa{sv}") > 0) {
            const char* iface = nullptr;
            sd_bus_message_read(m, "s", &iface);
            sd_bus_message_enter_container(m, 'a', "{sv}");
            while (!found && sd_bus_message_enter_container(m, 'e', "sv") > 0) {
                const char* prop = nullptr;
                sd_bus_message_read(m, "s", &prop);
                const char* value = nullptr;
                if (iface && prop && std::strcmp(iface, kModemIface) == 0 &&
                    std::strcmp(prop, "Device") == 0 &&
                    sd_bus_message_read(m, "v", "s", &value) >= 0) {
                    found = value && uid == value;
                } else {
                    sd_bus_message_skip(m, "v");
                }
                sd_bus_message_exit_container(m);
            }
            if (found) break;
            sd_bus_message_exit_container(m);
            sd_bus_message_exit_container(m);
        }
        if (found) break;
        sd_bus_message_exit_container(m);
        sd_bus_message_exit_container(m);
    }
    return found;
}

ManagerBus::Outcome ManagerBus::inhibit(const std::string& uid, bool on, std::string& detail) {
    Msg call;
    if (sd_bus_message_new_method_call(m_bus, &call.m, kService, kPath, kService, "InhibitDevice") <
            0 ||
        sd_bus_message_append(call.m, "sb", uid.c_str(), on ? 1 : 0) < 0) {
        detail = "cannot build the call";
        return Outcome::Refused;
    }
    // A desktop's polkit agent may ask the user; the answer is the user's.
    sd_bus_message_set_allow_interactive_authorization(call.m, 1);
    BusError err;
    Msg reply;
    if (sd_bus_call(m_bus, call.m, 0, &err.e, &reply.m) >= 0) return Outcome::Done;
    detail = std::string(err.e.name ? err.e.name : "error") + ": " +
             (err.e.message ? err.e.message : "");
    // ModemManager 1.20's words: "No device found" while it still probes,
    // "already inhibited" when another connection holds the device.
    if (contains(err.e.message, "No device found") || contains(err.e.name, ".NotFound"))
        return Outcome::NoDevice;
    if (contains(err.e.message, "already inhibited")) return Outcome::AlreadyInhibited;
    return Outcome::Refused;
}

void ManagerBus::pump(int timeoutMs) {
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
    sd_bus_wait(m_bus, static_cast<uint64_t>(timeoutMs) * 1000);
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
}

}  // namespace zunto::hold
