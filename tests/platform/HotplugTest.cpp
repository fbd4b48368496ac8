// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>

#include "platform/DeviceChange.h"
#include "platform/HotplugMonitor.h"
#include "platform/LibudevSource.h"
#include "platform/ManualMessageLoop.h"

namespace platform {
namespace {

TEST(DeviceChangeFor, OnlyUsbDevicesComingOrGoingPostTwoEvents) {
    struct Row {
        Uevent e;
        unsigned count, first;
    };
    const Row rows[] = {
        {{"add", "usb", "usb_device", ""}, 2, DBT_DEVICEARRIVAL},
        {{"remove", "usb", "usb_device", ""}, 2, DBT_DEVICEREMOVECOMPLETE},
        {{"bind", "usb", "usb_device", ""}, 0, 0},
        {{"change", "usb", "usb_device", ""}, 0, 0},
        {{"add", "usb", "usb_interface", ""}, 0, 0},
        {{"add", "tty", "", ""}, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.e.action + " " + r.e.subsystem + " " + r.e.devtype);
        DeviceChangeEvents d = deviceChangeFor(r.e);
        EXPECT_EQ(d.count, r.count);
        if (r.count) {
            EXPECT_EQ(d.types[0], r.first);
            EXPECT_EQ(d.types[1], DBT_DEVNODES_CHANGED);
        }
    }
}

struct Recorder final : MessageTarget {
    std::intptr_t onMessage(const Message& m) override {
        got.push_back({m.msg, static_cast<unsigned>(m.wParam)});
        return 0;
    }
    std::vector<std::pair<unsigned, unsigned>> got;
};

class ScriptedSource final : public UeventSource {
public:
    ScriptedSource() { (void)!pipe(m_fds); }
    ~ScriptedSource() override {
        close(m_fds[0]);
        close(m_fds[1]);
    }
    int fd() const override { return m_fds[0]; }
    std::optional<Uevent> receive() override {
        char c;
        if (read(m_fds[0], &c, 1) != 1) return std::nullopt;
        if (c == 'a') return Uevent{"add", "usb", "usb_device", "/1-1"};
        if (c == 'r') return Uevent{"remove", "usb", "usb_device", "/1-1"};
        if (c == 'i') return Uevent{"add", "usb", "usb_interface", "/1-1:1.0"};
        return std::nullopt;  // unreadable event
    }
    void emit(const std::string& s) { (void)!write(m_fds[1], s.data(), s.size()); }

private:
    int m_fds[2];
};

TEST(HotplugMonitor, PostsArrivalAndRemovalEachFollowedByNodesChangedInOrder) {
    ManualMessageLoop loop;
    Recorder target;
    auto source = std::make_unique<ScriptedSource>();
    ScriptedSource* s = source.get();
    HotplugMonitor monitor(std::move(source), loop, &target);
    ASSERT_TRUE(monitor.start());
    EXPECT_FALSE(monitor.start()) << "one thread per monitor";
    s->emit("aixr");
    for (int i = 0; i < 400 && loop.queued() < 4; ++i) usleep(5000);
    monitor.stop();
    monitor.stop();
    loop.runUntilIdle();
    using P = std::pair<unsigned, unsigned>;
    EXPECT_EQ(target.got, (std::vector<P>{{WM_DEVICECHANGE, DBT_DEVICEARRIVAL},
                                          {WM_DEVICECHANGE, DBT_DEVNODES_CHANGED},
                                          {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE},
                                          {WM_DEVICECHANGE, DBT_DEVNODES_CHANGED}}));
}

TEST(LibudevSource, TheRealMonitorStartsAndStops) {
    std::string why;
    auto source = LibudevSource::open("usb", "usb_device", &why);
    if (!source) GTEST_SKIP() << "netlink device events unavailable here: " << why;
    EXPECT_GE(source->fd(), 0);
    ManualMessageLoop loop;
    Recorder target;
    HotplugMonitor monitor(std::move(source), loop, &target);
    ASSERT_TRUE(monitor.start());
    usleep(20000);
    monitor.stop();
    loop.runUntilIdle();
    for (auto& [msg, type] : target.got) {
        EXPECT_EQ(msg, WM_DEVICECHANGE);  // a real USB change during the test
        (void)type;
    }
}

// The netlink path end to end: a synthetic "change" event on the loopback
// interface's device, which changes nothing on the machine.
TEST(LibudevSource, ReceivesARealKernelEvent) {
    const char* uevent = "/sys/class/net/lo/uevent";
    if (access(uevent, W_OK) != 0) GTEST_SKIP() << "cannot raise a test event: " << uevent;
    std::string why;
    auto source = LibudevSource::open("net", "", &why);
    if (!source) GTEST_SKIP() << "netlink device events unavailable here: " << why;
    if (std::string(source->origin()) != "kernel")
        GTEST_SKIP() << "udev runs here; its rules would act on the test event";
    std::ofstream(uevent) << "change\n";
    pollfd p{source->fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1) << "no event within 2 s";
    auto e = source->receive();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->action, "change");
    EXPECT_EQ(e->subsystem, "net");
    EXPECT_EQ(deviceChangeFor(*e).count, 0u);
}

}  // namespace
}  // namespace platform
