// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ContactTestSupport.h"
#include "contacts/ContactTransfer.h"
#include "device/WindowMessages.h"

using namespace msgdesk;
using namespace contacts_test;
using Outcome = MoveToSimResult::Outcome;

namespace {

struct MoveTest : ::testing::Test {
    ContactBook book;
    SimPhonebook sims;
    FakeDevices devices;
    ScriptedChooser chooser;
    RecordingRequests requests;
    platform::ScriptedMessageBox box;
    std::vector<const ContactRecord*> selected;

    void select(const std::string& name, const std::string& mobile) {
        selected.push_back(book.AddContact(std::make_unique<ContactRecord>(contact(name, mobile))));
    }
    MoveToSimResult move() {
        return MoveContactsToSim(selected, sims, devices, chooser, requests, box);
    }
};

}  // namespace

TEST_F(MoveTest, RefusalsBeforeTheMoveChangeNothing) {
    select("A", "101");
    // No device attached: the choice is not even offered.
    EXPECT_EQ(move().outcome, Outcome::NoDevice);
    EXPECT_EQ(chooser.asked, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60008u);
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);

    devices.attached = 2;
    devices.cards[1] = {10, 0, true};
    devices.cards[2] = {10, 0, false};
    chooser.answer = std::nullopt;
    EXPECT_EQ(move().outcome, Outcome::Cancelled);
    EXPECT_EQ(chooser.offered, 2);
    EXPECT_EQ(box.shown.size(), 1u);

    chooser.answer = 2;  // still being listed
    EXPECT_EQ(move().outcome, Outcome::NotListed);
    EXPECT_EQ(box.shown.back().stringId, 60031u);
    EXPECT_EQ(box.shown.back().icon, platform::MbIcon::Exclamation);

    chooser.answer = 3;  // not an attached device
    EXPECT_EQ(move().outcome, Outcome::Cancelled);

    EXPECT_TRUE(requests.calls.empty());
    EXPECT_TRUE(sims.list(1).empty());
    EXPECT_TRUE(sims.list(2).empty());
}

TEST_F(MoveTest, MoreContactsThanFreePositionsIsRefusedWithTheFreeCount) {
    devices.attached = 1;
    devices.cards[1] = {250, 248, true};
    select("A", "101");
    select("B", "102");
    select("C", "103");
    auto r = move();
    EXPECT_EQ(r.outcome, Outcome::NoRoom);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60032u);
    EXPECT_EQ(box.shown[0].text, "选择电话数超过SIM卡空闲数！卡内空闲(2)");
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
    EXPECT_TRUE(requests.calls.empty());
    EXPECT_TRUE(sims.list(1).empty());
}

TEST_F(MoveTest, ANumberAlreadyOnTheCardIsCountedAndTheRestTakeConsecutivePositions) {
    devices.attached = 2;
    devices.cards[2] = {20, 2, true};
    addSimEntry(sims, 2, 1, "13800000001", "Li");
    addSimEntry(sims, 2, 3, "13800000009", "Zhao");
    chooser.answer = 2;
    select(gbk("王五"), "13800000002");
    select("Li", "13800000001");
    select("Zhang", "13800000003");

    auto r = move();
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.device, 2);
    EXPECT_EQ(r.stored, 2);
    EXPECT_EQ(r.existing, 1);
    ASSERT_EQ(requests.count('s'), 2);
    const SimPhoneEntry* first = requests.calls[0].entry;
    const SimPhoneEntry* second = requests.calls[1].entry;
    EXPECT_EQ(requests.calls[0].value, 1);
    EXPECT_EQ(requests.calls[1].value, 1);
    EXPECT_EQ(first->device, 2);
    EXPECT_EQ(first->index, 2);
    EXPECT_EQ(first->nameText(), gbk("王五"));
    EXPECT_EQ(first->numberText(), "13800000002");
    EXPECT_EQ(second->index, 4);
    EXPECT_EQ(second->nameText(), "Zhang");
    // Listed at once, at the end of the device's list.
    ASSERT_EQ(sims.list(2).size(), 4u);
    EXPECT_EQ(sims.list(2)[2].get(), first);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60029u);
    EXPECT_EQ(box.shown[0].text, "存储失败(1)条(原因：号码已存在)");
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
}

TEST_F(MoveTest, AContactThatFindsNoFreePositionIsSkippedAndTheMoveGoesOn) {
    // Used counts only confirmed stores, so the list can hold more than
    // the free count suggests.
    devices.attached = 1;
    devices.cards[1] = {3, 1, true};
    addSimEntry(sims, 1, 1, "101", "a");
    addSimEntry(sims, 1, 2, "102", "b (store not yet confirmed)");
    select("C", "103");
    select("D", "104");
    auto r = move();
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.stored, 1);
    EXPECT_EQ(r.full, 1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60030u);
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Exclamation);
    EXPECT_EQ(sims.list(1).back()->index, 3);
}

TEST(CopyToBook, SimNamesAreFittedAndDuplicatesCounted) {
    ContactBook book;
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "13800000001")));
    SimPhonebook sims;
    RecordingRequests requests;
    platform::ScriptedMessageBox box;
    // 22 bytes each: one that cuts between characters, one of one-byte
    // characters around two-byte ones.
    const std::string eleven = gbk("一二三四五六七八九十百");
    const std::string mixed = "a" + gbk("一二三四五六七八九十") + "b";
    ASSERT_EQ(eleven.size(), 22u);
    ASSERT_EQ(mixed.size(), 22u);
    std::vector<const SimPhoneEntry*> selected = {
        addSimEntry(sims, 1, 1, "13800000002", eleven),
        addSimEntry(sims, 1, 2, "13800000001", "Li on card"),
        addSimEntry(sims, 2, 1, "13800000003", mixed),
        addSimEntry(sims, 2, 2, "13800000002", "again"),
    };
    int changes = 0;
    book.subscribe([&] { ++changes; });

    auto r = CopySimEntriesToBook(selected, book, requests, box);
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.existing, 2);
    ASSERT_EQ(book.size(), 3u);
    const ContactRecord& a = *book.records()[1];
    EXPECT_EQ(a.name(), gbk("一二三四五六七八九十"));
    EXPECT_EQ(a.mobile(), "13800000002");
    EXPECT_EQ(a.field(ContactField::HomeAddress), "");
    EXPECT_EQ(book.records()[2]->name(), "a" + gbk("一二三四五六七八九"));  // 19 bytes
    EXPECT_EQ(changes, 2);

    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "存储失败(2)条(原因：号码已存在)");
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
    // Only the contact pane is told; nothing goes to a card.
    ASSERT_EQ(requests.calls.size(), 1u);
    EXPECT_EQ(requests.calls[0].kind, 'r');
    EXPECT_EQ(requests.calls[0].value, REFRESH_CONTACT_PANE);
    EXPECT_EQ(sims.list(1).size(), 2u);

    // Nothing new: no refresh.
    requests.calls.clear();
    r = CopySimEntriesToBook(selected, book, requests, box);
    EXPECT_EQ(r.added, 0);
    EXPECT_TRUE(requests.calls.empty());
    EXPECT_EQ(box.shown.back().text, "存储失败(4)条(原因：号码已存在)");
}
