// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "compose/ComposeText.h"
#include "compose/Conversation.h"
#include "compose/ConversationNumber.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/SendPump.h"

namespace msgdesk::test {
namespace {

using storetest::rec;
using State = ConversationEntry::State;

// Which stored numbers are one conversation. Each limit has its neighbour:
// the prefix that is one ("0086") beside the one that is not ("086"), an
// eleven-digit mobile beside ten digits, and numbers starting 86 that only
// look like a prefixed mobile.
TEST(ConversationKey, JoinsPrefixedMobilesAndNothingElse) {
    struct Row {
        const char* number;
        const char* key;
    } rows[] = {
        {"13912345678", "13912345678"},
        {"+8613912345678", "13912345678"},
        {"008613912345678", "13912345678"},
        {"8613912345678", "13912345678"},
        {"+86 139-1234-5678", "13912345678"},
        {"139 1234 5678", "13912345678"},
        {"08613912345678", "08613912345678"},  // "086" is no country prefix
        {"861391234567", "861391234567"},      // ten digits: not a mobile
        {"86139123456789", "86139123456789"},  // twelve digits
        {"+8675512345678", "+8675512345678"},  // Shenzhen landline, 11 digits after 86
        {"8612345678901", "8612345678901"},    // "12..." is no mobile range
        {"86123456", "86123456"},              // a local number starting 86
        {"+86", "+86"},
        {"10086", "10086"},
        {"+8618912345678", "18912345678"},       // the last mobile range, 19x
        {"+8613912345678*", "+8613912345678*"},  // a dial string, not a number
        {"", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ConversationKey(r.number), r.key) << r.number;
        EXPECT_TRUE(HasConversationKey(r.number, r.key)) << r.number;
    }
    EXPECT_FALSE(HasConversationKey("13912345679", "13912345678"));
    EXPECT_FALSE(HasConversationKey("", "13912345678"));
}

class ConversationFixture : public CoreFrameFixture {
protected:
    void SetUp() override {
        connect(1);
        lib.clearCalls();
        loop.clock().setLocal({2026, 3, 4, 5, 6, 7});
    }
    Mailbox& box(MailboxId id) { return core->store().box(id); }
    std::unique_ptr<Conversation> open(const std::string& number) {
        return std::make_unique<Conversation>(
            core->store(), number, [this](const std::string& n) { return core->nameFor(n); },
            [this](const std::string& n, const std::string& t) {
                return core->composer().sendText(n, t);
            },
            &boxes);
    }
    static std::vector<std::string> texts(const Conversation& c) {
        std::vector<std::string> out;
        for (const auto& e : c.entries()) out.push_back(e.text);
        return out;
    }
};

// Time order over the three boxes, whatever the box and the number's
// spelling: the SentBox's blank-padded hour, a tie in one second (received
// before sent before waiting), an unreadable date first; drafts, deleted
// messages and other numbers left out; a joined message whole.
TEST_F(ConversationFixture, OrdersTheThreeBoxesByTimeAndJoinsLongMessages) {
    const std::string whole(300, 'L');
    MessageRecord longRow =
        rec("+8613912345678", whole.substr(0, 160), "", "2026-03-02", "08:00:00");
    core->store().longTexts(InBox).add(LongTexts::keyOf(longRow), whole);
    box(InBox).append(rec("13912345678", "in-10:00", "NEW", "2026-03-01", "10:00:00"));
    box(InBox).append(rec("13912345679", "other number", "", "2026-03-01", "10:30:00"));
    box(InBox).append(longRow);
    box(InBox).append(rec("13912345678", "bad-date", "", "2026-3", "10:00:00"));
    box(InBox).append(rec("8613912345678", "in-tie", "", "2026-03-01", "11:00:00"));
    box(SentBox).append(rec("139-1234-5678", "sent-9", "", "2026-03-01", " 9:05:07"));
    box(SentBox).append(rec("13912345678", "sent-tie", "", "2026-03-01", "11:00:00"));
    box(SentBox).append(rec("13912345678", "sent-10:59:59", "", "2026-03-01", "10:59:59"));
    box(OutBox).append(rec("13912345678", "out-tie", "", "2026-03-01", "11:00:00"));
    box(OutBox).append(rec("13912345678", "out-in-flight", "123", "2026-03-03", "01:00:00"));
    MessageRecord failed = rec("13912345678", "out-failed", "", "2026-03-03", "02:00:00");
    failed.Icon = SendPump::kIconGivenUp;
    box(OutBox).append(failed);
    box(PublicBox).append(rec("13912345678", "draft", "", "2026-03-01", "12:00:00"));
    box(DeleteBox).append(rec("13912345678", "deleted", "0", "2026-03-01", "12:00:00"));

    auto c = open("+8613912345678");
    EXPECT_EQ(texts(*c), (std::vector<std::string>{"bad-date", "sent-9", "in-10:00",
                                                   "sent-10:59:59", "in-tie", "sent-tie", "out-tie",
                                                   whole, "out-in-flight", "out-failed"}));
    const auto& e = c->entries();
    EXPECT_EQ(e[0].when, -1);
    EXPECT_EQ(e[1].time, "09:05:07");
    EXPECT_EQ(e[1].day, "2026-03-01");
    EXPECT_EQ(e[2].state, State::Received);
    EXPECT_EQ(e[3].state, State::Sent);
    EXPECT_EQ(e[6].state, State::Waiting);
    EXPECT_EQ(e[8].state, State::Sending);
    EXPECT_EQ(e[9].state, State::Failed);
    EXPECT_FALSE(e[2].outgoing());
    EXPECT_TRUE(e[6].outgoing());
    EXPECT_EQ(Conversation::stateText(State::Waiting), LoadStr(34003));
    EXPECT_EQ(Conversation::stateText(State::Sent), "");
}

// The window follows the mailboxes: an arrival from the number, a row
// deleted elsewhere, a send finishing (OutBox row to the SentBox) each
// mark it stale once per burst, and the next refresh shows them.
TEST_F(ConversationFixture, FollowsArrivalsDeletionsAndFinishedSends) {
    box(InBox).append(rec("13912345678", "first", "", "2026-03-01", "10:00:00"));
    auto c = open("13912345678");
    int told = 0;
    c->changed = [&] { ++told; };
    EXPECT_FALSE(c->refresh());

    box(InBox).append(rec("+8613912345678", "second", "NEW", "2026-03-01", "10:01:00"));
    box(InBox).append(rec("13800000000", "unrelated", "NEW", "2026-03-01", "10:02:00"));
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(c->refresh());
    EXPECT_EQ(texts(*c), (std::vector<std::string>{"first", "second"}));

    ASSERT_TRUE(c->reply("answer"));
    c->refresh();
    ASSERT_EQ(c->entries().size(), 3u);
    EXPECT_EQ(c->entries()[2].state, State::Waiting);
    loop.runUntilIdle();  // the send pump hands the row over
    c->refresh();
    EXPECT_EQ(c->entries()[2].state, State::Sending);
    auto sends = lib.calls(FakeDeviceLibrary::Op::SendSMSMessage);
    ASSERT_EQ(sends.size(), 1u);
    lib.fire(260, "OK", sends[0].result);
    loop.runUntilIdle();
    c->refresh();
    ASSERT_EQ(c->entries().size(), 3u);
    EXPECT_EQ(c->entries()[2].state, State::Sent);
    EXPECT_EQ(c->entries()[2].box, SentBox);

    box(InBox).selectOnly(0);
    core->messageList().ShowMailbox(InBox);
    box(InBox).selectOnly(0);
    core->messageList().deleteSelected();
    c->refresh();
    EXPECT_EQ(texts(*c), (std::vector<std::string>{"second", "answer"}));
}

// 发送 files exactly what the compose dialog files for that number (the
// contact's name, OutBox date format, the pump asked for); a number the
// dialog refuses is explained and nothing is filed.
TEST_F(ConversationFixture, ReplyFilesAsComposeAndRefusesWhatComposeRefuses) {
    auto contact = NewContactRecord();
    contact->setName("Li");
    contact->setMobile("13912345678");
    core->contacts().AddContact(std::move(contact));
    box(InBox).append(rec("13912345678", "hi", "", "2026-03-01", "10:00:00"));
    auto c = open("13912345678");
    EXPECT_EQ(c->title(), "与Li的对话");
    ASSERT_TRUE(c->reply("ok"));
    ASSERT_EQ(box(OutBox).size(), 1);
    const MessageRecord& r = box(OutBox).row(0).rec;
    EXPECT_EQ(r.number(), "13912345678");
    EXPECT_EQ(r.contact(), "Li");
    EXPECT_EQ(r.date(), "2026-03-04");
    EXPECT_EQ(r.time(), "05:06:07");

    // The title falls back from the number to its key to the number itself.
    EXPECT_EQ(open("+8613912345678")->title(), "与Li的对话");
    EXPECT_EQ(open("10086")->title(), "与10086的对话");

    auto named = open("BANK");
    EXPECT_FALSE(named->reply("no"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 34008u);
    EXPECT_EQ(box(OutBox).size(), 1);

    // The limits are the compose dialog's: 140 bytes go, 141 do not; 20
    // digits go, 21 do not.
    EXPECT_EQ(core->composer().sendText("13912345678", std::string(140, 'x')).check,
              ComposeCheck::Ok);
    EXPECT_EQ(core->composer().sendText("13912345678", std::string(141, 'x')).check,
              ComposeCheck::TextTooLong);
    // Four-byte characters: 35 emoji cost 140, 36 do not fit; 39 of a
    // character GBK lacks (cost 2, stored in 4 bytes) fill the row's 160
    // bytes, 41 not.
    std::string emoji, rare;
    for (int i = 0; i < 36; ++i) emoji += platform::codepage::utf8ToGbk("😀");
    for (int i = 0; i < 41; ++i) rare += platform::codepage::utf8ToGbk("㐀");
    EXPECT_EQ(CheckComposedMessage("10086", emoji.substr(0, 140)), ComposeCheck::Ok);
    EXPECT_EQ(CheckComposedMessage("10086", emoji), ComposeCheck::TextTooLong);
    EXPECT_EQ(CheckComposedMessage("10086", rare.substr(0, 160)), ComposeCheck::Ok);
    EXPECT_EQ(CheckComposedMessage("10086", rare), ComposeCheck::TextTooLong);
    EXPECT_EQ(core->composer().sendText(std::string(20, '1'), "x").row, 2);
    EXPECT_EQ(core->composer().sendText(std::string(21, '1'), "x").check,
              ComposeCheck::InvalidNumber);
    EXPECT_EQ(core->composer().sendText("", "x").check, ComposeCheck::InvalidNumber);
    EXPECT_EQ(box(OutBox).size(), 3);
}

}  // namespace
}  // namespace msgdesk::test
