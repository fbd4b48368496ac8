// SPDX-License-Identifier: GPL-3.0-or-later
// Receiving against faults: a crash between filing and deletion, records
// arriving for devices that went away, deletions that keep failing.
#include <filesystem>

#include "msgdesk/recvsend/RecvSendFixture.h"
#include "store/PendingDeleteJournal.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using Entry = PendingDeleteJournal::Entry;

class ReceivingFaults : public RecvSendTest {
protected:
    fs::path journalFile() { return PendingDeleteJournal::filePath(dir.path / "data"); }
    // The listing of device finds a message at index.
    void listed(int device, int index, const std::string& answer) {
        lib.fire(264, std::to_string(index).c_str(), device);
        lib.fire(261, answer.c_str(), lib.lastResult(Op::GetSMSMessage));
        loop.runUntilIdle();
    }
};

// Copies kept on the SIM under SaveInCard 1 survive a switch to 0: only what
// Msgdesk itself filed and meant to delete is deleted at the next start.
TEST_F(ReceivingFaults, ListingDeletesOnlyWhatTheJournalNames) {
    settings.SaveInCard = 1;
    receive(1, 2, smsText("10010", "030215093007", "kept on purpose"));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_FALSE(fs::exists(journalFile()));
    settings.SaveInCard = 0;
    receive(1, 3, smsText("10086", "030216101010", "filed"));
    ASSERT_EQ(inbox().size(), 2);
    // The program dies before the deletion of index 3 is confirmed.
    const std::string journal = storetest::readFile(journalFile());
    EXPECT_EQ(journal, "10086\t2003-02-16\t10:10:10\tfiled\n");
    openStore();
    lib.clearCalls();

    listed(1, 2, smsText("10010", "030215093007", "kept on purpose"));
    listed(1, 3, smsText("10086", "030216101010", "filed"));
    listed(1, 4, smsText("10086", "030216101010", "filed but other text"));
    auto dels = lib.calls(Op::DelSMSMessage);
    ASSERT_EQ(dels.size(), 1u);
    EXPECT_EQ(dels[0].b, 3);
    ASSERT_EQ(store->simCache().size(), 2);
    EXPECT_EQ(store->simCache().records()[0].text(), "kept on purpose");
    EXPECT_EQ(inbox().size(), 2);
    EXPECT_EQ(receiver->duplicatesDeleted(), 1);

    // Confirmed: the journal is empty (and its file gone).
    lib.fire(262, "OK", dels[0].result);
    loop.runUntilIdle();
    EXPECT_TRUE(receiver->journal().entries().empty());
    EXPECT_FALSE(fs::exists(journalFile()));
}

TEST_F(ReceivingFaults, ConfirmedDeletionEmptiesTheJournalAFailedOneKeepsIt) {
    receive(1, 5, smsText("10010", "030215093007", "one"));
    receive(2, 6, smsText("10011", "030215093008", "two"));
    ASSERT_EQ(receiver->journal().entries().size(), 2u);
    auto dels = lib.calls(Op::DelSMSMessage);
    ASSERT_EQ(dels.size(), 2u);
    lib.fire(262, "OK", dels[1].result);
    loop.runUntilIdle();
    ASSERT_EQ(receiver->journal().entries().size(), 1u);
    EXPECT_EQ(receiver->journal().entries()[0].text, "one");
    EXPECT_EQ(PendingDeleteJournal(dir.path / "data").entries(), receiver->journal().entries());

    // Device 1 keeps failing the deletion: retried after 1, 2, 4 ... s, ten
    // times, then left to the journal.
    int id = dels[0].result;
    for (int k = 0; k <= RetryQueue::kMaxRetries; ++k) {
        lib.fire(262, "ERROR", id);
        loop.runUntilIdle();
        loop.advance(RetryQueue::pauseMs(k + 1));
        id = lib.lastResult(Op::DelSMSMessage);
    }
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 2 + RetryQueue::kMaxRetries);
    loop.advance(600000);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 2 + RetryQueue::kMaxRetries);
    EXPECT_EQ(link->pendingRetries(), 0u);
    EXPECT_EQ(receiver->journal().entries().size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReceivingFaults, DeletionRetryOfAReceiverThatWentIsDropped) {
    receive(1, 5, smsText("10010", "030215093007", "one"));
    lib.fire(262, "ERROR", lib.lastResult(Op::DelSMSMessage));
    loop.runUntilIdle();
    ASSERT_EQ(link->pendingRetries(), 1u);
    openStore();  // the receiver is rebuilt; the link and its queue stay
    loop.advance(1000);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 1);
    EXPECT_EQ(link->pendingRetries(), 0u);
}

TEST_F(ReceivingFaults, ListedRecordsOfDepartedDevicesAreDropped) {
    settings.SaveInCard = 1;
    // Read while device 2 was there, filed after it went.
    lib.fire(264, "4", 2);
    const int listedRead = lib.lastResult(Op::GetSMSMessage);
    lib.fire(259, "5", 2);
    const int newRead = lib.lastResult(Op::GetSMSMessage);
    lib.fire(261, smsText("10010", "030215093007", "listed").c_str(), listedRead);
    lib.fire(261, smsText("10011", "030215093008", "new").c_str(), newRead);
    ports.viewExists = false;
    link->deviceRemoved(2);
    loop.runUntilIdle();
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_EQ(messageCount(2), 0);
    // The new message itself is not lost: it is in the InBox.
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "new");
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);

    // The same for device 1 when its answer comes while the link closes.
    lib.fire(264, "7", 1);
    const int late = lib.lastResult(Op::GetSMSMessage);
    lib.onCall(Op::CloseModules, [&](const FakeDeviceLibrary::Call&) {
        lib.fire(261, smsText("10012", "030215093009", "late").c_str(), late);
    });
    link->disconnect();
    loop.advance(300);
    loop.runUntilIdle();
    lib.onCall(Op::CloseModules, nullptr);
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_EQ(messageCount(1), 0);

    // A device still attached keeps its copies.
    connectAndPoll(2);
    listed(1, 8, smsText("10013", "030215093010", "here"));
    EXPECT_EQ(store->simCache().size(), 1);
}

TEST_F(ReceivingFaults, NewMessageOfADepartedDeviceIsJournaledForTheNextListing) {
    lib.fire(259, "9", 2);
    lib.fire(261, smsText("10010", "030215093007", "orphan").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    ports.viewExists = false;
    link->deviceRemoved(2);
    loop.runUntilIdle();
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    EXPECT_EQ(receiver->journal().entries().size(), 1u);
    // Listed when it comes back: deleted, not filed twice.
    link->disconnect();
    loop.advance(300);
    connectAndPoll(2);
    listed(2, 9, smsText("10010", "030215093007", "orphan"));
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 1);
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_EQ(inbox().size(), 1);
}

// The send pump waits for every centre, but not for one given up on.
TEST_F(ReceivingFaults, SendingStartsOnceASilentCentreIsGivenUp) {
    link = std::make_unique<DeviceLink>(loop, nullptr, lib.table(), book, ports, boxes, &frame);
    openStore();
    connectAndPoll(2, false);
    loop.advance(5000);
    for (auto& c : lib.calls(Op::GetGSMCenter))
        if (c.a == 1) lib.fire(258, "+8613800100500", c.result);
    compose({"1001"});
    loop.advance(5000 * (kCentrePolls - 1));
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 0);  // device 2 is still asked
    loop.advance(5000);
    loop.runUntilIdle();
    EXPECT_TRUE(link->devices().centreUnknown(2));
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 1);
}

TEST(PendingDeleteJournal, FieldsWithSeparatorsRoundTripAndBadLinesAreSkipped) {
    storetest::TempDir dir;
    const Entry odd{"+86138\\", "2003-02-15", "09:30:07", "a\tb\nc\rd\\e \xd5\\\xc5"};
    {
        PendingDeleteJournal j(dir.path);
        EXPECT_TRUE(j.add(odd));
        EXPECT_TRUE(j.add(Entry{"10086", "", "", ""}));
    }
    const std::string bytes = storetest::readFile(PendingDeleteJournal::filePath(dir.path));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);
    storetest::writeFile(PendingDeleteJournal::filePath(dir.path),
                         bytes + "only\tthree\tfields\nbad\\escape\tx\ty\tz\n\n1\t2\t3\t4\t5\n");
    PendingDeleteJournal j(dir.path);
    ASSERT_EQ(j.entries().size(), 2u);
    EXPECT_EQ(j.entries()[0], odd);
    EXPECT_EQ(j.skippedLines(), 3);
    EXPECT_TRUE(j.contains(Entry{"10086", "", "", ""}));
    EXPECT_FALSE(j.contains(Entry{"10086", "", "", " "}));
    EXPECT_TRUE(j.remove(odd));
    EXPECT_FALSE(j.remove(odd));
}

TEST(PendingDeleteJournal, KeepsAtMostTheNewestEntries) {
    storetest::TempDir dir;
    PendingDeleteJournal j(dir.path);
    auto entry = [](size_t i) { return Entry{std::to_string(i), "d", "t", "x"}; };
    for (size_t i = 0; i < PendingDeleteJournal::kMaxEntries; ++i) j.add(entry(i));
    EXPECT_EQ(j.entries().size(), PendingDeleteJournal::kMaxEntries);
    EXPECT_TRUE(j.contains(entry(0)));
    j.add(entry(PendingDeleteJournal::kMaxEntries));
    EXPECT_EQ(j.entries().size(), PendingDeleteJournal::kMaxEntries);
    EXPECT_FALSE(j.contains(entry(0)));
    EXPECT_TRUE(j.contains(entry(1)));
    EXPECT_EQ(PendingDeleteJournal(dir.path).entries().size(), PendingDeleteJournal::kMaxEntries);
}

TEST(PendingDeleteJournal, AnUnwritableDirectoryFailsTheAddButKeepsTheEntry) {
    storetest::TempDir dir;
    storetest::writeFile(dir.path / "data", "a file where the directory should be");
    PendingDeleteJournal j(dir.path / "data");
    EXPECT_FALSE(j.add(Entry{"1", "2", "3", "4"}));
    EXPECT_EQ(j.entries().size(), 1u);
}

}  // namespace
}  // namespace msgdesk::test
