// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ModemPreparation.h"
#include "WanmateTestSupport.h"

namespace wanmate {
namespace {

using test::FaultyRegistry;

class ModemPreparationTest : public ::testing::Test {
protected:
    std::string sub(const char* classKey, const std::string& name) {
        return std::string(classKey) + "\\" + name;
    }
    void modems(const char* classKey, std::initializer_list<const char*> names) {
        for (auto* n : names) reg.machine.createKey(sub(classKey, n));
    }
    std::optional<platform::RegValue> userInit(const char* classKey, const char* name) {
        return reg.machine.queryValue(sub(classKey, name), "UserInit");
    }

    test::TempDir dir;
    FaultyRegistry reg{dir.path()};
};

TEST_F(ModemPreparationTest, EveryModemOfTheClassGetsTheCommandWithItsNul) {
    modems(kModemClassKey2, {"0000", "0001", "0002"});
    reg.machine.setString(sub(kModemClassKey2, "0001"), "UserInit", "old");
    EXPECT_TRUE(WriteUserInit(reg, kModemClassKey2, "AT"));
    for (auto* n : {"0000", "0001", "0002"}) {
        auto v = userInit(kModemClassKey2, n);
        ASSERT_TRUE(v) << n;
        EXPECT_EQ(v->data, std::string("AT\0", 3));
        EXPECT_EQ(v->type, platform::RegType::Sz);
    }
}

TEST_F(ModemPreparationTest, AClassKeyWithoutModemsSucceedsAndAMissingOneFails) {
    reg.machine.createKey(kModemClassKey2);
    int sets = reg.sets;
    EXPECT_TRUE(WriteUserInit(reg, kModemClassKey2, "AT"));
    EXPECT_EQ(reg.sets, sets);
    EXPECT_FALSE(WriteUserInit(reg, kModemClassKey1, "AT"));
    EXPECT_FALSE(reg.machine.keyExists(kModemClassKey1)) << "a failed open creates nothing";
}

TEST_F(ModemPreparationTest, TheWalkStopsAtTheFirstSubkeyThatFails) {
    modems(kModemClassKey2, {"0000", "0001", "0002"});
    reg.failOpen.insert(sub(kModemClassKey2, "0001"));
    EXPECT_FALSE(WriteUserInit(reg, kModemClassKey2, "ATZ"));
    EXPECT_TRUE(userInit(kModemClassKey2, "0000")) << "written before the failure: kept";
    EXPECT_FALSE(userInit(kModemClassKey2, "0002"));

    reg.failOpen.clear();
    reg.failSet.insert(sub(kModemClassKey2, "0000"));
    EXPECT_FALSE(WriteUserInit(reg, kModemClassKey2, "ATZ"));
    EXPECT_FALSE(userInit(kModemClassKey2, "0001"));
}

TEST_F(ModemPreparationTest, TheVersionChoosesTheClassKeyAndAFailedWalkStillGoesOn) {
    modems(kModemClassKey2, {"0000"});
    modems(kModemClassKey1, {"0000"});
    test::FixedVersion v4(4), v5(5), none(std::nullopt);

    EXPECT_TRUE(PrepareModem(reg, v4, "AT4"));
    EXPECT_EQ(userInit(kModemClassKey1, "0000")->data, std::string("AT4\0", 4));
    EXPECT_FALSE(userInit(kModemClassKey2, "0000"));

    EXPECT_TRUE(PrepareModem(reg, v5, "AT5"));
    EXPECT_EQ(userInit(kModemClassKey2, "0000")->data, std::string("AT5\0", 4));

    // A system of the older family without its class key: the walk fails,
    // the preparation does not.
    reg.machine.deleteKey(kModemClassKey1);
    EXPECT_TRUE(PrepareModem(reg, v4, "AT"));

    int sets = reg.sets;
    EXPECT_FALSE(PrepareModem(reg, none, "AT"));
    EXPECT_EQ(reg.sets, sets);
}

TEST_F(ModemPreparationTest, FoundPortsGetADriverKeyNamedAfterThem) {
    EXPECT_EQ(registerModemPorts(reg, 2, {"ttyUSB0", "ttyACM1"}), 2);
    EXPECT_EQ(reg.machine.getString(sub(kModemClassKey2, "ttyUSB0"), "AttachedTo"), "/dev/ttyUSB0");
    EXPECT_TRUE(reg.machine.keyExists(sub(kModemClassKey2, "ttyACM1")));
    // Known ports are left alone; a name that would make a path is refused.
    reg.machine.setString(sub(kModemClassKey2, "ttyUSB0"), "UserInit", "ATZ");
    EXPECT_EQ(registerModemPorts(reg, 2, {"ttyUSB0", "../x", "a\\b", ""}), 0);
    EXPECT_EQ(reg.machine.getString(sub(kModemClassKey2, "ttyUSB0"), "UserInit"), "ATZ");
    EXPECT_EQ(registerModemPorts(reg, 1, {"ttyUSB0"}), 1);
    EXPECT_TRUE(reg.machine.keyExists(sub(kModemClassKey1, "ttyUSB0")));
    // They are then reached by the init command.
    EXPECT_TRUE(WriteUserInit(reg, kModemClassKey2, "AT"));
    EXPECT_EQ(reg.machine.getString(sub(kModemClassKey2, "ttyACM1"), "UserInit"), "AT");
}

}  // namespace
}  // namespace wanmate
