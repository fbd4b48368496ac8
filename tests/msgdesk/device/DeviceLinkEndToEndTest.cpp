// SPDX-License-Identifier: GPL-3.0-or-later
// The device link against the real device library and the simulated modem,
// headless. Skips until both are built into the binary directory.
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "device/DeviceBinding.h"
#include "msgdesk/device/DeviceLinkFixture.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The simulator, started with N devices. It prints "device D PATH" per modem
// on stdout; lines written to its stdin are its control commands.
class Simulator {
public:
    bool start(const std::string& exe, int devices) {
        m_ports =
            support::startZuntosim(m_proc,
                                   {exe, "--devices", std::to_string(devices), "--phonebook",
                                    std::string(ZUNTO_TEST_DATA) + "/msgdesk/sim-phonebook.txt"},
                                   devices);
        return m_proc.running();
    }
    // The paths of its "device D PATH" lines, read by start().
    std::vector<std::string> ports(int n, std::chrono::milliseconds) const {
        return static_cast<int>(m_ports.size()) >= n ? m_ports : std::vector<std::string>{};
    }
    void control(const std::string& line) { m_proc.send(line); }
    void stop() { m_proc.stop(SIGTERM); }

private:
    support::ChildProcess m_proc;
    std::vector<std::string> m_ports;
};

class EndToEnd : public ::testing::Test {
protected:
    platform::ManualMessageLoop loop;
    SimPhonebook book;
    RecordingPorts ports;
    platform::ScriptedMessageBox boxes;
    Sink sink;
    DeviceBinding binding;
    Simulator sim;
    std::unique_ptr<DeviceLink> link;

    // Real time and virtual time move together, so the link's timers run at
    // their own pace against the real library.
    bool pumpUntil(const std::function<bool()>& done, int seconds) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            loop.advance(50);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        loop.runUntilIdle();
        return done();
    }
    bool signalSeen(int device) const {
        for (auto& m : sink.of(UM_STATUSPANE))
            if (m.wParam == PANE_SIGNAL && m.lParam / 32 == device) return true;
        return false;
    }
    void TearDown() override {
        if (link && link->linkActive()) {
            link->disconnect();
            pumpUntil([&] { return !link->disconnectPending(); }, 5);
        }
        link.reset();
        sim.stop();
        unsetenv("MODLINK_PORTS");
        unsetenv("MODLINK_LIBRARY");
    }
};

TEST_F(EndToEnd, TwoSimulatedDevicesConnectPollUnplugAndDisconnect) {
    const std::string bin = ZUNTO_BIN_DIR;
    if (!fs::exists(bin + "/libmodlink.so") || !fs::exists(bin + "/zuntosim"))
        GTEST_SKIP() << "needs libmodlink.so and zuntosim in " << bin;
    ASSERT_TRUE(sim.start(bin + "/zuntosim", 2));
    auto paths = sim.ports(2, std::chrono::seconds(10));
    ASSERT_EQ(paths.size(), 2u);
    setenv("MODLINK_PORTS", (paths[0] + "," + paths[1]).c_str(), 1);
    setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
    ASSERT_TRUE(binding.load());
    ASSERT_EQ(binding.resolvedCount(), 26);
    link =
        std::make_unique<DeviceLink>(loop, nullptr, binding.library(), book, ports, boxes, &sink);

    link->connect();
    ASSERT_TRUE(link->linkActive()) << (boxes.shown.empty() ? "" : boxes.shown[0].text);
    ASSERT_EQ(link->deviceCount(), 2);

    auto& dev = link->devices();
    ASSERT_TRUE(pumpUntil(
        [&] {
            return dev.centreRead(1) && dev.centreRead(2) && dev.phonebookListed(1) &&
                   dev.phonebookListed(2) && dev.slot(1).messageCapacity > 0 &&
                   dev.slot(2).messageCapacity > 0 && link->simInitCount() == 0 && signalSeen(1) &&
                   signalSeen(2);
        },
        60));
    for (int d = 1; d <= 2; ++d) {
        EXPECT_FALSE(dev.centreNumber(d).empty()) << d;
        EXPECT_GT(dev.slot(d).phonebookCapacity, 0) << d;
        ASSERT_EQ(book.list(d).size(), 3u) << d;
        EXPECT_EQ(book.list(d)[0]->nameText(), platform::codepage::utf8ToGbk("王小明"));
        EXPECT_EQ(book.list(d)[2]->index, 4);
        EXPECT_EQ(dev.slot(d).phonebookUsed, std::min<int>(static_cast<int>(book.list(d).size()),
                                                           dev.slot(d).phonebookCapacity))
            << d;
    }

    // Unplug device 2 through the simulator's control channel.
    sim.control("unplug 2");
    ASSERT_TRUE(pumpUntil([&] { return !link->deviceAttached(2); }, 15));
    EXPECT_TRUE(link->linkActive());
    EXPECT_EQ(link->frameDeviceCount(), 1);
    EXPECT_TRUE(book.list(2).empty());
    EXPECT_FALSE(book.list(1).empty());

    bool closed = false;
    link->disconnect([&] { closed = true; });
    ASSERT_TRUE(pumpUntil([&] { return closed; }, 5));
    EXPECT_FALSE(link->linkActive());
    EXPECT_TRUE(book.list(1).empty());
    EXPECT_EQ(link->pending().count(), 0u);
}

}  // namespace
}  // namespace msgdesk::test
