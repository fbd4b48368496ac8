// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <string>
#include <vector>

namespace zunto::hold {

// The files by which the helpers of one modem find each other, in the lock
// directory beside the UUCP lock files: "zunto-modem-hold.<dev>" is locked
// (flock) by the one helper that holds the modem and says its state;
// "<...>.gate" is locked for the short moments a helper joins or ends, so a
// helper never ends while a newcomer counts on it. A newcomer that finds a
// holder touches the gate, which restarts the holder's grace time.
class HolderFiles final {
public:
    explicit HolderFiles(std::string base);
    ~HolderFiles();
    HolderFiles(const HolderFiles&) = delete;
    HolderFiles& operator=(const HolderFiles&) = delete;

    enum class Claim { Holder, Joined, Failed };
    // Becomes the holder, or joins the one there is (renewing its grace).
    Claim claim(std::string& detail);
    // What the holder says: "waiting", "held", or empty when there is none.
    std::string holderState() const;
    void setState(const std::string& state);
    // The last time a newcomer joined (or the claim, for the holder).
    std::chrono::system_clock::time_point lastJoin() const;
    // Ends holding under the gate unless `keep` (asked under the gate) says
    // the modem is still needed; true when ended. The gate stays locked
    // until this object goes, so nobody joins a holder that is leaving.
    template <class Keep>
    bool endUnless(Keep keep) {
        const bool gated = lockGate();
        if (keep()) {
            if (gated) unlockGate();
            return false;
        }
        setState("ending");
        return true;
    }

    // The directory holding the lock files (MODLINK_LOCK_DIR, else the
    // first system lock directory that exists, else /tmp).
    static std::string lockDirectory();

private:
    bool lockGate();
    void unlockGate();

    std::string m_base;
    int m_stateFd = -1;
    int m_gateFd = -1;
    std::chrono::system_clock::time_point m_claimed = std::chrono::system_clock::now();
};

// The UUCP lock files that say a program uses one of the modem's ports:
// LCK..<tty> for every tty below the USB device and the port named, in
// every lock directory.
std::vector<std::string> modemLockFiles(const std::string& usbDevice, const std::string& port);
// Whether any of them names a live process.
bool anyLive(const std::vector<std::string>& lockFiles);

}  // namespace zunto::hold
