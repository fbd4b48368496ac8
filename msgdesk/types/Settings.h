// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace platform {
class RegistryStore;
}

namespace msgdesk {

// The four user settings the main frame holds while it runs. The values
// before reading are the frame's start values; reading then supplies the
// defaults for missing values (Sound 0, Resend = what the frame holds).
struct Settings {
    int32_t SaveInCard = 0;
    int32_t Sound = 1;
    int32_t Volume = 20;
    int32_t Resend = 5;
    // Ask the network for delivery reports (off: a report may cost money).
    int32_t StatusReport = 0;

    static constexpr const char* kProfileKey = "Software\\Kelvo\\KelvoZunto短信中心";

    // Reads SaveInCard, Sound, Volume, Resend in that order from "settings",
    // then StatusReport.
    void read(platform::RegistryStore& reg);
    // Writes SaveInCard and Sound to "Settings", then Volume and Resend to
    // "settings" (one key: names ignore case), then StatusReport to
    // "Settings". False when a write failed.
    bool write(platform::RegistryStore& reg) const;
};

}  // namespace msgdesk
