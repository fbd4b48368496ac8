// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "MessageListFixture.h"
#include "platform/Codepage.h"
#include "store/MessageCsv.h"
#include "store/MessageFinder.h"
#include "store/TextMatch.h"

using namespace msgdesk;
using platform::codepage::gbkToUtf8;

namespace {

bool contains(std::string_view hay, std::string_view needle) {
    return gbkContains(hay, foldFindText(needle));
}

TEST(TextMatch, CharacterBoundariesAndCase) {
    const std::string zhongguo = "\xD6\xD0\xB9\xFA";  // 中国
    EXPECT_TRUE(contains(zhongguo, "\xB9\xFA"));
    // D0 B9 is a character of its own, made of the halves of 中 and 国.
    EXPECT_FALSE(contains(zhongguo, "\xD0\xB9"));
    EXPECT_TRUE(contains("x\xD0\xB9y", "\xD0\xB9"));
    // 0x81 0x41: a two-byte character whose trail byte is 'A'.
    EXPECT_FALSE(contains("\x81\x41", "a"));
    EXPECT_FALSE(contains("\x81\x41", "A"));
    EXPECT_TRUE(
        contains("\x81\x41"
                 "A",
                 "a"));
    // Upper-case trail byte in the find text stays as it is.
    EXPECT_TRUE(contains("\x81\x41", "\x81\x41"));
    EXPECT_FALSE(contains("\x81\x61", "\x81\x41"));
    EXPECT_TRUE(contains("Hello World", "wORLD"));
    EXPECT_FALSE(contains("Hello World", "worlds"));
    EXPECT_TRUE(contains("anything", ""));
    EXPECT_FALSE(contains("", "a"));
    // A match at the very end, after many false starts of both cases.
    EXPECT_TRUE(contains("aAaAaAaAab", "AB"));
    // Four-byte characters: 😀 94 39 FC 36 and 𠮷 95 34 B2 35. The halves of
    // two of them side by side are no character, nor is a digit inside one.
    const std::string smile = "\x94\x39\xFC\x36", rare = "\x95\x34\xB2\x35";
    EXPECT_TRUE(contains("a" + smile + rare, rare));
    EXPECT_TRUE(contains(smile + "9", "9"));
    EXPECT_FALSE(contains(smile, "9"));
    EXPECT_FALSE(contains("\x81\x30\x94\x39\xFC\x36\x81\x30", smile));
    EXPECT_TRUE(contains("\x81\x30\x81\x30" + smile, smile));
}

struct FinderTest : storetest::MessageListFixture {
    std::unique_ptr<MessageFinder> finder;
    int changes = 0;
    void SetUp() override {
        MessageListFixture::SetUp();
        store->AppendMessage(storetest::rec("13800000001", "Meeting at 10"), InBox);
        store->AppendMessage(storetest::rec("13800000002", "\xD6\xD0\xB9\xFA"), InBox);  // 中国
        store->AppendMessage(storetest::rec("13900000003", "lunch?"), InBox);
        store->AppendMessage(storetest::rec("13800000004", "MEETING moved"), InBox);
        store->AppendMessage(storetest::rec("13700000005", "see meeting notes"), SentBox);
        store->AppendMessage(storetest::rec("13700000006", "draft meeting"), PublicBox);
        store->AppendMessage(storetest::rec("13700000007", "old"), DeleteBox);
        finder = std::make_unique<MessageFinder>(*list);
        finder->onRowsChanged = [this] { ++changes; };
        list->ShowMailbox(InBox);
    }
    std::vector<int> shownRows() const {
        std::vector<int> out;
        for (const FoundRow& f : finder->rows()) out.push_back(f.row);
        return out;
    }
};

TEST_F(FinderTest, TypingNarrowsAndEscShowsAll) {
    EXPECT_FALSE(finder->filtering());
    finder->setText("m");
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 3}));
    finder->setText("meet");
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 3}));
    EXPECT_EQ(finder->countText(), "找到 2 条");
    finder->setText("13800");  // number column
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 1, 3}));
    finder->setText(gbkToUtf8("\xB9\xFA"));  // 国
    EXPECT_EQ(shownRows(), (std::vector<int>{1}));
    finder->setText(gbkToUtf8("\xD0\xB9"));  // straddles 中国
    EXPECT_EQ(finder->count(), 0);
    EXPECT_EQ(finder->countText(), "找到 0 条");
    finder->clear();
    EXPECT_FALSE(finder->filtering());
    EXPECT_GT(changes, 0);
}

TEST_F(FinderTest, CommandsActOnShownRowsOnly) {
    finder->setText("meeting");
    // Showing the mailbox selected its last row; it matches and stays.
    EXPECT_EQ(finder->selectedShown(), (std::vector<int>{1}));
    list->onCommand(ID_MSG_SELECTALL);
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{0, 3}));
    list->onCommand(ID_MSG_DELETE);
    EXPECT_EQ(storetest::numbers(box(InBox)),
              (std::vector<std::string>{"13800000002", "13900000003"}));
    EXPECT_EQ(box(DeleteBox).size(), 3);
    // The row selected after the delete is hidden, so nothing is selected.
    EXPECT_EQ(finder->count(), 0);
    EXPECT_EQ(box(InBox).selectedCount(), 0);
    finder->setText("");
    list->ShowMailbox(InBox);
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{1}));
}

TEST_F(FinderTest, AfterADeleteTheNextShownRowIsSelected) {
    finder->setText("1380");
    ASSERT_EQ(shownRows(), (std::vector<int>{0, 1, 3}));
    finder->setSelectedShown({0});
    list->onCommand(ID_MSG_DELETE);
    // Core selected row 0 (now 13800000002): shown, kept.
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{0}));
    finder->setSelectedShown({0});
    list->onCommand(ID_MSG_DELETE);
    // Core selected row 0 (13900000003): hidden, so the next shown one.
    EXPECT_EQ(shownRows(), (std::vector<int>{1}));
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{1}));
    EXPECT_EQ(previews.back().first, "13800000004");
    list->onCommand(ID_MSG_DELETE);
    EXPECT_EQ(finder->count(), 0);
    EXPECT_EQ(box(InBox).selectedCount(), 0);
    EXPECT_EQ(box(DeleteBox).size(), 4);
}

TEST_F(FinderTest, ShownSelectionMapsToMailboxRows) {
    finder->setText("1380");
    ASSERT_EQ(shownRows(), (std::vector<int>{0, 1, 3}));
    finder->setSelectedShown({2});
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{3}));
    list->onCommand(ID_MSG_REPLY);
    ASSERT_EQ(composes().size(), 1u);
    EXPECT_EQ(composes()[0].first, "13800000004");
    // A new message that matches appears; one that does not stays hidden.
    store->AppendMessage(storetest::rec("13800000009", "new"), InBox);
    store->AppendMessage(storetest::rec("13900000010", "new"), InBox);
    EXPECT_EQ(shownRows(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(finder->selectedShown(), (std::vector<int>{2}));
    // Another mailbox chosen in the tree: the find applies to it.
    list->ShowMailbox(SentBox);
    EXPECT_EQ(finder->count(), 0);
}

TEST_F(FinderTest, AllMailboxesOpenReplyForwardButNoDelete) {
    finder->setText("meeting");
    finder->setAllMailboxes(true);
    ASSERT_EQ(finder->rows(),
              (std::vector<FoundRow>{{InBox, 0}, {InBox, 3}, {SentBox, 0}, {PublicBox, 0}}));
    EXPECT_EQ(finder->selectedShown(), std::vector<int>{});
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_REPLY));
    finder->setSelectedShown({2});
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_REPLY));
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_FORWARD));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_DELETE));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_RESTORE));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_RESEND));
    list->onCommand(ID_MSG_FORWARD);
    list->onCommand(ID_MSG_REPLY);
    list->onCommand(ID_MSG_DELETE);  // refused: nothing moves
    EXPECT_EQ(box(SentBox).size(), 1);
    EXPECT_EQ(composes(),
              (std::vector<std::pair<std::string, int>>{{"see meeting notes", COMPOSE_FORWARD},
                                                        {"13700000005", COMPOSE_REPLY}}));
    EXPECT_EQ(previews.back().first, "13700000005");
    // Two selected: reply needs exactly one.
    finder->setSelectedShown({0, 1});
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_REPLY));
    // Opening a draft shows it and leaves it where it is.
    viewResult = IDC_VIEW_REPLY;
    finder->openShown(3);
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0].number(), "13700000006");
    EXPECT_EQ(box(PublicBox).size(), 1);
    EXPECT_EQ(composes().back(), (std::pair<std::string, int>{"13700000006", COMPOSE_REPLY}));
    // Back to one mailbox: its own rules again.
    finder->setAllMailboxes(false);
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_DELETE));
}

TEST_F(FinderTest, OpeningAnUnreadInBoxRowMarksItRead) {
    box(InBox).setStatus(3, "NEW");
    finder->setAllMailboxes(true);
    EXPECT_EQ(finder->count(), 7);  // all mode with no text: every row
    finder->openShown(3);
    EXPECT_EQ(box(InBox).row(3).rec.status(), "");
    // The status change keeps the found rows and their selection.
    finder->setSelectedShown({4});
    box(SentBox).setContact(0, "Ann");
    EXPECT_EQ(finder->count(), 7);
    EXPECT_EQ(finder->selectedShown(), std::vector<int>{4});
}

}  // namespace

namespace {

TEST_F(FinderTest, FindAndExportReachTheWholeTextOfALongMessage) {
    MessageRecord r = storetest::rec("95588", std::string(160, 'y'));
    store->AppendMessage(r, InBox);
    store->longTexts(InBox).add(LongTexts::keyOf(r), std::string(160, 'y') + " balance due");
    finder->setText("yyy");
    EXPECT_EQ(shownRows(), (std::vector<int>{4}));
    finder->setText("balance");  // only in the whole text
    EXPECT_EQ(shownRows(), (std::vector<int>{4}));
    finder->setText("lunch");  // a plain row is still found by its Text
    EXPECT_EQ(shownRows(), (std::vector<int>{2}));
    const std::string csv = messagesToCsv(*store, {{InBox, 4}, {InBox, 2}});
    EXPECT_NE(csv.find(" balance due"), std::string::npos);
    EXPECT_NE(csv.find("lunch?"), std::string::npos);
}

TEST_F(FinderTest, FindAndExportKeepEmojiAndRareCharacters) {
    using platform::codepage::utf8ToGbk;
    store->AppendMessage(storetest::rec("95588", utf8ToGbk("表情😀测试")), InBox);
    finder->setText("😀");
    EXPECT_EQ(shownRows(), (std::vector<int>{4}));
    finder->setText("𠮷");
    EXPECT_TRUE(shownRows().empty());
    const std::string csv = messagesToCsv(*store, {{InBox, 4}});
    EXPECT_NE(csv.find("表情😀测试"), std::string::npos) << csv;
}

}  // namespace
