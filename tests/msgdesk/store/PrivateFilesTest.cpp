// SPDX-License-Identifier: GPL-3.0-or-later
// What Msgdesk stores is readable by its user only, whatever the umask.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "contacts/ContactFiles.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/PrivateFiles.h"
#include "store/LongTexts.h"
#include "store/MailboxFiles.h"
#include "store/PartAssembly.h"
#include "store/PendingDeleteJournal.h"

namespace msgdesk::test {
namespace {
namespace fs = std::filesystem;

unsigned modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

struct OpenUmask : ::testing::Test {
    mode_t old = ::umask(0);
    storetest::TempDir dir;
    ~OpenUmask() override { ::umask(old); }
};

TEST_F(OpenUmask, MailboxesContactsAndBackupsAreCreatedPrivate) {
    Mailbox box(InBox);
    MessageRecord rec;
    rec.setNumber("13800138000");
    rec.setText("secret");
    box.append(rec);
    ASSERT_EQ(SaveMailbox(MailboxFilePath(dir.path, InBox), box), 1);
    BackupMailbox(dir.path, InBox);
    ContactBook book;
    auto c = NewContactRecord();
    c->setMobile("13900139000");
    book.AddContact(std::move(c));
    const ContactFiles files{dir.path};
    ASSERT_TRUE(SaveContacts(book, files));
    ASSERT_TRUE(BackupContacts(files));
    Mailbox out(OutBox);
    ASSERT_EQ(LoadMailbox(MailboxFilePath(dir.path, OutBox), out), 0);  // created empty

    PendingDeleteJournal journal(dir.path / "data");
    ASSERT_TRUE(journal.add({"13800138000", "2026-12-07", "10:00:00", "secret"}));
    PartAssembly parts(dir.path / "data");
    PartAssembly::Part part;
    part.number = "13800138000";
    part.body = "secret part";
    part.total = 2;
    ASSERT_EQ(parts.add(part), PartAssembly::Added::Stored);
    LongTexts sidecar;
    sidecar.add(LongTexts::keyOf(rec), "secret whole text");
    const fs::path inboxFile = MailboxFilePath(dir.path, InBox);
    ASSERT_TRUE(sidecar.save(LongTexts::pathFor(inboxFile)));

    EXPECT_EQ(modeOf(dir.path / "data"), 0700u);
    EXPECT_EQ(modeOf(dir.path / "backup"), 0700u);
    EXPECT_EQ(modeOf(PendingDeleteJournal::filePath(dir.path / "data")), 0600u);
    EXPECT_EQ(modeOf(PartAssembly::filePath(dir.path / "data")), 0600u);
    EXPECT_EQ(modeOf(LongTexts::pathFor(inboxFile)), 0600u);
    for (const char* f : {"data/InBox.db", "data/OutBox.db", "data/contact.db",
                          "backup/InBox.db.bak", "backup/contact.db.bak"})
        EXPECT_EQ(modeOf(dir.path / f), 0600u) << f;
}

TEST_F(OpenUmask, WiderFilesOfAnEarlierVersionAreNarrowedAtTheNextLoadOrSave) {
    fs::create_directories(dir.path / "data");
    ::chmod((dir.path / "data").c_str(), 0755);
    storetest::writeFile(dir.path / "data" / "InBox.db", "");
    storetest::writeFile(dir.path / "data" / "contact.db", "");
    ::chmod((dir.path / "data" / "InBox.db").c_str(), 0644);
    ::chmod((dir.path / "data" / "contact.db").c_str(), 0666);
    Mailbox box(InBox);
    LoadMailbox(MailboxFilePath(dir.path, InBox), box);
    ContactBook book;
    EXPECT_TRUE(LoadContacts(book, ContactFiles{dir.path}.file()).opened);
    EXPECT_EQ(modeOf(dir.path / "data"), 0700u);
    EXPECT_EQ(modeOf(dir.path / "data" / "InBox.db"), 0600u);
    EXPECT_EQ(modeOf(dir.path / "data" / "contact.db"), 0600u);
}

TEST_F(OpenUmask, HelperKeepsNarrowerModesAndRefusesAFileAsDirectory) {
    const fs::path ro = dir.path / "readonly";
    storetest::writeFile(ro, "x");
    ::chmod(ro.c_str(), 0400);
    int fd = platform::openPrivate(ro, O_RDONLY);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(modeOf(ro), 0400u);  // narrowed, never widened
    EXPECT_FALSE(platform::makePrivateDir(ro));
    EXPECT_TRUE(platform::makePrivateDir(dir.path / "a" / "b"));
    EXPECT_EQ(modeOf(dir.path / "a" / "b"), 0700u);
    EXPECT_EQ(modeOf(dir.path / "a"), 0700u);          // a parent made on the way too
    EXPECT_NE(modeOf(dir.path.parent_path()), 0700u);  // an existing one is left
    EXPECT_EQ(platform::openPrivate(dir.path / "missing", O_RDONLY), -1);
}

}  // namespace
}  // namespace msgdesk::test
