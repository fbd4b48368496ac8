// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Taking a modem from ModemManager before one of our programs opens its
// ports. ModemManager frees a modem for as long as the D-Bus connection that
// inhibited it lives, and refuses a second inhibition, so one helper process
// per modem (zunto-modem-hold) holds it for every program: it keeps the
// inhibition while any of the modem's ports has a live UUCP lock file and
// then ends, and ModemManager takes the modem back. The programs never talk
// to each other; the helper's own files in the lock directory tell a second
// caller that the modem is already held.
struct ModemHoldRequest {
    // The USB device's directory as this process sees it (below a test's
    // sysfs root, if any), its ports are found below it.
    std::string usbDevice;
    // The same device as ModemManager names it (Modem.Device): "/sys/devices/…".
    std::string uid;
    // The port about to be opened, e.g. /dev/ttyUSB2.
    std::string port;
};

// The request for the serial port of a USB device; sysRoot stands for /sys
// (MODLINK_SYSFS_ROOT, WANMATE_SYSFS_ROOT in tests). Empty usbDevice when
// the port belongs to no USB device.
ModemHoldRequest modemHoldRequestFor(const std::string& port, const std::string& sysRoot);
// "/sys/devices/…" for a USB device directory found below sysRoot.
std::string managerUidOf(const std::string& usbDevice, const std::string& sysRoot);

struct ModemHoldResult {
    enum class Kind {
        Held,        // inhibited (by this call's helper or one already running)
        NotRunning,  // no ModemManager on the system bus: nothing to take
        Ignored,     // the device is marked ID_MM_DEVICE_IGNORE
        Unmanaged,   // ModemManager runs but had no modem for it within the wait
        Refused,     // ModemManager said no (polkit, another holder): keep off
        Failed,      // no helper or no answer from it; traced, the port is used as before
    };
    Kind kind = Kind::Failed;
    std::string reason;  // ModemManager's error, or why the helper failed

    // Whether the port may be opened now.
    bool mayOpen() const { return kind != Kind::Refused; }
    // One line for a trace.
    std::string describe() const;
};

// Blocks until the modem is held or it is clear that it need not or cannot
// be: when ModemManager runs and has not finished probing a new modem, this
// waits for its modem object (ZUNTO_HOLD_WAIT_MS, 30000) so no port is
// shared with its probing. Call it from a worker thread, never a window's.
ModemHoldResult holdModemFromManager(const ModemHoldRequest& request);

// The helper program: ZUNTO_MODEM_HOLD, else beside the running program,
// else in the installed library folder.
std::string modemHoldProgram();

// A time setting of the hold (ZUNTO_HOLD_WAIT_MS and its kind) in
// milliseconds from the environment: fallback when unset or outside
// 1..599999. The helper and its callers read them alike.
int holdSettingMs(const char* name, int fallback);

}  // namespace platform
