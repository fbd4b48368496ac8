// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "contacts/SimInfoModel.h"
#include "platform/ManualMessageLoop.h"

namespace msgdesk {
namespace {

DeviceSnapshot snapshot(std::initializer_list<DeviceSlot> slots) {
    DeviceSnapshot s;
    int d = 0;
    for (const DeviceSlot& slot : slots) s.devices[++d] = slot;
    s.deviceCount = d;
    return s;
}

class SimInfoModelTest : public ::testing::Test {
protected:
    platform::ManualMessageLoop loop;
    std::vector<int> selected;
    void run(SimInfoModel& m, int ticks) {
        m.setSelectHandler([this](int d) { selected.push_back(d); });
        m.start();
        loop.advance(500 * ticks);
    }
};

TEST_F(SimInfoModelTest, LinesAreFilledFromTheSnapshot) {
    SimInfoModel m(loop, snapshot({{250, 12, 50, 3}, {0, 0, 0, 0}}));
    ASSERT_EQ(m.devices().size(), 2u);
    EXPECT_EQ(m.devices()[0].label, "Zunto[1]");
    EXPECT_EQ(m.devices()[0].phonebookLine, "电话簿空间(250个)，已用(12个)， 空闲(238个)");
    EXPECT_EQ(m.devices()[0].messageLine, "短信息容量(50条)，已有(3条)");
    EXPECT_EQ(m.devices()[1].label, "Zunto[2]");
}

TEST_F(SimInfoModelTest, OnlyTheFirstFullDeviceBlinksOnEverySecondTick) {
    SimInfoModel m(loop, snapshot({{250, 0, 50, 3}, {250, 0, 50, 50}, {250, 0, 30, 30}}));
    EXPECT_EQ(m.firstFullDevice(), 2);
    run(m, 4);
    EXPECT_EQ(selected, (std::vector<int>{0, 2, 0, 2}));
}

TEST_F(SimInfoModelTest, CapacityAndCountZeroCountAsFullAndNoFullCardSelectsNothing) {
    SimInfoModel unreported(loop, snapshot({{250, 0, 50, 49}, {0, 0, 0, 0}}));
    EXPECT_EQ(unreported.firstFullDevice(), 2);
    SimInfoModel roomy(loop, snapshot({{250, 0, 50, 49}}));
    run(roomy, 3);
    EXPECT_EQ(selected, (std::vector<int>{0, 0, 0}));
}

TEST_F(SimInfoModelTest, AClickStopsTheBlinking) {
    SimInfoModel m(loop, snapshot({{250, 0, 50, 50}}));
    run(m, 2);
    EXPECT_TRUE(m.blinking());
    m.click();
    EXPECT_FALSE(m.blinking());
    loop.advance(5000);
    EXPECT_EQ(selected, (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace msgdesk
