// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include "ContactTestSupport.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactStore.h"
#include "platform/ManualMessageLoop.h"

using namespace msgdesk;
using namespace contacts_test;

namespace {

std::string twoRecords() {
    return recordBytes(contact(gbk("张三"), "13800000001")) +
           recordBytes(contact("Li", "+8613900000002"));
}

}  // namespace

TEST(ContactFiles, ZeroByteFileLoadsEmptyAndIsWrittenBackEmpty) {
    TempDir dir;
    ContactFiles files{dir.path()};
    writeBytes(files.file(), "");
    ContactBook book;
    auto r = LoadContacts(book, files.file());
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(book.empty());
    ASSERT_TRUE(SaveContacts(book, files));
    EXPECT_TRUE(fs::exists(files.file()));
    EXPECT_EQ(fs::file_size(files.file()), 0u);
}

TEST(ContactFiles, TrailingPieceIsIgnoredAndDropsAtTheNextSave) {
    TempDir dir;
    ContactFiles files{dir.path()};
    const std::string whole = twoRecords();
    writeBytes(files.file(), whole + std::string(46, 'x'));
    ASSERT_EQ(fs::file_size(files.file()), 500u);

    ContactBook book;
    auto r = LoadContacts(book, files.file());
    EXPECT_EQ(r.records, 2u);
    EXPECT_EQ(r.ignoredBytes, 46u);
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book.records()[0]->name(), gbk("张三"));
    EXPECT_EQ(book.records()[1]->mobile(), "+8613900000002");
    // Loading never cuts the file.
    EXPECT_EQ(fs::file_size(files.file()), 500u);

    ASSERT_TRUE(SaveContacts(book, files));
    EXPECT_EQ(readBytes(files.file()), whole);
    EXPECT_EQ(whole.size(), 454u);
    EXPECT_FALSE(fs::exists(files.temporary()));
}

TEST(ContactFiles, LoadAppendsToTheBookAndCreatesAMissingFileAndDirectory) {
    TempDir dir;
    ContactFiles files{dir.path()};
    ContactBook book;
    book.AddContact(std::make_unique<ContactRecord>(contact("A", "1")));
    auto r = LoadContacts(book, files.file());
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(book.size(), 1u);
    ASSERT_TRUE(fs::exists(files.file()));
    EXPECT_EQ(fs::file_size(files.file()), 0u);

    writeBytes(files.file(), twoRecords());
    LoadContacts(book, files.file());
    ASSERT_EQ(book.size(), 3u);
    EXPECT_EQ(book.records()[0]->name(), "A");
    EXPECT_EQ(book.records()[2]->name(), "Li");
}

TEST(ContactFiles, GbkAddressAndOldFieldTailsSurviveASaveByteForByte) {
    TempDir dir;
    ContactFiles files{dir.path()};
    ContactBook book;
    auto rec = NewContactRecord();
    rec->setName(gbk("王小明"));
    rec->setMobile("13912345678");
    const std::string address = gbk("北京市海淀区中关村东大街一号楼");  // 15 characters
    ASSERT_EQ(address.size(), 30u);
    rec->setField(ContactField::HomeAddress, address);
    rec->setField(ContactField::Email, "someone@example.com");
    rec->setField(ContactField::Email, "a@b.cn");  // the old tail stays in the field
    const std::string before = recordBytes(*rec);
    book.AddContact(std::move(rec));
    ASSERT_TRUE(SaveContacts(book, files));
    EXPECT_EQ(readBytes(files.file()), before);

    ContactBook again;
    LoadContacts(again, files.file());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again.records()[0]->field(ContactField::HomeAddress), address);
    EXPECT_EQ(again.records()[0]->field(ContactField::Email), "a@b.cn");
    EXPECT_EQ(recordBytes(*again.records()[0]), before);
}

TEST(ContactFiles, BackupHoldsTheFileAsItWasBeforeTheStart) {
    TempDir dir;
    ContactFiles files{dir.path()};
    const std::string original = twoRecords();
    writeBytes(files.file(), original);
    writeBytes(files.backup(), "stale backup of an older run");

    platform::ManualMessageLoop loop;
    ContactBook book;
    ContactStore store(book, files, loop);
    store.start();
    EXPECT_EQ(readBytes(files.backup()), original);

    book.AddContact(std::make_unique<ContactRecord>(contact("Wang", "139")));
    ASSERT_TRUE(store.saveNow());
    EXPECT_EQ(fs::file_size(files.file()), 3u * 227u);
    EXPECT_EQ(readBytes(files.backup()), original);  // refreshed once per start only
}

TEST(ContactFiles, FirstStartCreatesDataAndBackupDirectories) {
    TempDir dir;
    ContactFiles files{dir.path()};
    platform::ManualMessageLoop loop;
    ContactBook book;
    ContactStore store(book, files, loop);
    auto r = store.start();
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(fs::is_directory(dir.path() / "data"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "backup"));
    EXPECT_FALSE(fs::exists(files.backup()));  // nothing to back up yet

    fs::remove_all(dir.path() / "data");
    book.AddContact(std::make_unique<ContactRecord>(contact("A", "1")));
    ASSERT_TRUE(store.saveNow());
    EXPECT_EQ(fs::file_size(files.file()), 227u);
}

// The temporary file's place is taken by a directory that rename cannot
// replace, which makes the save fail even for root.
TEST(ContactFiles, FailedSaveLeavesTheFileExactlyAsItWas) {
    TempDir dir;
    ContactFiles files{dir.path()};
    const std::string onDisk = twoRecords();
    writeBytes(files.file(), onDisk);
    writeBytes(files.backup(), recordBytes(contact("Old", "1")));
    writeBytes(files.temporary() / "blocker", "x");

    ContactBook book;
    LoadContacts(book, files.file());
    book.AddContact(std::make_unique<ContactRecord>(contact("New", "2")));

    EXPECT_FALSE(SaveContacts(book, files));
    EXPECT_EQ(readBytes(files.file()), onDisk);  // neither cut nor replaced by the backup
    EXPECT_EQ(book.size(), 3u);

    // Once the obstacle is gone the next attempt saves everything.
    fs::remove_all(files.temporary());
    ASSERT_TRUE(SaveContacts(book, files));
    EXPECT_EQ(fs::file_size(files.file()), 3u * 227u);
}

TEST(ContactFiles, FailedSaveInAReadOnlyDirectoryLeavesTheFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    TempDir dir;
    ContactFiles files{dir.path()};
    const std::string onDisk = twoRecords();
    writeBytes(files.file(), onDisk);
    writeBytes(files.backup(), "");
    ContactBook book;
    book.AddContact(std::make_unique<ContactRecord>(contact("New", "2")));
    fs::permissions(dir.path() / "data", fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_FALSE(SaveContacts(book, files));
    EXPECT_EQ(readBytes(files.file()), onDisk);
}
