// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/DeviceLibrary.h"
#include "platform/DynLib.h"

namespace msgdesk {

// Loads the device library at run time and resolves its 26 operations into
// a DeviceLibrary table. A name that does not resolve leaves its slot null.
class DeviceBinding final {
public:
    DeviceBinding() = default;
    ~DeviceBinding() { unload(); }
    DeviceBinding(const DeviceBinding&) = delete;
    DeviceBinding& operator=(const DeviceBinding&) = delete;

    // LoadLibraryA(name) and GetProcAddress for each name; false (and an
    // empty table) when the library cannot be loaded.
    bool load(const char* name = "modlink.dll");
    // FreeLibrary; the table becomes empty. Call only when the link is closed.
    void unload();

    bool loaded() const { return m_module != nullptr; }
    const DeviceLibrary& library() const { return m_library; }
    // How many of the 26 names resolved (the optional additions not counted).
    int resolvedCount() const;

private:
    platform::HMODULE m_module = nullptr;
    DeviceLibrary m_library;
};

}  // namespace msgdesk
