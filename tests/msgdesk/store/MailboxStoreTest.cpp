// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "device/WindowMessages.h"
#include "store/MailboxFiles.h"
#include "store/MailboxStore.h"

using namespace msgdesk;
using namespace storetest;

namespace {

struct StoreFixture : ::testing::Test {
    TempDir dir;
    platform::ManualMessageLoop loop;
    FrameLog frame;
    std::unique_ptr<MailboxStore> store;

    void open() {
        store = std::make_unique<MailboxStore>(
            loop, dir.path, [this](platform::Message m) { frame.posted.push_back(std::move(m)); });
        store->start();
    }
    fs::path file(MailboxId id) const { return MailboxFilePath(dir.path, id); }
};

}  // namespace

TEST_F(StoreFixture, StartBacksUpEveryFileAsItWasThenLoadsIt) {
    std::string files[kMailboxCount];
    for (int i = 0; i < kMailboxCount; ++i) {
        auto id = static_cast<MailboxId>(i);
        files[i] = recordBytes(rec(std::to_string(i), "m"));
        writeFile(file(id), files[i]);
        writeFile(MailboxBackupPath(dir.path, id), "stale");
    }
    fs::remove(file(PublicBox));  // missing: its old backup stays
    open();
    for (int i = 0; i < kMailboxCount; ++i) {
        auto id = static_cast<MailboxId>(i);
        std::string backup = readFile(MailboxBackupPath(dir.path, id));
        EXPECT_EQ(backup, id == PublicBox ? "stale" : files[i]) << MailboxFileName(id);
        EXPECT_EQ(store->box(id).size(), id == PublicBox ? 0 : 1);
    }
    EXPECT_TRUE(fs::exists(file(PublicBox)));
}

TEST_F(StoreFixture, StartWithoutDirectoriesCreatesThemAndKeepsMessages) {
    open();
    EXPECT_TRUE(fs::is_directory(dir.path / "data"));
    store->AppendMessage(rec("1", "kept"), InBox);
    store->shutdown();
    Mailbox back(InBox);
    EXPECT_EQ(LoadMailbox(file(InBox), back), 1);
}

TEST_F(StoreFixture, AppendPostsCountRefreshAndIgnoresUnknownMailbox) {
    open();
    MessageRecord r = rec("5", "t");
    r.Icon = 3;
    store->AppendMessage(r, SentBox);
    store->AppendMessage(r, 5);
    store->AppendMessage(r, -1);
    EXPECT_EQ(store->box(SentBox).size(), 1);
    EXPECT_EQ(store->box(SentBox).row(0).rec.Icon, 3);
    EXPECT_EQ(frame.count(UM_STATUSPANE, PANE_MAILBOX, 1), 1);
}

TEST_F(StoreFixture, ReplaceSetsIconZeroAndKeepsAttempts) {
    open();
    MessageRecord r = rec("5", "t");
    r.Icon = 17;
    store->AppendMessage(r, OutBox);
    store->box(OutBox).setAttempts(0, "2");
    store->ReplaceMessage(rec("5", "t", "42"), OutBox, 0);
    store->ReplaceMessage(rec("9", "no"), OutBox, 1);  // no such row
    const MailboxRow& row = store->box(OutBox).row(0);
    EXPECT_EQ(row.rec.Icon, 0);
    EXPECT_EQ(row.rec.status(), "42");
    EXPECT_EQ(row.attempts, "2");
    EXPECT_EQ(store->box(OutBox).size(), 1);
}

TEST_F(StoreFixture, ChangesAreSavedWithinTwoSecondsInOneSave) {
    open();
    store->AppendMessage(rec("1", "a"), InBox);
    loop.advance(1500);
    store->AppendMessage(rec("2", "b"), InBox);  // shares the pending save
    EXPECT_EQ(fs::file_size(file(InBox)), 0u);
    loop.advance(500);
    EXPECT_EQ(fs::file_size(file(InBox)), 2 * 236u);
    EXPECT_FALSE(store->dirty(InBox));
    // Only stored fields schedule a save.
    store->box(InBox).setAttempts(0, "1");
    store->box(InBox).setIcon(0, 18);
    EXPECT_FALSE(store->dirty(InBox));
}

TEST_F(StoreFixture, PeriodicSaveWritesEveryMailbox) {
    writeFile(file(InBox), recordBytes(rec("1", "a")) + "partial");
    open();
    fs::remove(file(SentBox));
    loop.advance(MailboxStore::kPeriodicSaveMs);
    EXPECT_EQ(fs::file_size(file(InBox)), 236u);
    EXPECT_TRUE(fs::exists(file(SentBox)));
}

TEST_F(StoreFixture, ShutdownEmptiesSimCacheAndSaves) {
    open();
    MessageRecord s = rec("1", "sim", "4/1");
    s.Icon = 1;
    ASSERT_TRUE(store->simCache().AddSimMessage(s));
    store->AppendMessage(rec("2", "x", "NEW"), InBox);
    store->shutdown();
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_FALSE(loop.timerActive(store.get(), MailboxStore::kTimerPeriodicSave));
    Mailbox back(InBox);
    ASSERT_EQ(LoadMailbox(file(InBox), back), 1);
    EXPECT_EQ(back.row(0).rec.status(), "NEW");
}

TEST_F(StoreFixture, FailedSaveStaysDueAndIsRetriedByTheNextChange) {
    open();
    fs::path tmp = file(InBox);
    tmp += ".tmp";
    fs::create_directory(tmp);
    store->AppendMessage(rec("1", "a"), InBox);
    loop.advance(2000);
    EXPECT_TRUE(store->dirty(InBox));
    fs::remove(tmp);
    store->AppendMessage(rec("2", "b"), InBox);
    loop.advance(2000);
    EXPECT_FALSE(store->dirty(InBox));
    EXPECT_EQ(fs::file_size(file(InBox)), 2 * 236u);
}

TEST(SimMessageCache, RemoveByDeviceByKeyAndAll) {
    SimMessageCache cache;
    for (int dev = 1; dev <= 4; ++dev) {
        MessageRecord r = rec("1", "t", std::to_string(dev * 10) + "/" + std::to_string(dev));
        r.Icon = dev;
        EXPECT_TRUE(cache.AddSimMessage(r));
    }
    MessageRecord bad = rec("1", "t");
    bad.Icon = 0;
    EXPECT_FALSE(cache.AddSimMessage(bad));
    bad.Icon = 17;
    EXPECT_FALSE(cache.AddSimMessage(bad));
    ASSERT_EQ(cache.size(), 4);

    cache.RemoveSimMessages(3);
    std::vector<int> devices;
    for (const auto& r : cache.records()) devices.push_back(r.Icon);
    EXPECT_EQ(devices, (std::vector<int>{1, 2, 4}));

    EXPECT_TRUE(cache.RemoveSimMessageByKey("20/2"));
    EXPECT_FALSE(cache.RemoveSimMessageByKey("20/2"));
    EXPECT_FALSE(cache.RemoveSimMessageByKey("10/"));  // byte for byte, not a prefix
    EXPECT_EQ(cache.size(), 2);

    cache.RemoveSimMessages(17);
    EXPECT_EQ(cache.size(), 0);
}

TEST_F(StoreFixture, UnreadableMailboxIsSetAsideNotOverwritten) {
    // A directory where the file should be: it opens, but every read fails.
    fs::create_directories(file(OutBox));
    writeFile(file(OutBox) / "keep", "messages that must survive");
    open();
    EXPECT_EQ(store->box(OutBox).size(), 0);
    fs::path aside = file(OutBox);
    aside += ".unreadable-1";
    EXPECT_EQ(readFile(aside / "keep"), "messages that must survive");
    store->AppendMessage(rec("1", "new"), OutBox);
    store->shutdown();
    EXPECT_EQ(fs::file_size(file(OutBox)), 236u);
    EXPECT_TRUE(fs::exists(aside / "keep"));
}
