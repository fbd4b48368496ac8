// SPDX-License-Identifier: GPL-3.0-or-later
// A device whose SIM wants its PIN: asked for it, read once unlocked, the
// others read and used meanwhile.
#include "DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

struct PinCall {
    int device;
    std::string pin, newPin;
    bool hasNewPin;
};
std::vector<PinCall> g_pinCalls;
int g_nextPinId = 7000;

int MODLINK_CALL fakeEnterSimPin(int device, const char* pin, const char* newPin) {
    g_pinCalls.push_back({device, pin ? pin : "", newPin ? newPin : "", newPin != nullptr});
    return g_nextPinId++;
}

class SimUnlockTest : public DeviceLinkTest {
protected:
    void SetUp() override {
        g_pinCalls.clear();
        auto table = lib.table();
        table.EnterSimPin = &fakeEnterSimPin;
        make(table);
    }
    // Connects n devices; device `locked` tells a locked SIM with its
    // registration, as the library does.
    void connectLocked(int n, int locked, const char* state) {
        lib.setDeviceCount(n);
        lib.onCall(Op::RegistCallbackFunction, [&, locked, state](const FakeDeviceLibrary::Call&) {
            lib.fire(MODLINK_EV_SIM_STATE, state, locked);
        });
        link->connect();
        loop.runUntilIdle();
    }
    // The start-up poll's two phases, answering the centres it asks for.
    void poll() {
        loop.advance(5000);
        for (auto& c : lib.calls(Op::GetGSMCenter))
            lib.fire(MODLINK_EV_GET_CENTER, "+8613800100500", c.result);
        loop.advance(5000);
        loop.runUntilIdle();
    }
    std::vector<int> asked(Op op) {
        std::vector<int> out;
        for (auto& c : lib.calls(op)) out.push_back(c.a);
        return out;
    }
};

TEST_F(SimUnlockTest, WrongPinThenRightOneAndTheDeviceIsReadAsAtConnect) {
    ports.codes = {SimCode{"0000", ""}, SimCode{"1234", ""}};
    connectLocked(2, 2, "SIM PIN,3");
    ASSERT_EQ(ports.prompts.size(), 1u);
    EXPECT_EQ(ports.prompts[0].device, 2);
    EXPECT_FALSE(ports.prompts[0].puk);
    EXPECT_FALSE(ports.prompts[0].wrong);
    EXPECT_NE(ports.prompts[0].message.find("Zunto(2)"), std::string::npos);
    EXPECT_EQ(ports.prompts[0].triesText, "剩余尝试次数：3");
    ASSERT_EQ(g_pinCalls.size(), 1u);
    EXPECT_EQ(g_pinCalls[0].device, 2);
    EXPECT_EQ(g_pinCalls[0].pin, "0000");
    EXPECT_FALSE(g_pinCalls[0].hasNewPin);
    // Meanwhile only device 1 is asked anything.
    poll();
    EXPECT_EQ(asked(Op::GetGSMCenter), std::vector<int>{1});
    EXPECT_EQ(asked(Op::GetExistedMessage), std::vector<int>{1});
    EXPECT_EQ(asked(Op::GetSavedTelphone), std::vector<int>{1});
    // Wrong: asked again, saying so, with one try less.
    lib.fire(MODLINK_EV_ENTER_PIN, "ERROR: +CME ERROR: 16", 7000);
    lib.fire(MODLINK_EV_SIM_STATE, "SIM PIN,2", 2);
    loop.runUntilIdle();
    ASSERT_EQ(ports.prompts.size(), 2u);
    EXPECT_TRUE(ports.prompts[1].wrong);
    EXPECT_EQ(ports.prompts[1].message.rfind("PIN码错误", 0), 0u);
    EXPECT_EQ(ports.prompts[1].triesText, "剩余尝试次数：2");
    ASSERT_EQ(g_pinCalls.size(), 2u);
    EXPECT_EQ(g_pinCalls[1].pin, "1234");
    EXPECT_TRUE(link->devices().simLocked(2));
    // Right: read as at connect, once, and nothing of device 1 again.
    lib.fire(MODLINK_EV_ENTER_PIN, "OK", 7001);
    loop.runUntilIdle();
    EXPECT_FALSE(link->devices().simLocked(2));
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    poll();
    EXPECT_EQ(asked(Op::GetGSMCenter), (std::vector<int>{1, 2}));
    EXPECT_EQ(asked(Op::GetExistedMessage), (std::vector<int>{1, 2}));
    EXPECT_EQ(asked(Op::GetSavedTelphone), (std::vector<int>{1, 2}));
    EXPECT_EQ(asked(Op::GetSimInfo), (std::vector<int>{1, 1, 2, 2}));
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(ports.prompts.size(), 2u);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(link->pendingRetries(), 0u);
}

TEST_F(SimUnlockTest, CancelLeavesTheDeviceUnusedAndTheOthersWorking) {
    connectLocked(2, 1, "SIM PIN");
    ASSERT_EQ(ports.prompts.size(), 1u);
    EXPECT_EQ(ports.prompts[0].triesText, "");  // the modem did not tell
    EXPECT_TRUE(link->simUnlock().cancelled(1));
    EXPECT_TRUE(g_pinCalls.empty());
    // Told again (a new registration): not asked again.
    lib.fire(MODLINK_EV_SIM_STATE, "SIM PIN", 1);
    loop.runUntilIdle();
    EXPECT_EQ(ports.prompts.size(), 1u);
    poll();
    EXPECT_EQ(asked(Op::GetGSMCenter), std::vector<int>{2});
    EXPECT_EQ(asked(Op::GetExistedMessage), std::vector<int>{2});
    // A read that meets the lock is not retried; no centre is given up on.
    loop.advance(60000);
    EXPECT_EQ(asked(Op::GetGSMCenter), std::vector<int>{2});
    EXPECT_FALSE(link->devices().centreUnknown(1));
    EXPECT_TRUE(boxes.shown.empty());
    // The next connect asks again.
    link->disconnect();
    loop.advance(1000);
    connectLocked(2, 1, "SIM PIN");
    EXPECT_EQ(ports.prompts.size(), 2u);
}

TEST_F(SimUnlockTest, PukAsksForANewPinAndAMissingSimForNothing) {
    ports.codes = {SimCode{"1234567", "4321"}, SimCode{"12345678", "4321"}};
    connectLocked(3, 3, "SIM PUK,10");
    lib.fire(MODLINK_EV_SIM_STATE, "SIM not inserted", 2);
    loop.runUntilIdle();
    // A PUK of 7 digits is not sent: asked again at once.
    ASSERT_EQ(ports.prompts.size(), 2u);
    EXPECT_TRUE(ports.prompts[0].puk);
    EXPECT_EQ(ports.prompts[0].device, 3);
    EXPECT_TRUE(ports.prompts[1].wrong);
    ASSERT_EQ(g_pinCalls.size(), 1u);
    EXPECT_EQ(g_pinCalls[0].pin, "12345678");
    EXPECT_EQ(g_pinCalls[0].newPin, "4321");
    EXPECT_TRUE(g_pinCalls[0].hasNewPin);
    // The missing SIM: no dialog, not polled.
    EXPECT_TRUE(link->devices().simLocked(2));
    poll();
    EXPECT_EQ(asked(Op::GetGSMCenter), std::vector<int>{1});
}

TEST_F(SimUnlockTest, AnOlderLibraryWithoutEnterSimPinAsksNothing) {
    make(lib.table());  // no EnterSimPin
    connectLocked(2, 1, "SIM PIN,3");
    EXPECT_TRUE(ports.prompts.empty());
    EXPECT_TRUE(link->simUnlock().cancelled(1));
    poll();
    EXPECT_EQ(asked(Op::GetGSMCenter), std::vector<int>{2});
}

TEST(SimCodes, FormsAndStateTexts) {
    struct Row {
        const char* code;
        bool puk, ok;
    } rows[] = {
        {"1234", false, true},       {"123", false, false},    {"12345678", false, true},
        {"123456789", false, false}, {"12a4", false, false},   {"", false, false},
        {"12345678", true, true},    {"1234567", true, false}, {"123456789", true, false},
    };
    for (auto& r : rows) EXPECT_EQ(validSimCode(r.code, r.puk), r.ok) << r.code << " " << r.puk;
    EXPECT_EQ(parseSimState("SIM PIN,3").code, "SIM PIN");
    EXPECT_EQ(parseSimState("SIM PIN,3").triesLeft, 3);
    EXPECT_EQ(parseSimState("SIM PUK,10").triesLeft, 10);
    EXPECT_EQ(parseSimState("SIM PUK,100").triesLeft, -1);
    EXPECT_EQ(parseSimState("PH-SIM PIN").triesLeft, -1);
    EXPECT_EQ(parseSimState("SIM PIN,x").triesLeft, -1);
}

}  // namespace
}  // namespace msgdesk::test
