// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

#include "contacts/PropertiesModel.h"
#include "device/WindowMessages.h"
#include "types/Settings.h"

namespace msgdesk {
namespace {

class PropertiesModelTest : public ::testing::Test {
protected:
    Settings settings;
    platform::ScriptedMessageBox boxes;
    int count = 2;
    std::map<int, std::string> centre{{1, "+8613800100500"}, {2, "+8613800200500"}};
    std::map<int, bool> read{{1, true}, {2, true}};
    std::map<int, bool> givenUp;

    PropertiesModel::Devices devices() {
        return {[this] { return count; }, [this](int d) { return centre[d]; },
                [this](int d) { return read[d]; }, [this](int d) { return givenUp[d]; }};
    }
};

TEST_F(PropertiesModelTest, ResendCountAndListPositionMatchWithinOneToTwenty) {
    settings.Resend = 5;
    PropertiesModel m(settings, devices(), boxes);
    EXPECT_EQ(m.resendPosition, 4);  // the entry "5"
    m.resendPosition = 19;           // "20"
    Settings out;
    m.writeTo(out);
    EXPECT_EQ(out.Resend, 20);
    EXPECT_EQ(PropertiesModel::PositionForCount(1), 0);
    EXPECT_EQ(PropertiesModel::PositionForCount(20), 19);
    // A stored value outside the list preselects the nearest entry.
    EXPECT_EQ(PropertiesModel::PositionForCount(0), 0);
    EXPECT_EQ(PropertiesModel::PositionForCount(21), 19);
    EXPECT_EQ(PropertiesModel::PositionForCount(-7), 0);
}

TEST_F(PropertiesModelTest, CheckBoxesCarryKeepCopyAndSoundOff) {
    settings.SaveInCard = 1;
    settings.Sound = 0;
    PropertiesModel m(settings, devices(), boxes);
    EXPECT_TRUE(m.keepSimCopy);
    EXPECT_FALSE(m.soundOff);
    m.keepSimCopy = false;
    m.soundOff = true;
    m.writeTo(settings);
    EXPECT_EQ(settings.SaveInCard, 0);
    EXPECT_EQ(settings.Sound, 1);
}

TEST_F(PropertiesModelTest, AValidNumberIsAcceptedSilentlyAndMarksModified) {
    PropertiesModel m(settings, devices(), boxes);
    ASSERT_TRUE(m.listEnabled());
    ASSERT_EQ(m.rows().size(), 2u);
    EXPECT_EQ(m.rows()[1].label, "Zunto[2]");
    ASSERT_TRUE(m.beginEdit(0));
    m.endEdit(0, std::string("+8613800210500"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(m.modified());
    EXPECT_EQ(m.numbers(), (std::vector<std::string>{"+8613800210500", "+8613800200500"}));
}

TEST_F(PropertiesModelTest, ADoubtfulNumberAsksAndNoRestoresTheRememberedOne) {
    PropertiesModel m(settings, devices(), boxes);
    boxes.answers = {platform::IDNO};
    ASSERT_TRUE(m.beginEdit(1));
    m.endEdit(1, std::string("+86138 00200500"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60052u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(m.rows()[1].number, "+8613800200500");
    EXPECT_FALSE(m.modified());
    // Yes keeps the doubtful number.
    boxes.answers = {platform::IDYES};
    ASSERT_TRUE(m.beginEdit(1));
    m.endEdit(1, std::string("13800 200500"));
    EXPECT_EQ(m.rows()[1].number, "13800 200500");
    EXPECT_TRUE(m.modified());
}

TEST_F(PropertiesModelTest, TheSameNumberOrACancelledEditLeavesItUnmodified) {
    PropertiesModel m(settings, devices(), boxes);
    ASSERT_TRUE(m.beginEdit(0));
    m.endEdit(0, std::string("+8613800100500"));
    ASSERT_TRUE(m.beginEdit(1));
    m.endEdit(1, std::nullopt);
    EXPECT_FALSE(m.modified());
    EXPECT_EQ(m.rows()[1].number, "+8613800200500");
    // An edit that never began changes nothing.
    m.endEdit(0, std::string("10086"));
    EXPECT_EQ(m.rows()[0].number, "+8613800100500");
    EXPECT_FALSE(m.beginEdit(2));
}

TEST_F(PropertiesModelTest, AnUnreadDeviceShowsInitialisingUntilSimReady) {
    centre[2] = "";
    read[2] = false;
    PropertiesModel m(settings, devices(), boxes);
    EXPECT_FALSE(m.listEnabled());
    EXPECT_EQ(m.displayText(0), "+8613800100500");
    EXPECT_EQ(m.displayText(1), "正在初始化...");
    EXPECT_FALSE(m.beginEdit(0));
    centre[2] = "+8613800200500";
    read[2] = true;
    m.onMessage(platform::Message{UM_SIMREADY, 0, 0, nullptr});
    EXPECT_TRUE(m.listEnabled());
    EXPECT_EQ(m.displayText(1), "+8613800200500");
    EXPECT_TRUE(m.beginEdit(1));
}

TEST_F(PropertiesModelTest, AllReadShowsAnEmptyCentreEmptyAndRebuildKeepsTheModifiedMark) {
    centre[2] = "";
    PropertiesModel m(settings, devices(), boxes);
    EXPECT_TRUE(m.listEnabled());
    EXPECT_EQ(m.displayText(1), "");
    ASSERT_TRUE(m.beginEdit(0));
    m.endEdit(0, std::string("10086"));
    m.rebuild();
    EXPECT_EQ(m.rows()[0].number, "+8613800100500");  // edits give way to the stored numbers
    EXPECT_TRUE(m.modified());
}

TEST_F(PropertiesModelTest, AGivenUpCentreShowsUnknownUntilEdited) {
    centre[2] = "";
    givenUp[2] = true;
    PropertiesModel m(settings, devices(), boxes);
    EXPECT_EQ(m.displayText(1), "未知");
    ASSERT_TRUE(m.beginEdit(1));
    m.endEdit(1, std::string("+8613800200500"));
    EXPECT_FALSE(m.rows()[1].unknown);
    EXPECT_EQ(m.displayText(1), "+8613800200500");
}

}  // namespace
}  // namespace msgdesk
