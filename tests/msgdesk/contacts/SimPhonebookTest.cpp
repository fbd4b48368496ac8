// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ContactTestSupport.h"
#include "contacts/MainFramePhonebookRequests.h"
#include "contacts/SimPhonebookEdits.h"
#include "device/WindowMessages.h"
#include "platform/ManualMessageLoop.h"

using namespace msgdesk;
using namespace contacts_test;

namespace {

// The main frame's side as far as these tests need it: it takes the
// requests, keeps the copy, and on UM_SIMENTRYDONE (which the answer
// handling posts for a refused store or a confirmed delete) changes the
// lists through the answer-side helpers.
struct FakeMainFrame final : platform::MessageTarget {
    SimPhonebook& sims;
    SimPhoneEntry kept;
    std::vector<platform::Message> requests;
    explicit FakeMainFrame(SimPhonebook& s) : sims(s) {}

    std::intptr_t onMessage(const platform::Message& m) override {
        auto* entry = reinterpret_cast<SimPhoneEntry*>(m.lParam);
        switch (m.msg) {
            case UM_KEEPRECORD:
                if (m.wParam == 0) kept = *entry;
                break;
            case UM_SIMENTRYDONE:
                if (m.wParam <= 16)
                    ForgetSimEntry(sims, static_cast<int>(m.wParam), entry);
                else
                    RestoreSimEntry(sims, static_cast<int>(m.wParam) - 16, entry, kept);
                return 0;
        }
        requests.push_back(m);
        return 0;
    }
    SimPhoneEntry* entryOf(size_t i) const {
        return reinterpret_cast<SimPhoneEntry*>(requests.at(i).lParam);
    }
};

struct SimEditTest : ::testing::Test {
    platform::ManualMessageLoop loop;
    SimPhonebook sims;
    FakeMainFrame frame{sims};
    MainFramePhonebookRequests requests{loop, &frame};
    FakeDevices devices;
    platform::ScriptedMessageBox box;

    // The card refused a new entry, or confirmed a delete.
    void answerGone(SimPhoneEntry* e) { loop.post(&frame, UM_SIMENTRYDONE, e->device, lp(e)); }
    // The card refused a changed entry.
    void answerChangeRefused(SimPhoneEntry* e) {
        loop.post(&frame, UM_SIMENTRYDONE, e->device + 16, lp(e));
    }
    static platform::LPARAM lp(SimPhoneEntry* e) { return reinterpret_cast<platform::LPARAM>(e); }
};

}  // namespace

TEST_F(SimEditTest, NewEntriesTakeTheFirstFreePositionUntilTheCardIsFull) {
    devices.attached = 1;
    devices.cards[1] = {5, 3, true};
    addSimEntry(sims, 1, 1, "101", "a");
    addSimEntry(sims, 1, 2, "102", "b");
    addSimEntry(sims, 1, 4, "104", "d");

    SimPhoneEntry* third = CreateSimEntry(sims, requests, devices, box, 1, "103", "c");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->index, 3);
    SimPhoneEntry* fifth = CreateSimEntry(sims, requests, devices, box, 1, "105", "e");
    ASSERT_NE(fifth, nullptr);
    EXPECT_EQ(fifth->index, 5);
    EXPECT_EQ(sims.FirstFreeSimIndex(1, 5), -1);
    EXPECT_EQ(CreateSimEntry(sims, requests, devices, box, 1, "106", "f"), nullptr);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60030u);
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Exclamation);

    // Both stores went to the main frame as new entries, already listed.
    ASSERT_EQ(frame.requests.size(), 2u);
    EXPECT_EQ(frame.requests[0].msg, 1246u);
    EXPECT_EQ(frame.requests[0].wParam, 1u);
    EXPECT_EQ(frame.entryOf(0), third);
    EXPECT_EQ(frame.entryOf(1), fifth);
    EXPECT_EQ(sims.list(1).size(), 5u);
}

TEST_F(SimEditTest, ANumberAlreadyOnTheChosenCardIsNotStoredAgain) {
    devices.attached = 2;
    devices.cards[1] = {10, 1, true};
    devices.cards[2] = {10, 0, true};
    addSimEntry(sims, 1, 1, "13800000001", "Li");
    EXPECT_EQ(CreateSimEntry(sims, requests, devices, box, 1, "13800000001", "Li2"), nullptr);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60074u);
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
    EXPECT_TRUE(frame.requests.empty());
    // Another card may hold it.
    EXPECT_NE(CreateSimEntry(sims, requests, devices, box, 2, "13800000001", "Li"), nullptr);
}

TEST_F(SimEditTest, StoresAnsweredFailOkFailLeaveOnlyTheConfirmedEntry) {
    devices.attached = 1;
    devices.cards[1] = {10, 0, true};
    SimPhoneEntry* a = CreateSimEntry(sims, requests, devices, box, 1, "101", "a");
    SimPhoneEntry* b = CreateSimEntry(sims, requests, devices, box, 1, "102", "b");
    SimPhoneEntry* c = CreateSimEntry(sims, requests, devices, box, 1, "103", "c");
    ASSERT_EQ(frame.requests.size(), 3u);
    EXPECT_EQ(a->index, 1);
    EXPECT_EQ(b->index, 2);
    EXPECT_EQ(c->index, 3);

    answerGone(a);  // fail
    // b: OK, nothing comes back to the lists
    answerGone(c);  // fail
    loop.runUntilIdle();
    ASSERT_EQ(sims.list(1).size(), 1u);
    EXPECT_EQ(sims.list(1)[0].get(), b);
    // The freed positions are offered again.
    EXPECT_EQ(sims.FirstFreeSimIndex(1, 10), 1);
}

TEST_F(SimEditTest, ARefusedChangeGetsItsOldNameAndNumberBack) {
    SimPhoneEntry* e = addSimEntry(sims, 1, 7, "13800000001", gbk("张三"));
    ASSERT_TRUE(ChangeSimEntry(sims, requests, e, "13900000009", "Zhang"));
    // The copy is taken before the entry is overwritten, then the store goes
    // out as a change of the same entry.
    EXPECT_EQ(frame.kept.numberText(), "13800000001");
    ASSERT_EQ(frame.requests.size(), 2u);
    EXPECT_EQ(frame.requests[0].msg, 1133u);
    EXPECT_EQ(frame.requests[0].wParam, 0u);
    EXPECT_EQ(frame.requests[1].msg, UM_STORESIMENTRY);
    EXPECT_EQ(frame.requests[1].wParam, 0u);
    EXPECT_EQ(frame.entryOf(1), e);
    EXPECT_EQ(e->numberText(), "13900000009");
    EXPECT_EQ(e->index, 7);

    answerChangeRefused(e);
    loop.runUntilIdle();
    EXPECT_EQ(e->numberText(), "13800000001");
    EXPECT_EQ(e->nameText(), gbk("张三"));
    EXPECT_EQ(e->index, 7);
}

TEST_F(SimEditTest, AKeptCopyOfAnotherEntryIsNeverPutIntoThisOne) {
    SimPhoneEntry* a = addSimEntry(sims, 1, 1, "101", "a");
    SimPhoneEntry* b = addSimEntry(sims, 1, 2, "102", "b");
    ChangeSimEntry(sims, requests, a, "201", "A");
    ChangeSimEntry(sims, requests, b, "202", "B");  // the copy now holds b
    answerChangeRefused(a);
    loop.runUntilIdle();
    EXPECT_EQ(a->index, 1);
    EXPECT_EQ(a->numberText(), "201");
    EXPECT_EQ(sims.list(1).size(), 2u);
    answerChangeRefused(b);
    loop.runUntilIdle();
    EXPECT_EQ(b->numberText(), "102");
}

TEST_F(SimEditTest, DeletingTheSecondOfTwoEqualNumbersKeepsTheFirst) {
    SimPhoneEntry* first = addSimEntry(sims, 1, 1, "13800000001", "First");
    SimPhoneEntry* second = addSimEntry(sims, 1, 2, "13800000001", "Second");
    ASSERT_TRUE(DeleteSimEntry(sims, requests, second));
    ASSERT_EQ(frame.requests.size(), 1u);
    EXPECT_EQ(frame.requests[0].msg, 1244u);
    EXPECT_EQ(frame.entryOf(0), second);
    EXPECT_EQ(sims.list(1).size(), 2u);  // listed until the card confirms

    answerGone(second);
    loop.runUntilIdle();
    ASSERT_EQ(sims.list(1).size(), 1u);
    EXPECT_EQ(sims.list(1)[0].get(), first);
    EXPECT_EQ(sims.FindSimEntryByNumber(1, "13800000001"), first);
}

TEST_F(SimEditTest, EntriesNoLongerListedAreNeitherChangedNorDeleted) {
    SimPhoneEntry gone;
    EXPECT_FALSE(ChangeSimEntry(sims, requests, &gone, "1", "x"));
    EXPECT_FALSE(DeleteSimEntry(sims, requests, &gone));
    EXPECT_FALSE(DeleteSimEntry(sims, requests, nullptr));
    EXPECT_TRUE(frame.requests.empty());
    // An answer for an entry already gone, or for the wrong device, does
    // nothing.
    SimPhoneEntry* f = addSimEntry(sims, 1, 1, "101", "a");
    EXPECT_FALSE(ForgetSimEntry(sims, 2, f));
    EXPECT_FALSE(ForgetSimEntry(sims, 1, &gone));
    EXPECT_FALSE(RestoreSimEntry(sims, 2, f, *f));
    EXPECT_EQ(sims.list(1).size(), 1u);
}

TEST(SimPhonebook, RemovingDevice2EmptiesOnlyDevice2) {
    SimPhonebook sims;
    addSimEntry(sims, 1, 1, "101", "a");
    addSimEntry(sims, 2, 1, "201", "b");
    addSimEntry(sims, 2, 2, "202", "c");
    addSimEntry(sims, 3, 1, "301", "d");
    sims.ClearSimPhonebook(2);
    EXPECT_EQ(sims.list(1).size(), 1u);
    EXPECT_TRUE(sims.list(2).empty());
    EXPECT_EQ(sims.list(3).size(), 1u);
    sims.ClearSimPhonebook(17);
    EXPECT_TRUE(sims.list(1).empty());
    EXPECT_TRUE(sims.list(3).empty());
}

TEST(SimPhonebook, OverlongTextsAreCutAtACharacterBoundary) {
    RecordingRequests requests;
    SimPhonebook sims;
    // 23 bytes: 'x' and eleven two-byte characters.
    const std::string name = "x" + gbk("一二三四五六七八九十百");
    SimPhoneEntry* e = StoreNewSimEntry(sims, requests, 1, 1, "123456789012345678901234", name);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->nameText(), "x" + gbk("一二三四五六七八九十"));  // 21 bytes, no half character
    EXPECT_EQ(e->numberText(), "12345678901234567890");
    EXPECT_EQ(StoreNewSimEntry(sims, requests, 17, 1, "1", "x"), nullptr);
    EXPECT_EQ(requests.count('s'), 1);
}
