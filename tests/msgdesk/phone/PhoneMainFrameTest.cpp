// SPDX-License-Identifier: GPL-3.0-or-later
// The phone dialog inside the main frame's core, on the fake device library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using Op = FakeDeviceLibrary::Op;

class PhoneInFrame : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("phoneframe-" + std::to_string(::getpid()));
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    QuietWindow window;
    static constexpr const char* kKey = "Software\\Kelvo\\KelvoZunto短信中心\\settings";

    void SetUp() override {
        fs::create_directories(dir);
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        reg->setDword(kKey, "Volume", 40);
        fake.setDeviceCount(2);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            loop, loop.clock(), boxes, *reg, (dir / "guide.html").string(), dir, &table});
        core->attachWindow(&window);
        ASSERT_TRUE(core->create());
        loop.runUntilIdle();  // connects
        ASSERT_TRUE(core->link().linkActive());
        fake.clearCalls();
    }
    void TearDown() override {
        core.reset();
        fs::remove_all(dir);
    }
};

TEST_F(PhoneInFrame, AVolumeTheDeviceRefusedIsStillWrittenAtClose) {
    PhoneDialogCore& phone = *core->phone();
    EXPECT_EQ(phone.volume(), 40);  // from the Volume setting
    fake.setResult(Op::SetVolume, -1);
    phone.volumeUp();
    EXPECT_EQ(fake.calls(Op::SetVolume).at(0).b, 50);
    EXPECT_EQ(phone.volume(), 50);
    EXPECT_EQ(fake.count(Op::EndPhone), 1);  // the refusal came back; no call is on
    bool done = false;
    core->close([&] { done = true; });
    loop.advance(300);
    ASSERT_TRUE(done);
    EXPECT_EQ(reg->getDword(kKey, "Volume"), 50u);
    EXPECT_EQ(core->phone(), nullptr);  // destroyed at exit
}

}  // namespace
}  // namespace msgdesk::test
