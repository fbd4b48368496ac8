#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/MessageLoop.h"

namespace platform {

// One kernel or udev event as the monitor sees it.
struct Uevent {
    std::string action;  // "add", "remove", "bind", "change", ...
    std::string subsystem;
    std::string devtype;
    std::string devpath;
};

// Where device events come from: a descriptor that becomes readable when an
// event is waiting, and the event itself. Tests give a pipe-backed fake.
class UeventSource {
public:
    virtual ~UeventSource() = default;
    virtual int fd() const = 0;
    // The waiting event; nullopt when none could be read.
    virtual std::optional<Uevent> receive() = 0;
};

// A libudev netlink monitor filtered to a subsystem (and device type, when
// not empty). It listens to udev's events when udev runs here, otherwise to
// the kernel's own, so it works in containers without udevd too.
class LibudevSource final : public UeventSource {
public:
    // nullptr, with the reason in *error, when netlink is unavailable.
    static std::unique_ptr<LibudevSource> open(const std::string& subsystem,
                                               const std::string& devtype, std::string* error);
    ~LibudevSource() override;
    int fd() const override;
    std::optional<Uevent> receive() override;
    const char* origin() const { return m_origin; }

private:
    LibudevSource() = default;
    struct udev* m_udev = nullptr;
    struct udev_monitor* m_monitor = nullptr;
    const char* m_origin = "";
};

// Watches a source on a thread of its own and posts, for every USB device
// added or removed, WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE to the target, each followed by one with
// DBT_DEVNODES_CHANGED, as the system the dialer was written for reports
// every change. The thread only posts; handlers run on the window thread.
class HotplugMonitor final {
public:
    HotplugMonitor(std::unique_ptr<UeventSource> source, MessageLoop& loop, MessageTarget* target);
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    bool start();
    // Ends the thread and waits for it; safe to call twice.
    void stop();

private:
    void run();

    std::unique_ptr<UeventSource> m_source;
    MessageLoop& m_loop;
    MessageTarget* m_target;
    int m_wake = -1;
    std::thread m_thread;
};

// The translation the monitor applies: the event types to post for one
// event, none for events that are not a USB device coming or going.
struct DeviceChangeEvents {
    unsigned count = 0;
    unsigned types[2] = {0, 0};
};
DeviceChangeEvents deviceChangeFor(const Uevent& e);

}  // namespace platform
