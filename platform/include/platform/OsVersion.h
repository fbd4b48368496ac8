// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>

namespace platform {

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

// The system version as the dialer's rules expect it. Tests give fixed ones.
class VersionSource {
public:
    virtual ~VersionSource() = default;
    // nullopt when the version cannot be read.
    virtual std::optional<OsVersion> read() = 0;
};

// Linux behaves as the newer system family the dialer knows: device changes
// are followed by a nodes-changed event, and there are no device
// enumeration keys to refresh. So it reports major version 5.
class HostVersion final : public VersionSource {
public:
    std::optional<OsVersion> read() override { return OsVersion{5, 1}; }
};

// 1 for major versions up to 4, 2 from 5 on.
inline int osFamilyOf(const OsVersion& v) {
    return v.major < 5 ? 1 : 2;
}

}  // namespace platform
