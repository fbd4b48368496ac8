// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ContactTestSupport.h"
#include "contacts/ContactStore.h"
#include "platform/ManualMessageLoop.h"

using namespace msgdesk;
using namespace contacts_test;

namespace {

struct ContactStoreTest : ::testing::Test {
    TempDir dir;
    ContactFiles files{dir.path()};
    platform::ManualMessageLoop loop;
    ContactBook book;
    ContactStore store{book, files, loop};

    std::uintmax_t fileSize() { return fs::file_size(files.file()); }
};

}  // namespace

TEST_F(ContactStoreTest, AChangeIsSavedTwoSecondsLaterAndChangesCoalesce) {
    store.start();
    ASSERT_EQ(fileSize(), 0u);

    ContactRecord* r = book.AddContact(std::make_unique<ContactRecord>(contact("Li", "1")));
    EXPECT_TRUE(store.unsaved());
    loop.advance(1500);
    EXPECT_EQ(fileSize(), 0u);

    // An edit in place, reported by the window that made it, rides on the
    // save already due.
    r->setName("Liu");
    book.notifyChanged();
    loop.advance(499);
    EXPECT_EQ(fileSize(), 0u);
    loop.advance(1);
    ASSERT_EQ(fileSize(), 227u);
    EXPECT_EQ(readBytes(files.file()), recordBytes(*r));
    EXPECT_FALSE(store.unsaved());
    EXPECT_FALSE(loop.timerActive(&store, ContactStore::kChangeSaveTimer));
}

TEST_F(ContactStoreTest, TheThirtyMinuteTimerSavesEditsNobodyReported) {
    store.start();
    ContactRecord* r = book.AddContact(std::make_unique<ContactRecord>(contact("Li", "1")));
    loop.advance(2000);
    r->setField(ContactField::Email, "li@example.com");
    loop.advance(ContactStore::kPeriodicSaveMs - 2001);
    EXPECT_NE(readBytes(files.file()), recordBytes(*r));
    loop.advance(1);
    EXPECT_EQ(readBytes(files.file()), recordBytes(*r));
    EXPECT_TRUE(loop.timerActive(&store, ContactStore::kPeriodicSaveTimer));
}

TEST_F(ContactStoreTest, AFailedChangeSaveStaysUnsavedUntilALaterSaveSucceeds) {
    store.start();
    writeBytes(files.temporary() / "blocker", "x");
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "1")));
    loop.advance(2000);
    EXPECT_TRUE(store.unsaved());
    EXPECT_EQ(fileSize(), 0u);

    fs::remove_all(files.temporary());
    loop.advance(ContactStore::kPeriodicSaveMs - 2000);
    EXPECT_FALSE(store.unsaved());
    EXPECT_EQ(fileSize(), 227u);
}

TEST_F(ContactStoreTest, ShutdownSavesOnceAndStopsWatching) {
    store.start();
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "1")));
    EXPECT_TRUE(store.shutdown());
    EXPECT_EQ(fileSize(), 227u);
    EXPECT_FALSE(loop.timerActive(&store, ContactStore::kPeriodicSaveTimer));
    EXPECT_FALSE(loop.timerActive(&store, ContactStore::kChangeSaveTimer));

    // The pane frees the book after the final save; that must not be saved.
    book.clear();
    loop.advance(ContactStore::kPeriodicSaveMs);
    EXPECT_EQ(fileSize(), 227u);
}

TEST_F(ContactStoreTest, LoadingIsNotAChange) {
    writeBytes(files.file(), recordBytes(contact("Li", "1")) + "tail");
    store.start();
    EXPECT_FALSE(store.unsaved());
    EXPECT_FALSE(loop.timerActive(&store, ContactStore::kChangeSaveTimer));
    loop.advance(5000);
    EXPECT_EQ(fileSize(), 231u);
}

// Something that cannot be read as the book (here a directory, so the test
// also works as root) is kept aside, never replaced by an empty book.
TEST_F(ContactStoreTest, AFileThatCouldNotBeReadIsKeptAsideBeforeTheFirstSave) {
    writeBytes(files.file() / "inside", "contacts of another kind");
    auto r = store.start();
    EXPECT_FALSE(r.opened);
    EXPECT_TRUE(store.keepingUnreadFile());
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "1")));
    loop.advance(2000);
    EXPECT_FALSE(store.unsaved());
    EXPECT_EQ(readBytes(fs::path(files.file()) += ".unread/inside"), "contacts of another kind");
    EXPECT_EQ(fileSize(), 227u);
    EXPECT_FALSE(store.keepingUnreadFile());
}
