// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "DialerSettings.h"
#include "WanmateTestSupport.h"
#include "platform/XdgAutostart.h"

namespace wanmate {
namespace {

using platform::RegType;
using test::FakeSettingsView;
using test::FaultyRegistry;

constexpr const char* kProgram = "/opt/kelvo zunto/bin/wanmate";

class DialerSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", (dir.path() / "cfg").c_str(), 1); }

    RegValue value(const char* key, const char* name) {
        auto v = reg.user.queryValue(key, name);
        return v ? *v : RegValue{RegType::Binary, "<missing>"};
    }
    void putSz(const char* name, const std::string& bytes) {
        reg.user.setValue(kSettingsKey, name, RegValue{RegType::Sz, bytes});
    }
    void putDword(const char* name, uint32_t x) { reg.user.setDword(kSettingsKey, name, x); }
    void putAll(uint32_t autorun, uint32_t ip, const std::string& number, const std::string& init) {
        putDword("bAutorun", autorun);
        putDword("IP address", ip);
        putSz("Phone number", number + '\0');
        putSz("Init Command", init + '\0');
    }

    test::TempDir dir;
    FaultyRegistry reg{dir.path()};
    FakeSettingsView view;
    platform::XdgAutostart autostart{"wanmate", "KelvoZunto"};
    DialerSettings settings{reg, autostart, view, kProgram};
};

TEST_F(DialerSettingsTest, FirstStartWritesTheDefaultsAndRemovesTheAutorunEntry) {
    reg.user.setString(kRunKey, kRunValue, "/old/wanmate");
    ASSERT_TRUE(autostart.install("/old/wanmate"));

    settings.startUp();

    EXPECT_EQ(value(kSettingsKey, "bAutorun").data, std::string("\1\0\0\0", 4));
    EXPECT_EQ(value(kSettingsKey, "bAutorun").type, RegType::Dword);
    EXPECT_EQ(value(kSettingsKey, "IP address").data, std::string(4, '\0'));
    EXPECT_EQ(value(kSettingsKey, "Phone number").data, std::string("*99#\0", 5));
    EXPECT_EQ(value(kSettingsKey, "Init Command").data,
              std::string("AT+CGDCONT=1,\"IP\",\"CMNET\"") + '\0');
    EXPECT_FALSE(reg.user.queryValue(kRunKey, kRunValue));
    EXPECT_FALSE(autostart.present());
    EXPECT_EQ(view.addr, 0u);
    EXPECT_EQ(view.list, (std::vector<std::string>{"*99#", "*99***1#"}));
    EXPECT_EQ(view.shown.dialNumber, "*99#");
    EXPECT_EQ(view.shown.dialOnInsert, 1u);
    EXPECT_EQ(view.shown.startWithSystem, 0u);
}

TEST_F(DialerSettingsTest, NumberListHoldsEachPresetOnceAndAnOtherNumberFirst) {
    using L = std::vector<std::string>;
    EXPECT_EQ(DialerSettings::numberList("*99***1#"), (L{"*99#", "*99***1#"}));
    EXPECT_EQ(DialerSettings::numberList("*99#"), (L{"*99#", "*99***1#"}));
    EXPECT_EQ(DialerSettings::numberList("*99***2#"), (L{"*99***2#", "*99#", "*99***1#"}));

    putAll(0, 0x0A000001, "*99***1#", "AT");
    settings.startUp();
    EXPECT_EQ(view.list, (L{"*99#", "*99***1#"}));
    EXPECT_EQ(view.shown.dialNumber, "*99***1#");
    EXPECT_EQ(view.addr, 0x0A000001u);
    EXPECT_EQ(view.shown.dialOnInsert, 0u);
}

TEST_F(DialerSettingsTest, TextsStoredWithoutTheirNulLoadWhole) {
    putDword("bAutorun", 1);
    putDword("IP address", 0);
    putSz("Phone number", "*99***1#");
    putSz("Init Command", "AT");
    EXPECT_TRUE(settings.LoadSettings());
    EXPECT_EQ(settings.fields().initCommand, "AT");
    EXPECT_EQ(settings.fields().dialNumber, "*99***1#");
}

TEST_F(DialerSettingsTest, TextsFitTheirBufferOfTwoHundredAndSixtyBytes) {
    putAll(1, 0, "", "AT");
    putSz("Phone number", std::string(260, '1'));
    EXPECT_TRUE(settings.LoadSettings());
    EXPECT_EQ(settings.fields().dialNumber.size(), 260u);

    putSz("Phone number", std::string(261, '1'));
    EXPECT_TRUE(settings.LoadSettings()) << "a number too long is read as empty";
    EXPECT_EQ(settings.fields().dialNumber, "");

    putSz("Init Command", std::string(261, 'A'));
    EXPECT_FALSE(settings.LoadSettings());
}

TEST_F(DialerSettingsTest, AKeyLackingAValueCountsAsMissingAndTheDefaultsAreSaved) {
    struct Row {
        const char* missing;
        bool loads;
        uint32_t dialOnInsert;
        const char* number;
    };
    for (Row r : {Row{"bAutorun", false, 1, "*99#"}, Row{"IP address", false, 0, "*99#"},
                  Row{"Init Command", false, 0, "*99#"}, Row{"Phone number", true, 0, ""}}) {
        SCOPED_TRACE(r.missing);
        reg.user.deleteKey(kSettingsKey);
        putAll(0, 0x01020304, "12345", "ATZ");
        reg.user.deleteValue(kSettingsKey, r.missing);
        view.addr = 0x7F7F7F7F;

        settings.startUp();

        EXPECT_EQ(settings.fields().dialOnInsert, r.dialOnInsert);
        EXPECT_EQ(settings.fields().dialNumber, r.number);
        if (r.loads) {
            EXPECT_EQ(view.addr, 0x01020304u);
            EXPECT_FALSE(reg.user.queryValue(kSettingsKey, "Phone number")) << "nothing saved";
        } else {
            EXPECT_EQ(view.addr, 0u);
            EXPECT_EQ(settings.fields().initCommand, kDefaultInit);
            EXPECT_EQ(value(kSettingsKey, "Phone number").data, std::string("*99#\0", 5));
            EXPECT_EQ(value(kSettingsKey, "IP address").data, std::string(4, '\0'));
            EXPECT_EQ(reg.user.getDword(kSettingsKey, "bAutorun"), r.dialOnInsert);
        }
    }
}

TEST_F(DialerSettingsTest, ADwordLargerThanFourBytesFailsTheLoad) {
    putAll(0, 0, "*99#", "AT");
    putSz("bAutorun", std::string(4, '\0'));
    EXPECT_TRUE(settings.LoadSettings());
    putSz("bAutorun", std::string(5, '\0'));
    EXPECT_FALSE(settings.LoadSettings());
}

TEST_F(DialerSettingsTest, ApplyWritesTheAutorunValueWithTheFullPathAndClearingDeletesIt) {
    settings.startUp();
    view.controls = {"ATE0", "*99***1#", 1, 1};
    view.addr = 0xC0A80101;
    EXPECT_TRUE(settings.apply());
    EXPECT_EQ(value(kRunKey, kRunValue).data, std::string(kProgram) + '\0');
    EXPECT_EQ(value(kSettingsKey, "IP address").data, std::string("\x01\x01\xA8\xC0", 4));
    ASSERT_TRUE(autostart.present());
    EXPECT_NE(test::slurp(autostart.entryPath()).find("Exec=\"/opt/kelvo zunto/bin/wanmate\""),
              std::string::npos);

    view.controls.startWithSystem = 0;
    EXPECT_TRUE(settings.apply());
    EXPECT_FALSE(reg.user.queryValue(kRunKey, kRunValue));
    EXPECT_FALSE(autostart.present());
    // Deleting a value that is not there fails the result, and only that.
    view.controls.dialNumber = "*99#";
    EXPECT_FALSE(settings.apply());
    EXPECT_EQ(value(kSettingsKey, "Phone number").data, std::string("*99#\0", 5));
}

TEST_F(DialerSettingsTest, ApplyCutsTextsToTheInputLimitsAtACharacterBoundary) {
    settings.startUp();
    view.controls = {std::string(49, 'A'), std::string(19, '1'), 1, 0};
    settings.apply();
    EXPECT_EQ(settings.fields().initCommand.size(), 49u);
    EXPECT_EQ(settings.fields().dialNumber.size(), 19u);

    view.controls = {std::string(48, 'A') + "\xD6\xD0", std::string(20, '1'), 1, 0};
    settings.apply();
    EXPECT_EQ(settings.fields().initCommand, std::string(48, 'A'));
    EXPECT_EQ(settings.fields().dialNumber, std::string(19, '1'));
}

TEST_F(DialerSettingsTest, DefaultsThenHideChangeNothingInTheRegistry) {
    putAll(0, 0x0A000001, "12345", "ATZ");
    settings.startUp();
    std::string before = test::slurp(reg.user.file());
    int sets = reg.sets;

    settings.RestoreDefaults();

    EXPECT_EQ(view.addr, 0u);
    EXPECT_EQ(view.shown.dialNumber, "*99#");
    EXPECT_EQ(view.shown.initCommand, kDefaultInit);
    EXPECT_EQ(view.shown.dialOnInsert, 0u) << "check boxes go back to the last applied state";
    EXPECT_EQ(reg.sets, sets);
    EXPECT_EQ(test::slurp(reg.user.file()), before);
}

TEST_F(DialerSettingsTest, OnceTheKeyExistsTheStartCheckBoxFollowsTheAutostartEntry) {
    putAll(1, 0, "*99#", "AT");
    ASSERT_TRUE(autostart.install(kProgram));
    settings.startUp();
    EXPECT_EQ(view.shown.startWithSystem, 1u);
    // A later save with the box as it started keeps the entry.
    EXPECT_TRUE(settings.SaveSettings());
    EXPECT_TRUE(autostart.present());

    autostart.remove();
    settings.startUp();
    EXPECT_EQ(view.shown.startWithSystem, 0u);
}

TEST_F(DialerSettingsTest, FailedWritesEndTheSaveWhereTheyHappen) {
    reg.failSet.insert(std::string(kSettingsKey) + "|IP address");
    settings.fields().startWithSystem = 1;
    EXPECT_FALSE(settings.SaveSettings());
    EXPECT_FALSE(reg.user.queryValue(kRunKey, kRunValue)) << "the Run key is not reached";
    EXPECT_TRUE(reg.user.queryValue(kSettingsKey, "Init Command"));

    reg.failSet.clear();
    reg.failCreate.insert(kSettingsKey);
    int sets = reg.sets;
    EXPECT_FALSE(settings.SaveSettings());
    EXPECT_EQ(reg.sets, sets) << "nothing written without the key";
}

}  // namespace
}  // namespace wanmate
