// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

#include "platform/Autostart.h"

namespace platform {

// An XDG autostart entry: $XDG_CONFIG_HOME/autostart/<name>.desktop (or
// ~/.config/autostart/...), written atomically.
class XdgAutostart final : public AutostartPort {
public:
    // icon: an icon theme name for the entry (none when empty).
    XdgAutostart(std::string name, std::string displayName, std::string icon = {});
    bool present() const override;
    bool install(const std::string& programPath) override;
    bool remove() override;
    std::filesystem::path entryPath() const;

private:
    std::string m_name;
    std::string m_displayName;
    std::string m_icon;
};

}  // namespace platform
