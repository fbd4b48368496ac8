// SPDX-License-Identifier: GPL-3.0-or-later
#include "msgdesk/device/DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

using platform::MbIcon;

// Answers to phonebook stores, deletes and listings, and their summaries.
class Phonebook : public DeviceLinkTest {
protected:
    void SetUp() override { connectAndPoll(2); }
    int store(SimPhoneEntry* e, int flag) {
        send(UM_STORESIMENTRY, flag, lp(e));
        return lastId(Op::SetTelphone);
    }
    int remove(SimPhoneEntry* e) {
        send(UM_DELETESIMENTRY, 0, lp(e));
        return lastId(Op::DelTelphone);
    }
    void answer(unsigned event, const char* text, int id) {
        lib.fire(event, text, id);
        loop.runUntilIdle();
    }
    int phonebookId(int device) { return lib.calls(Op::GetSavedTelphone)[device - 1].result; }
    int simInfoId(int device, int kind) {
        for (auto& c : lib.calls(Op::GetSimInfo))
            if (c.a == device && c.b == kind) return c.result;
        return -1;
    }
};

TEST_F(Phonebook, ListingAppendsEntriesAndCountsUpToCapacity) {
    answer(3841, "\"1-2\"", simInfoId(1, 1));
    EXPECT_EQ(link->devices().slot(1).phonebookCapacity, 2);
    const int id = phonebookId(1);
    answer(516, "\"1\",\"13800138000\",\"张三\"", id);
    answer(516, "ERROR", id);
    answer(516, "\"4\",\"10086\",\"移动\"", id);
    answer(516, "\"5\",\"10010\",\"联通\"", id);  // over capacity: listed, not counted
    answer(516, "garbage", id);
    ASSERT_EQ(book.list(1).size(), 3u);
    EXPECT_EQ(book.list(1)[0]->index, 1);
    EXPECT_EQ(book.list(1)[0]->numberText(), "13800138000");
    EXPECT_EQ(book.list(1)[0]->nameText(), "张三");
    EXPECT_EQ(book.list(1)[2]->index, 5);
    EXPECT_EQ(link->devices().slot(1).phonebookUsed, 2);
    EXPECT_FALSE(link->devices().phonebookListed(1));
    answer(516, nullptr, id);
    EXPECT_TRUE(link->devices().phonebookListed(1));
    answer(516, "\"6\",\"1\",\"x\"", id);  // row is gone
    EXPECT_EQ(book.list(1).size(), 3u);
}

TEST_F(Phonebook, ListingForADeviceBeyondTheCountIsDropped) {
    link->pending().add(777, 5, "NULL");
    answer(516, "\"1\",\"1\",\"x\"", 777);
    EXPECT_TRUE(book.list(5).empty());
}

TEST_F(Phonebook, GeometryErrorsAreAskedAgain) {
    const int id = simInfoId(2, 2);
    lib.clearCalls();
    answer(3842, "ERROR", id);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);  // not at once: after a pause
    loop.advance(1000);
    auto again = lib.calls(Op::GetSimInfo);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].a, 2);
    EXPECT_EQ(again[0].b, 2);
    answer(3842, "\"3/40\"", again[0].result);
    EXPECT_EQ(link->devices().slot(2).messageCapacity, 40);
    EXPECT_EQ(link->devices().slot(2).messageCount, 0);  // counted from the listing
    answer(3842, "\"3/50\"", id);                        // answered already
    EXPECT_EQ(link->devices().slot(2).messageCapacity, 40);
}

TEST_F(Phonebook, NewEntryStoredRaisesUsedAndRefusedOneLeavesTheList) {
    auto* a = addEntry(1, 3, "10086", "a");
    auto* b = addEntry(1, 4, "10010", "b");
    const int ida = store(a, 1);
    auto c = lib.calls(Op::SetTelphone);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].a, 1);
    EXPECT_EQ(c[0].b, 3);
    EXPECT_EQ(c[0].s1, "10086");
    EXPECT_EQ(c[0].s2, "a");
    const int idb = store(b, 1);
    answer(514, "ok", ida);  // compared in upper case
    EXPECT_EQ(link->devices().slot(1).phonebookUsed, 1);
    answer(514, "ERROR", idb);
    ASSERT_EQ(book.list(1).size(), 1u);
    EXPECT_EQ(book.list(1)[0].get(), a);
    ASSERT_EQ(ports.deviceDialog.back().msg, UM_SIMENTRYDONE);
    EXPECT_EQ(ports.deviceDialog.back().wParam, 0u);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60007});
    EXPECT_EQ(boxes.shown[0].text, "电话号码[1条]保存到SIM卡出错！");
}

TEST_F(Phonebook, ChangedEntryThatFailsGetsTheKeptCopyBack) {
    auto* e = addEntry(2, 7, "10086", "old");
    send(UM_KEEPRECORD, 0, lp(e));
    e->setName("new");
    e->setNumber("12345");
    const int id = store(e, 0);
    EXPECT_EQ(link->pending().find(id)->device, 18);
    answer(514, "ERROR", id);
    ASSERT_EQ(book.list(2).size(), 1u);
    EXPECT_EQ(e->nameText(), "old");
    EXPECT_EQ(e->numberText(), "10086");
    EXPECT_EQ(link->devices().slot(2).phonebookUsed, 0);
}

// Two changes in flight share the one kept copy: a failed first change must
// not overwrite its entry with the second entry's old values.
TEST_F(Phonebook, FailedChangeNeverTakesAnotherEntrysKeptCopy) {
    auto* a = addEntry(2, 7, "10086", "a-old");
    auto* b = addEntry(2, 8, "10010", "b-old");
    send(UM_KEEPRECORD, 0, lp(a));
    a->setName("a-new");
    const int idA = store(a, 0);
    send(UM_KEEPRECORD, 0, lp(b));
    b->setName("b-new");
    const int idB = store(b, 0);
    answer(514, "ERROR", idA);
    answer(514, "OK", idB);
    ASSERT_EQ(book.list(2).size(), 2u);
    EXPECT_EQ(a->index, 7);
    EXPECT_EQ(a->numberText(), "10086");
    EXPECT_NE(a->nameText(), "b-old");
    EXPECT_EQ(b->index, 8);
    EXPECT_EQ(b->nameText(), "b-new");
}

TEST_F(Phonebook, StoreRefusedAtOnceShows60007AndKeepsTheEntry) {
    auto* e = addEntry(1, 1, "1", "x");
    lib.queueResults(Op::SetTelphone, {-1});
    store(e, 1);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60007});
    EXPECT_EQ(boxes.shown[0].icon, MbIcon::Information);
    EXPECT_EQ(book.list(1).size(), 1u);
    EXPECT_EQ(link->storeBatch().outstanding, 0);
    send(UM_STORESIMENTRY, 2, lp(e));  // other flags do nothing
    send(UM_STORESIMENTRY, 1, 0);
    EXPECT_EQ(lib.count(Op::SetTelphone), 1);
}

TEST_F(Phonebook, StoresFailOkFailReportTwoOnce) {
    auto* a = addEntry(1, 1, "1", "a");
    auto* b = addEntry(1, 2, "2", "b");
    auto* c = addEntry(1, 3, "3", "c");
    int ia = store(a, 1), ib = store(b, 1), ic = store(c, 1);
    // All three answers arrive before the window thread runs.
    lib.fire(514, "ERROR", ia);
    lib.fire(514, "OK", ib);
    lib.fire(514, "TIMEOUT", ic);
    loop.runUntilIdle();
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60007});
    EXPECT_EQ(boxes.shown[0].text, "电话号码[2条]保存到SIM卡出错！");
    EXPECT_EQ(boxes.shown[0].icon, MbIcon::Exclamation);
    ASSERT_EQ(book.list(1).size(), 1u);
    EXPECT_EQ(book.list(1)[0].get(), b);
    EXPECT_EQ(link->storeBatch().outstanding, 0);
    EXPECT_EQ(link->storeBatch().failed, 0);
}

TEST_F(Phonebook, StoresFailFailOkShowNothingUntilTheNextFailure) {
    auto* a = addEntry(1, 1, "1", "a");
    auto* b = addEntry(1, 2, "2", "b");
    auto* c = addEntry(1, 3, "3", "c");
    int ia = store(a, 1), ib = store(b, 1), ic = store(c, 1);
    answer(514, "ERROR", ia);
    answer(514, "ERROR", ib);
    answer(514, "OK", ic);
    EXPECT_TRUE(boxes.shown.empty());
    auto* d = addEntry(1, 4, "4", "d");
    answer(514, "ERROR", store(d, 1));
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60007});
    EXPECT_EQ(boxes.shown[0].text, "电话号码[3条]保存到SIM卡出错！");
}

TEST_F(Phonebook, DeleteConfirmedRemovesExactlyThatEntry) {
    link->devices().setPhonebookCapacity(1, 10);
    link->devices().setPhonebookUsed(1, 2);
    auto* first = addEntry(1, 1, "10086", "a");
    auto* second = addEntry(1, 2, "10086", "a");
    answer(513, "OK", remove(second));
    ASSERT_EQ(book.list(1).size(), 1u);
    EXPECT_EQ(book.list(1)[0].get(), first);
    EXPECT_EQ(link->devices().slot(1).phonebookUsed, 1);
    EXPECT_EQ(ports.deviceDialog.back().msg, UM_SIMENTRYDONE);
}

TEST_F(Phonebook, DeleteConfirmedWithUsedZeroStillLeavesTheList) {
    auto* e = addEntry(1, 1, "10086", "a");
    answer(513, "OK", remove(e));
    EXPECT_TRUE(book.list(1).empty());
    EXPECT_EQ(link->devices().slot(1).phonebookUsed, 0);
}

TEST_F(Phonebook, DeleteFailuresAreSummedPerBatch) {
    auto* a = addEntry(1, 1, "1", "a");
    auto* b = addEntry(2, 1, "2", "b");
    int ia = remove(a), ib = remove(b);
    EXPECT_EQ(link->deleteBatch().outstanding, 2);
    answer(513, "ERROR", ia);
    EXPECT_TRUE(boxes.shown.empty());
    answer(513, "ERROR", ib);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60069});
    EXPECT_EQ(boxes.shown[0].text, "删除SIM卡电话号码(2)出错！");
    EXPECT_EQ(book.list(1).size(), 1u);  // failed deletes stay listed
    EXPECT_EQ(link->deleteBatch().failed, 0);
}

TEST_F(Phonebook, DeleteRefusedOrUnboundDoesNothing) {
    auto* e = addEntry(1, 1, "1", "a");
    lib.queueResults(Op::DelTelphone, {-1});
    remove(e);
    send(UM_DELETESIMENTRY, 0, 0);
    EXPECT_EQ(link->deleteBatch().outstanding, 0);
    EXPECT_EQ(lib.count(Op::DelTelphone), 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Phonebook, AnswerWithUnknownIdIsDropped) {
    auto* e = addEntry(1, 1, "1", "a");
    answer(513, "OK", 424242);
    answer(514, "ERROR", 424242);
    EXPECT_EQ(book.list(1).size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
    (void)e;
}

TEST_F(Phonebook, EventWithNullContextIsIgnored) {
    const size_t before = link->pending().count();
    DeviceLink::OnDeviceEvent(258, "+86", nullptr, lib.calls(Op::GetGSMCenter)[0].result);
    DeviceLink::OnDeviceEvent(1, nullptr, nullptr, 1);
    EXPECT_EQ(loop.queued(), 0u);
    EXPECT_EQ(link->pending().count(), before);
}

TEST_F(Phonebook, SetCentreFailureRestoresThePreviousNumber) {
    ASSERT_EQ(link->devices().centreNumber(1), "+86138001");
    const int id = link->setCentreNumber(1, "+8613900000000");
    ASSERT_NE(id, -1);
    EXPECT_EQ(lib.calls(Op::SetGSMCenter)[0].s1, "+8613900000000");
    EXPECT_EQ(link->devices().centreNumber(1), "+8613900000000");
    answer(257, "ERROR", id);
    EXPECT_EQ(link->devices().centreNumber(1), "+86138001");
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60060});
    EXPECT_EQ(boxes.shown[0].text, "设置短信中心失败!  ");
    EXPECT_FALSE(link->pending().find(id));

    const int ok = link->setCentreNumber(2, "+8613911111111");
    answer(257, "OK", ok);
    EXPECT_EQ(link->devices().centreNumber(2), "+8613911111111");
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(Phonebook, CentreErrorAnswerLeavesTheCentreUnread) {
    link->disconnect();
    loop.advance(300);
    lib.setDeviceCount(1);
    link->connect();
    loop.advance(5000);
    answer(258, "TIMEOUT", lib.lastResult(Op::GetGSMCenter));
    EXPECT_FALSE(link->devices().centreRead(1));
}

}  // namespace
}  // namespace msgdesk::test
