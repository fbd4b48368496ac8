// SPDX-License-Identifier: GPL-3.0-or-later
// The phone dialog's keys, dialled digits, cells, volume, device and guard.
#include "msgdesk/phone/PhoneFixture.h"

namespace msgdesk::test {
namespace {

using namespace phone;

TEST_F(PhoneTest, FiftyOneDigitsKeepFiftyCellsShowTheLastFifteenAndTheFirstTwentyAreDialled) {
    const std::string typed = "12345678901234567890123456789012345678901234567890";  // 50
    typeDigits(typed.substr(0, 49));
    EXPECT_EQ(phone->digits().size(), 49u);
    phone->key('7');  // the 50th
    phone->key('8');  // the 51st is dropped
    EXPECT_EQ(phone->digits(), typed.substr(0, 49) + "7");
    EXPECT_EQ(cells(), phone->digits().substr(35));
    EXPECT_EQ(phone->numberText(), typed.substr(0, 20));
    phone->dialOrAnswer();
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_DIALUP}));
    EXPECT_EQ(frame.commands[1].req.numberText(), typed.substr(0, 20));
    EXPECT_EQ(phone->outgoing().entry(0), typed.substr(0, 20));
}

TEST_F(PhoneTest, CellsAreRightAlignedAndBackspaceAndClearRefreshThem) {
    typeDigits("10086");
    EXPECT_EQ(cells(), "          10086");
    phone->backspace();
    EXPECT_EQ(cells(), "           1008");
    EXPECT_EQ(phone->numberText(), "1008");
    phone->clearDigits();
    EXPECT_EQ(cells(), std::string(15, ' '));
    phone->backspace();  // nothing left: still empty, no fault
    EXPECT_TRUE(phone->digits().empty());
    typeDigits("123456789012345");  // exactly fifteen fill every cell
    EXPECT_EQ(cells(), "123456789012345");
    EXPECT_TRUE(phone->keyDown('\x1b'));  // Esc clears, then hangs up (no call: nothing sent)
    EXPECT_TRUE(phone->digits().empty());
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_FALSE(phone->keyDown('a'));
}

TEST_F(PhoneTest, DialWhileDiallingDoesNothingAndStatusWordsClearWithEighteenBlanks) {
    typeDigits("10086");
    phone->dialOrAnswer();
    phone->dialOrAnswer();
    phone->keyDown('\r');
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_DIALUP}));
    EXPECT_EQ(phone->outgoing().count(), 1);
    EXPECT_EQ(statusWrites, (std::vector<std::string>{"                  ", "拨号中    "}));
}

TEST_F(PhoneTest, KeysAreIgnoredWhileRingingAndStarWithoutACall) {
    phone->key('*');
    phone->key('#');
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_TRUE(phone->digits().empty());
    callNotify(1, "13912345678");
    phone->key('5');
    phone->key('*');
    EXPECT_EQ(phone->digits(), "13912345678");
    EXPECT_TRUE(frame.commands.empty());
}

TEST_F(PhoneTest, InACallDigitsAreAddedAndSentAsTonesStarAndHashOnlySent) {
    connectOutgoing("10086");
    frame.commands.clear();
    phone->key('1');
    phone->key('#');
    EXPECT_EQ(phone->digits(), "100861");
    ASSERT_EQ(frame.ops(), (std::vector<int>{OP_DIALEXT, OP_DIALEXT}));
    EXPECT_EQ(frame.commands[0].req.digitsText(), "1");
    EXPECT_EQ(frame.commands[1].req.digitsText(), "#");
}

TEST_F(PhoneTest, RedialWithAnEmptyHistoryDialsTheEmptyNumberAndLaterTheLastNumber) {
    phone->redial();
    ASSERT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_DIALUP}));
    EXPECT_EQ(frame.commands[1].req.numberText(), "");
    EXPECT_EQ(phone->status(), "重拨中    ");
    phone->redial();  // already dialling
    EXPECT_EQ(frame.commands.size(), 2u);

    result(OP_DIALUP, RESULT_ERROR);
    typeDigits("10086");
    phone->dialOrAnswer();
    result(OP_UNATTACH, RESULT_OK);
    frame.commands.clear();
    phone->redial();
    EXPECT_EQ(frame.commands.back().req.numberText(), "10086");
    EXPECT_EQ(cells(), "          10086");
    EXPECT_EQ(phone->outgoing().count(), 1);  // redial adds nothing
}

TEST_F(PhoneTest, WithoutAnActiveLinkTheCallAndVolumeButtonsShow60008AndDoNothing) {
    linkActive = false;
    typeDigits("10086");
    phone->dialOrAnswer();
    phone->hangUp();
    phone->redial();
    phone->volumeUp();
    phone->volumeDown();
    ASSERT_EQ(boxes.shown.size(), 5u);
    for (auto& b : boxes.shown) {
        EXPECT_EQ(b.stringId, 60008u);
        EXPECT_EQ(b.text, "没有激活设备！（请检查Zunto是否正常连接）");
        EXPECT_EQ(b.icon, platform::MbIcon::Exclamation);
    }
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_EQ(phone->digits(), "10086");  // hang-up did not clear them
    EXPECT_FALSE(phone->dialling());
    EXPECT_EQ(phone->volume(), 20);
    // Keys and backspace are not guarded.
    phone->backspace();
    EXPECT_EQ(phone->digits(), "1008");
}

TEST_F(PhoneTest, VolumeStaysWithinTenAndNinety) {
    make(80);
    phone->keyDown('+');
    EXPECT_EQ(phone->volume(), 90);
    ASSERT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_SETVOLUME}));
    EXPECT_EQ(frame.commands[1].req.volume, 90);
    phone->volumeUp();
    EXPECT_EQ(frame.commands.size(), 2u);
    make(20);
    frame.commands.clear();
    phone->volumeDown();
    EXPECT_EQ(phone->volume(), 10);
    phone->keyDown('-');
    EXPECT_EQ(phone->volume(), 10);
    EXPECT_EQ(frame.count(OP_SETVOLUME), 1);
    // A stored level outside the range is brought into it.
    make(95);
    EXPECT_EQ(phone->volume(), 90);
    make(0);
    EXPECT_EQ(phone->volume(), 10);
}

TEST_F(PhoneTest, DeviceChangeGoesOneTwoOneAndSendsTheVolumeToTheNewDevice) {
    deviceCount = 2;
    EXPECT_EQ(phone->deviceText(), "01");
    phone->changeDevice();
    EXPECT_EQ(phone->deviceText(), "02");
    ASSERT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_SETVOLUME}));
    EXPECT_EQ(frame.commands[1].req.device, 2);
    EXPECT_EQ(frame.commands[1].req.volume, 20);
    phone->changeDevice();
    EXPECT_EQ(phone->deviceText(), "01");
    EXPECT_TRUE(boxes.shown.empty());

    // Busy: refused with 60076.
    callNotify(2, "10086");
    phone->changeDevice();
    EXPECT_EQ(phone->device(), 2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60076u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::Information);
    callNotify(18);

    // One device left (the other unplugged): 60075.
    removed.insert(1);
    phone->changeDevice();
    EXPECT_EQ(boxes.shown.back().stringId, 60075u);
    EXPECT_EQ(phone->device(), 2);
}

TEST_F(PhoneTest, APlusNumberFromThePickerShowsItsGlyphAndIsDialledWhole) {
    EXPECT_FALSE(phone->hasPicker());
    phone->openPhonebook();  // no picker: nothing
    int opened = 0;
    std::string offer = "+8613912345678";
    phone->setPicker([&](std::string& n) {
        ++opened;
        phone->openPhonebook();  // the picker is already open: ignored
        n = offer;
        return true;
    });
    phone->openPhonebook();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(phone->pickerOpen());
    EXPECT_EQ(cells(), " +8613912345678");
    EXPECT_EQ(PhoneDialogCore::cellPicture('+'), IDB_CELL_PLUS);
    EXPECT_EQ(PhoneDialogCore::cellPicture('#'), IDB_CELL_HASH);
    EXPECT_EQ(PhoneDialogCore::cellPicture('7'), 807);
    EXPECT_EQ(PhoneDialogCore::cellPicture(' '), IDB_CELL_EMPTY);
    phone->dialOrAnswer();
    EXPECT_EQ(frame.commands.back().req.numberText(), "+8613912345678");

    // A number that is no dial string is not loaded.
    phone->hangUp();
    offer = "139-1234";
    phone->openPhonebook();
    EXPECT_TRUE(phone->digits().empty());
}

}  // namespace
}  // namespace msgdesk::test
