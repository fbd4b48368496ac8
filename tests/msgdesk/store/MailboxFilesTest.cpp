// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "StoreTestSupport.h"
#include "store/MailboxFiles.h"

using namespace msgdesk;
using namespace storetest;

namespace {

fs::path inbox(const TempDir& d) {
    return MailboxFilePath(d.path, InBox);
}

}  // namespace

TEST(MailboxFiles, ZeroByteFileLoadsEmptyAndSavesAsZeroBytes) {
    TempDir d;
    fs::path out = MailboxFilePath(d.path, OutBox);
    writeFile(out, "");
    Mailbox box(OutBox);
    EXPECT_EQ(LoadMailbox(out, box), 0);
    EXPECT_EQ(box.size(), 0);
    EXPECT_EQ(SaveMailbox(out, box), 0);
    EXPECT_EQ(fs::file_size(out), 0u);
}

TEST(MailboxFiles, PartialTailIsIgnoredAndDisappearsAtTheNextSave) {
    TempDir d;
    std::string bytes = recordBytes(rec("111", "one")) + recordBytes(rec("222", "two"));
    bytes += std::string(500 - bytes.size(), 'z');  // 28 stray bytes
    writeFile(inbox(d), bytes);
    Mailbox box(InBox);
    EXPECT_EQ(LoadMailbox(inbox(d), box), 2);
    EXPECT_EQ(numbers(box), (std::vector<std::string>{"111", "222"}));
    EXPECT_EQ(SaveMailbox(inbox(d), box), 2);
    EXPECT_EQ(fs::file_size(inbox(d)), 472u);
}

TEST(MailboxFiles, MissingFileIsCreatedEmptyWithItsDirectory) {
    TempDir d;
    Mailbox box(SentBox);
    fs::path p = MailboxFilePath(d.path, SentBox);
    EXPECT_EQ(LoadMailbox(p, box), 0);
    ASSERT_TRUE(fs::exists(p));
    EXPECT_EQ(fs::file_size(p), 0u);
}

TEST(MailboxFiles, RoundTripKeepsFieldsNewAndDropsIconAndAttempts) {
    TempDir d;
    Mailbox box(OutBox);
    MessageRecord r = rec("13912345678", std::string(160, 'a'), "NEW");
    r.Icon = 17;
    box.append(r);
    box.setAttempts(0, "4");
    ASSERT_EQ(SaveMailbox(MailboxFilePath(d.path, OutBox), box), 1);
    // On disk the icon is 0.
    std::string disk = readFile(MailboxFilePath(d.path, OutBox));
    ASSERT_EQ(disk.size(), 236u);
    EXPECT_EQ(disk.substr(0, 4), std::string(4, '\0'));

    Mailbox again(OutBox);
    ASSERT_EQ(LoadMailbox(MailboxFilePath(d.path, OutBox), again), 1);
    const MailboxRow& row = again.row(0);
    EXPECT_EQ(row.rec.number(), "13912345678");
    EXPECT_EQ(row.rec.text(), std::string(160, 'a'));
    EXPECT_EQ(row.rec.status(), "NEW");
    EXPECT_EQ(row.rec.Icon, 0);
    EXPECT_EQ(row.attempts, "");
}

TEST(MailboxFiles, OverlongTextIsCutAtACharacterBoundary) {
    MessageRecord ascii;
    ascii.setText(std::string(161, 'b'));
    EXPECT_EQ(ascii.text().size(), 160u);
    // 159 ASCII bytes and one two-byte GBK character: the character would end
    // at byte 161, so it goes whole.
    MessageRecord gbk;
    gbk.setText(std::string(159, 'b') + "\xD6\xD0");
    EXPECT_EQ(gbk.text(), std::string(159, 'b'));
    MessageRecord fits;
    fits.setText(std::string(158, 'b') + "\xD6\xD0");
    EXPECT_EQ(fits.text().size(), 160u);
}

TEST(MailboxFiles, FieldWithoutTerminatorIsCutOnLoad) {
    TempDir d;
    MessageRecord r = rec("1", "x");
    std::memset(r.Number, '7', sizeof r.Number);  // no NUL inside the field
    r.Number[19] = '\xD6';                        // a lead byte the cut must not split
    r.Number[20] = '\xD0';
    writeFile(inbox(d), recordBytes(r));
    Mailbox box(InBox);
    ASSERT_EQ(LoadMailbox(inbox(d), box), 1);
    EXPECT_EQ(box.row(0).rec.number(), std::string(19, '7'));
    EXPECT_EQ(box.row(0).rec.text(), "x");
}

TEST(MailboxFiles, BackupEqualsTheFileBeforeTheRunAndMissingFileKeepsOldBackup) {
    TempDir d;
    std::string before = recordBytes(rec("1", "old"));
    writeFile(MailboxFilePath(d.path, InBox), before);
    writeFile(MailboxBackupPath(d.path, OutBox), "previous backup");
    BackupMailbox(d.path, InBox);
    BackupMailbox(d.path, OutBox);  // data/OutBox.db does not exist
    EXPECT_EQ(readFile(MailboxBackupPath(d.path, InBox)), before);
    EXPECT_EQ(readFile(MailboxBackupPath(d.path, OutBox)), "previous backup");
}

// A save that cannot write must leave the old file as it was.
class FailedSave : public ::testing::Test {
protected:
    void SetUp() override {
        old = recordBytes(rec("1", "old")) + recordBytes(rec("2", "old"));
        writeFile(inbox(d), old);
        box.append(rec("3", "new"));
    }
    TempDir d;
    std::string old;
    Mailbox box{InBox};
};

TEST_F(FailedSave, TemporaryPathOccupiedByADirectory) {
    fs::path tmp = inbox(d);
    tmp += ".tmp";
    fs::create_directory(tmp);
    EXPECT_EQ(SaveMailbox(inbox(d), box), -1);
    EXPECT_EQ(readFile(inbox(d)), old);
}

TEST_F(FailedSave, DiskFull) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
    fs::path tmp = inbox(d);
    tmp += ".tmp";
    fs::create_symlink("/dev/full", tmp);  // every write fails with ENOSPC
    EXPECT_EQ(SaveMailbox(inbox(d), box), -1);
    EXPECT_EQ(readFile(inbox(d)), old);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp))) << "the temporary is cleaned up";
}

TEST_F(FailedSave, ReadOnlyDirectory) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories; covered above";
    fs::permissions(d.path / "data", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(SaveMailbox(inbox(d), box), -1);
    EXPECT_EQ(readFile(inbox(d)), old);
}

TEST_F(FailedSave, CrashBetweenWriteAndRenameKeepsTheOldFile) {
    SaveHooks crash;
    crash.beforeRename = [] { _exit(3); };
    EXPECT_EXIT(SaveMailbox(inbox(d), box, crash), ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(readFile(inbox(d)), old);
    // The next run loads the old messages and its first save replaces the
    // stale temporary.
    Mailbox after(InBox);
    EXPECT_EQ(LoadMailbox(inbox(d), after), 2);
    after.append(rec("4", "later"));
    EXPECT_EQ(SaveMailbox(inbox(d), after), 3);
    EXPECT_EQ(fs::file_size(inbox(d)), 3 * 236u);
    fs::path tmp = inbox(d);
    tmp += ".tmp";
    EXPECT_FALSE(fs::exists(tmp));
}
