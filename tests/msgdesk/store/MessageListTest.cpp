// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageListFixture.h"
#include "platform/Codepage.h"
#include "store/ForwardText.h"
#include "store/LongTexts.h"
#include "store/MailboxTree.h"
#include "store/RowCompare.h"

using namespace msgdesk;
using namespace storetest;
using Strings = std::vector<std::string>;

// A forwarded text kept beside its row gives compose what one message
// holds: 140 of cost (an emoji four) within the record's 160 bytes.
TEST(ForwardText, EmojiAndRareCharactersAreCutByCostAndStoredBytes) {
    auto times = [](const char* utf8, int n) {
        std::string s;
        for (int k = 0; k < n; ++k) s += platform::codepage::utf8ToGbk(utf8);
        return s;
    };
    const struct {
        std::string whole, forwarded;
        bool shortened;
    } rows[] = {
        {times("😀", 35), times("😀", 35), false},   // 140 bytes: the row holds it
        {times("😀", 50), times("😀", 35), true},    // the 36th would cost 144
        {times("㐀", 41), times("㐀", 40), true},  // cost 82, but 164 bytes
    };
    for (const auto& r : rows) {
        MessageRecord rec;
        rec.setText(r.whole);
        const ForwardText f = ForwardTextOf(rec, r.whole);
        EXPECT_EQ(f.text, r.forwarded) << r.whole.size();
        EXPECT_EQ(f.shortened, r.shortened) << r.whole.size();
    }
}

TEST_F(MessageListFixture, ShowMailboxSelectsTheLastRowAndPreviewsIt) {
    fill(SentBox, {"a", "b"});
    box(SentBox).setSelected(0, 0, true);
    list->ShowMailbox(SentBox);
    EXPECT_EQ(list->current(), SentBox);
    EXPECT_EQ(box(SentBox).selectedRows(), (std::vector<int>{1}));
    ASSERT_FALSE(previews.empty());
    EXPECT_EQ(previews.back(), (std::pair<std::string, std::string>{"b", "text b"}));
    list->ShowMailbox(512);
    EXPECT_EQ(list->current(), MessageList::kNoList);
    EXPECT_FALSE(list->countText().has_value());
}

TEST_F(MessageListFixture, UnreadMarkClearsAfterThreeSecondsOfSingleSelection) {
    fill(InBox, {"a", "b", "c"}, "NEW");
    select(InBox, {1});
    EXPECT_EQ(list->countText(), "收短信箱 (3条信息) / (3条新)");
    loop.advance(2999);
    EXPECT_EQ(box(InBox).row(1).rec.status(), "NEW");
    select(InBox, {0});  // changed before 3 s: row 1 stays unread
    loop.advance(2999);
    EXPECT_EQ(statuses(box(InBox)), (Strings{"NEW", "NEW", "NEW"}));
    loop.advance(1);
    EXPECT_EQ(statuses(box(InBox)), (Strings{"", "NEW", "NEW"}));
    EXPECT_EQ(list->countText(), "收短信箱 (3条信息) / (2条新)");
    EXPECT_TRUE(list->unreadTimerRunning());  // keeps ticking, changes nothing more
    loop.advance(3000);
    EXPECT_EQ(statuses(box(InBox)), (Strings{"", "NEW", "NEW"}));

    select(InBox, {1, 2});  // two rows: no timer, preview emptied
    EXPECT_FALSE(list->unreadTimerRunning());
    EXPECT_EQ(previews.back(), (std::pair<std::string, std::string>{"", ""}));
    loop.advance(6000);
    EXPECT_EQ(statuses(box(InBox)), (Strings{"", "NEW", "NEW"}));
}

TEST_F(MessageListFixture, UnreadMarkIgnoresCaseButCountDoesNot) {
    fill(InBox, {"a"}, "new");
    EXPECT_EQ(box(InBox).countNew(), 0);
    select(InBox, {0});
    EXPECT_TRUE(list->unreadTimerRunning());
    loop.advance(3000);
    EXPECT_EQ(box(InBox).row(0).rec.status(), "");
}

TEST_F(MessageListFixture, UnreadRowFollowsItsMessageThroughASort) {
    store->AppendMessage(rec("z", "t", "NEW"), InBox);
    store->AppendMessage(rec("a", "t", "NEW"), InBox);
    select(InBox, {0});  // "z"
    list->sortByColumn(ColNumber);
    loop.advance(3000);
    EXPECT_EQ(numbers(box(InBox)), (Strings{"a", "z"}));
    EXPECT_EQ(statuses(box(InBox)), (Strings{"NEW", ""}));
}

TEST_F(MessageListFixture, SortsDatesTimesAndBytesBothWays) {
    store->AppendMessage(rec("b", "t", "", "2003-01-10", "10:00:00"), SentBox);
    store->AppendMessage(rec("a", "t", "", "2003-01-09", "9:59:59"), SentBox);
    store->AppendMessage(rec("c", "t", "", "2002-12-31", "09:00:01"), SentBox);
    list->ShowMailbox(SentBox);

    list->sortByColumn(ColDate);
    EXPECT_EQ(numbers(box(SentBox)), (Strings{"c", "a", "b"}));
    EXPECT_TRUE(box(SentBox).sortAscending());
    list->sortByColumn(ColDate);
    EXPECT_EQ(numbers(box(SentBox)), (Strings{"b", "a", "c"}));
    EXPECT_FALSE(box(SentBox).sortAscending());

    list->sortByColumn(ColNumber);  // another column starts ascending, by bytes
    EXPECT_EQ(numbers(box(SentBox)), (Strings{"a", "b", "c"}));
    list->sortByColumn(ColNumber);
    EXPECT_EQ(numbers(box(SentBox)), (Strings{"c", "b", "a"}));

    EXPECT_LT(CompareListTexts("09:00:01", "10:00:00"), 0);
    EXPECT_GT(CompareListTexts("23:00:00", "09:59:59"), 0);
    EXPECT_LT(CompareListTexts("2003-01-09", "2003-01-10"), 0);
    // Bytes are unsigned: a GBK character sorts after ASCII.
    EXPECT_GT(CompareListTexts("\xD5\xC5", "zz"), 0);
    EXPECT_LT(CompareListTexts("ab", "abc"), 0);
}

TEST_F(MessageListFixture, TextSortsByTheWholeTextOfLongMessages) {
    // Three rows alike in their 160 bytes; only the sidecar tells them apart.
    const std::string head(160, 'm');
    for (const char* n : {"b", "c", "a"}) store->AppendMessage(rec(n, head), InBox);
    store->AppendMessage(rec("s", "n"), InBox);
    LongTexts& side = store->longTexts(InBox);
    side.add(LongTexts::keyOf(box(InBox).row(0).rec), head + "b");
    side.add(LongTexts::keyOf(box(InBox).row(2).rec), head + "a");
    list->ShowMailbox(InBox);
    list->sortByColumn(ColText);
    // "c" has no sidecar entry: its 160 bytes sort before the longer texts.
    EXPECT_EQ(numbers(box(InBox)), (Strings{"c", "a", "b", "s"}));
    list->sortByColumn(ColText);
    EXPECT_EQ(numbers(box(InBox)), (Strings{"s", "b", "a", "c"}));
}

TEST_F(MessageListFixture, FirstClickOnColumnZeroSortsDescendingAndSelectionFollowsRows) {
    fill(OutBox, {"a", "b"});
    list->ShowMailbox(OutBox);  // "b" selected
    list->sortByColumn(ColFlag);
    EXPECT_FALSE(box(OutBox).sortAscending());
    EXPECT_EQ(numbers(box(OutBox)), (Strings{"a", "b"}));  // equal texts keep their order
    list->sortByColumn(ColNumber);
    list->sortByColumn(ColNumber);
    EXPECT_EQ(numbers(box(OutBox)), (Strings{"b", "a"}));
    EXPECT_EQ(box(OutBox).selectedRows(), (std::vector<int>{0}));
}

TEST_F(MessageListFixture, DoubleClickOnDraftRemovesItAndAsksToEditIt) {
    MessageRecord d = rec("139", "hello");
    d.setContact("Li");
    store->AppendMessage(rec("other", "x"), PublicBox);
    store->AppendMessage(d, PublicBox);
    select(PublicBox, {1});
    list->onDoubleClick();
    EXPECT_EQ(numbers(box(PublicBox)), (Strings{"other"}));
    EXPECT_EQ(composes(), (std::vector<std::pair<std::string, int>>{{"139,Li,hello", 3}}));
    EXPECT_TRUE(viewed.empty());
}

// Without the compose dialog a draft stays in its box, and reply and forward
// are greyed, in the menus and the popup alike.
TEST_F(MessageListFixture, WithoutTheComposeDialogDraftsStayAndReplyIsGreyed) {
    missingCommands = {ID_MSG_NEW, ID_MSG_REPLY, ID_MSG_FORWARD};
    store->AppendMessage(rec("139", "hello"), PublicBox);
    select(PublicBox, {0});
    list->onDoubleClick();
    EXPECT_EQ(numbers(box(PublicBox)), (Strings{"139"}));
    EXPECT_TRUE(composes().empty());
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_REPLY));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_FORWARD));
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_DELETE));
    auto menu = list->popupMenu();
    ASSERT_GE(menu.size(), 2u);
    EXPECT_FALSE(menu[0].enabled);
    EXPECT_FALSE(menu[1].enabled);
}

TEST_F(MessageListFixture, DoubleClickOpensTheViewAndActsOnItsButton) {
    fill(InBox, {"a", "b"}, "NEW");
    select(InBox, {0});
    viewResult = IDC_VIEW_REPLY;
    list->onDoubleClick();
    EXPECT_EQ(box(InBox).row(0).rec.status(), "");  // read at once
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0].number(), "a");
    viewResult = IDC_VIEW_FORWARD;
    select(InBox, {1});
    list->onDoubleClick();
    viewResult = IDC_VIEW_CANCEL;
    list->onDoubleClick();
    EXPECT_EQ(composes(), (std::vector<std::pair<std::string, int>>{{"a", 1}, {"text b", 2}}));
}

TEST_F(MessageListFixture, ReplyForwardUseTheFirstSelectedRow) {
    fill(SentBox, {"a", "b"});
    select(SentBox, {1});
    list->onCommand(ID_MSG_REPLY);
    list->onCommand(ID_MSG_FORWARD);
    EXPECT_EQ(composes(), (std::vector<std::pair<std::string, int>>{{"b", 1}, {"text b", 2}}));
}

TEST_F(MessageListFixture, CommandEnableRulesFollowListAndSelection) {
    fill(DeleteBox, {"a", "b"}, "0");
    list->ShowMailbox(512);
    for (unsigned id : {ID_MSG_REPLY, ID_MSG_FORWARD, ID_MSG_SELECTALL, ID_MSG_DELETE,
                        ID_MSG_RESTORE, ID_MSG_RESEND})
        EXPECT_FALSE(list->isCommandEnabled(id)) << id;
    select(DeleteBox, {});
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_SELECTALL));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_DELETE));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_RESTORE));
    list->onCommand(ID_MSG_SELECTALL);
    EXPECT_EQ(box(DeleteBox).selectedCount(), 2);
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_REPLY));
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_DELETE));
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_RESTORE));
    EXPECT_FALSE(list->isCommandEnabled(ID_MSG_RESEND));
    list->ShowMailbox(OutBox);  // empty OutBox: resend stays enabled
    EXPECT_TRUE(list->isCommandEnabled(ID_MSG_RESEND));
}

TEST_F(MessageListFixture, PopupMenuAddsResendAndRestoreOnlyWithASelection) {
    auto ids = [](const std::vector<MenuItem>& m) {
        std::vector<unsigned> out;
        for (const auto& i : m) out.push_back(i.id);
        return out;
    };
    fill(OutBox, {"a", "b"});
    select(OutBox, {0});
    auto m = list->popupMenu();
    EXPECT_EQ(ids(m), (std::vector<unsigned>{30102, 30103, 32833, 0, 30104, 30105}));
    EXPECT_TRUE(m[0].enabled);
    EXPECT_EQ(m[2].text, "重  发 (&S)");
    select(OutBox, {0, 1});
    m = list->popupMenu();
    EXPECT_FALSE(m[0].enabled);
    EXPECT_FALSE(m[1].enabled);
    select(OutBox, {});
    m = list->popupMenu();
    EXPECT_EQ(ids(m), (std::vector<unsigned>{30102, 30103, 0, 30104, 30105}));
    EXPECT_FALSE(m[4].enabled);
    fill(DeleteBox, {"d"}, "0");
    select(DeleteBox, {0});
    EXPECT_EQ(ids(list->popupMenu()),
              (std::vector<unsigned>{30102, 30103, 0, 30104, 30105, 32813}));
    list->ShowMailbox(512);
    EXPECT_TRUE(list->popupMenu().empty());
}

TEST_F(MessageListFixture, ResendClearsAttemptsAndIconOfSelectedRows) {
    MessageRecord r = rec("a", "t");
    r.Icon = 18;
    store->AppendMessage(r, OutBox);
    store->AppendMessage(r, OutBox);
    box(OutBox).setAttempts(0, "5");
    box(OutBox).setAttempts(1, "5");
    select(OutBox, {0});
    list->onCommand(ID_MSG_RESEND);
    EXPECT_EQ(box(OutBox).row(0).attempts, "");
    EXPECT_EQ(box(OutBox).row(0).rec.Icon, 0);
    EXPECT_EQ(box(OutBox).row(1).attempts, "5");
    EXPECT_EQ(sentToFrame.count(UM_SENDQUEUE), 1);
    EXPECT_EQ(frame.count(UM_SENDQUEUE), 0);
}

TEST_F(MessageListFixture, CountTextsOfEveryMailbox) {
    fill(OutBox, {"a"});
    fill(DeleteBox, {"a", "b"}, "1");
    list->ShowMailbox(OutBox);
    EXPECT_EQ(list->countText(), "发短信箱 (1条信息)");
    list->ShowMailbox(SentBox);
    EXPECT_EQ(list->countText(), "已发短信箱 (0条信息)");
    list->ShowMailbox(PublicBox);
    EXPECT_EQ(list->countText(), "草稿短信箱 (0条信息)");
    list->ShowMailbox(DeleteBox);
    EXPECT_EQ(list->countText(), "已删除短信箱 (2条信息)");
}

TEST_F(MessageListFixture, ContactRefreshLooksUpWithoutLeading86) {
    fill(InBox, {"8613912345678", "13900000000", "555"});
    fill(SentBox, {"+8613912345678"});
    box(InBox).setContact(2, "Kept");
    names = {{"13912345678", "Wang"}, {"13900000000", "Zhao"}, {"+8613912345678", "Plus"}};
    list->refreshContactNames();
    EXPECT_EQ(box(InBox).row(0).rec.contact(), "Wang");
    EXPECT_EQ(box(InBox).row(1).rec.contact(), "Zhao");
    EXPECT_EQ(box(InBox).row(2).rec.contact(), "Kept");
    EXPECT_EQ(box(SentBox).row(0).rec.contact(), "Plus");
}

namespace {
struct TreeFixture : MessageListFixture {
    std::vector<platform::Message> sent, holder;
    std::vector<std::pair<std::string, unsigned>> captions;
    std::unique_ptr<MailboxTree> tree;
    void SetUp() override {
        MessageListFixture::SetUp();
        MailboxTreePorts p;
        p.postToFrame = [this](platform::Message m) { frame.posted.push_back(std::move(m)); };
        p.sendToFrame = [this](platform::Message m) {
            sent.push_back(m);
            return std::intptr_t{0};
        };
        p.postToPaneHolder = [this](platform::Message m) { holder.push_back(std::move(m)); };
        p.showPreview = [this](const std::string& n, const std::string& t) {
            previews.emplace_back(n, t);
        };
        p.setRightCaption = [this](const std::string& t, unsigned icon) {
            captions.emplace_back(t, icon);
        };
        tree = std::make_unique<MailboxTree>(*list, std::move(p));
    }
};
}  // namespace

TEST_F(TreeFixture, ItemsStartWithInBoxAndRootShowsWelcome) {
    const auto& items = MailboxTree::items();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].text, "Kelvo短信息信箱");
    EXPECT_EQ(items[0].data, 512);
    EXPECT_EQ(items[0].iconId(), 136u);
    EXPECT_EQ(items[3].text, "已发短信箱");
    EXPECT_EQ(items[3].iconId(), 138u);
    EXPECT_EQ(items[5].image, 1);

    tree->initialUpdate();
    EXPECT_EQ(list->current(), InBox);
    EXPECT_EQ(frame.posted.back().lParam, 1);
    EXPECT_EQ(captions.back(), (std::pair<std::string, unsigned>{"收短信箱", 133}));

    tree->selectItem(MailboxTree::kRootItem);
    EXPECT_EQ(list->current(), MessageList::kNoList);
    EXPECT_EQ(frame.count(UM_STATUSPANE, PANE_MAILBOX, 2), 1);
    EXPECT_EQ(previews.back(), (std::pair<std::string, std::string>{"", ""}));
}

TEST_F(TreeFixture, RightClickOffersEmptyOnlyOnDeleteBoxAndCommandAsksTheFrame) {
    EXPECT_TRUE(tree->rightClick(3).empty());
    auto m = tree->rightClick(MailboxTree::kDeleteBoxItem);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].id, 30303u);
    EXPECT_EQ(m[0].text, "清 空(&E)");
    EXPECT_TRUE(tree->onCommand(30303));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].msg, UM_EMPTYDELETEBOX);
    tree->onPinButton();
    ASSERT_EQ(holder.size(), 1u);
    EXPECT_EQ(holder[0].msg, 1124u);
}
