// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "compose/ComposeIds.h"
#include "compose/ComposeModel.h"
#include "compose/ComposeText.h"
#include "device/WindowMessages.h"
#include "platform/Codepage.h"
#include "store/ComposeRequest.h"

namespace msgdesk::test {
namespace {

using platform::codepage::utf8ToGbk;
using Kind = PhonebookRef::Kind;

std::string g(const char* utf8) {
    return utf8ToGbk(utf8);
}

class ComposeModelTest : public ::testing::Test {
protected:
    ContactBook book;
    SimPhonebook sims;

    void contact(const char* name, const char* mobile) {
        auto c = NewContactRecord();
        c->setName(g(name));
        c->setMobile(mobile);
        book.AddContact(std::move(c));
    }
    void simEntry(int device, int index, const char* name, const char* number) {
        auto e = std::make_unique<SimPhoneEntry>();
        e->device = device;
        e->index = index;
        e->setName(g(name));
        e->setNumber(number);
        sims.AppendSimEntry(std::move(e));
    }
    static std::vector<std::string> names(const std::vector<PhonebookRef>& rows) {
        std::vector<std::string> out;
        for (auto& r : rows) out.push_back(platform::codepage::gbkToUtf8(r.shown()));
        return out;
    }
    static std::vector<int> icons(const std::vector<PhonebookRef>& rows) {
        std::vector<int> out;
        for (auto& r : rows) out.push_back(r.icon());
        return out;
    }
};

TEST_F(ComposeModelTest, PhonebookRowsGoToTheirSortedPlacesEqualNamesInArrivalOrder) {
    contact("Wu", "3");
    contact("Li", "1");
    contact("Zhao", "4");
    contact("Li", "2");
    ComposeModel m(book, sims, "");
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Li", "Li", "Wu", "Zhao"}));
    EXPECT_EQ(m.phonebook()[0].number, "1");
    EXPECT_EQ(m.phonebook()[1].number, "2");
    EXPECT_TRUE(m.recipients().empty());
    // GBK bytes order Chinese names after ASCII ones ("王" is B0 after 'Z').
    contact("王五", "5");
    ComposeModel m2(book, sims, "");
    EXPECT_EQ(names(m2.phonebook()).back(), "王五");
}

TEST_F(ComposeModelTest, ReplyToAKnownContactMakesItTheRecipientAndTakesItFromThePhonebook) {
    contact("Li", "13900000001");
    contact("Wu", "13900000002");
    ComposeModel m(book, sims, "13900000002");
    ASSERT_EQ(m.recipients().size(), 1u);
    EXPECT_EQ(m.recipients()[0].kind, Kind::Contact);
    EXPECT_EQ(names(m.recipients()), (std::vector<std::string>{"Wu"}));
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Li"}));
    // Ticking the SIM phonebooks refills without listing the chosen contact.
    m.setShowSim(true);
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Li"}));
    ASSERT_TRUE(m.finish(""));
    EXPECT_EQ(m.resultNumbers(), (std::vector<std::string>{"13900000002"}));
    EXPECT_EQ(m.resultNames(), (std::vector<std::string>{"Wu"}));
}

TEST_F(ComposeModelTest, AnUnknownOrPartialNumberStaysABareRecipientWithoutAName) {
    contact("Li", "13900000001");
    ComposeModel m(book, sims, "1390000000");  // a prefix is no match
    ASSERT_EQ(m.recipients().size(), 1u);
    EXPECT_EQ(m.recipients()[0].kind, Kind::Bare);
    EXPECT_EQ(m.recipients()[0].shown(), "1390000000");
    EXPECT_EQ(m.phonebook().size(), 1u);
    ASSERT_TRUE(m.finish(""));
    EXPECT_EQ(m.resultNames(), (std::vector<std::string>{""}));
    // Removing a bare number does not put anything into the phonebook.
    EXPECT_EQ(m.removeRecipients({0}), -1);
    EXPECT_EQ(m.phonebook().size(), 1u);
}

TEST_F(ComposeModelTest, SimEntriesShowWithTheirDeviceIconsAndAreNotListedTwice) {
    contact("Li", "1");
    simEntry(2, 7, "Li", "20");
    simEntry(1, 3, "Ann", "10");
    simEntry(1, 4, "Zed", "11");
    ComposeModel m(book, sims, "");
    EXPECT_EQ(m.phonebook().size(), 1u);
    const int selected = m.setShowSim(true);
    // Sorted by name; a SIM entry named like a local contact comes after it.
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Ann", "Li", "Li", "Zed"}));
    EXPECT_EQ(icons(m.phonebook()), (std::vector<int>{1, 0, 2, 1}));
    EXPECT_EQ(selected, 2);  // where device 2's entry, the last inserted, went
    m.addRecipients({2, 0});
    EXPECT_EQ(names(m.recipients()), (std::vector<std::string>{"Ann", "Li"}));
    EXPECT_EQ(icons(m.recipients()), (std::vector<int>{1, 2}));
    m.setShowLocal(false);
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Zed"}));
    m.setShowLocal(true);
    m.setShowSim(false);
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Li"}));
    EXPECT_EQ(m.setShowLocal(false), -1);
}

TEST_F(ComposeModelTest, RemovedRecipientsReturnToTheirSortedPlacesWithTheirIcons) {
    contact("Bo", "1");
    contact("Dan", "2");
    simEntry(3, 9, "Cy", "30");
    ComposeModel m(book, sims, "555");
    m.setShowSim(true);
    m.addRecipients({0, 1, 2});  // Bo, Cy, Dan
    EXPECT_TRUE(m.phonebook().empty());
    EXPECT_EQ(names(m.recipients()), (std::vector<std::string>{"555", "Bo", "Cy", "Dan"}));
    // Remove Cy (the SIM entry) and Dan: the last position removed is past
    // the end, so the row before it is chosen.
    EXPECT_EQ(m.removeRecipients({3, 2}), 1);
    EXPECT_EQ(names(m.phonebook()), (std::vector<std::string>{"Cy", "Dan"}));
    EXPECT_EQ(icons(m.phonebook()), (std::vector<int>{3, 0}));
    EXPECT_EQ(m.phonebook()[0].number, "30");
    // Removing the first of two leaves the next one at that position.
    EXPECT_EQ(m.removeRecipients({0}), 0);
    EXPECT_EQ(names(m.recipients()), (std::vector<std::string>{"Bo"}));
    // Out-of-range rows are ignored.
    EXPECT_EQ(m.removeRecipients({5}), -1);
    EXPECT_EQ(m.recipients().size(), 1u);
}

TEST_F(ComposeModelTest, SearchFindsTheFirstNameBeginningWithTheText) {
    contact("张三", "1");
    contact("张四", "2");
    contact("Li", "3");
    ComposeModel m(book, sims, "");
    EXPECT_EQ(m.search(g("张")), 1);  // "Li" sorts first
    EXPECT_EQ(m.search(g("张四")), 2);
    EXPECT_EQ(m.search(g("张四五")), std::nullopt);
    EXPECT_EQ(m.search("l"), std::nullopt);  // byte comparison: case matters
}

TEST_F(ComposeModelTest, ExtraNumberIsTakenWhenValidAndIgnoredWithOtherCharacters) {
    ComposeModel m(book, sims, "");
    EXPECT_FALSE(m.finish(""));
    EXPECT_TRUE(m.resultNumbers().empty());
    EXPECT_FALSE(m.finish("139abc"));
    EXPECT_FALSE(m.finish("139 0000"));
    ASSERT_TRUE(m.finish("+86139*#"));
    EXPECT_EQ(m.resultNumbers(), (std::vector<std::string>{"+86139*#"}));
    EXPECT_EQ(m.resultNames(), (std::vector<std::string>{""}));
    ComposeModel withRecipient(book, sims, "10086");
    ASSERT_TRUE(withRecipient.finish("12a"));
    EXPECT_EQ(withRecipient.resultNumbers(), (std::vector<std::string>{"10086"}));
}

TEST(ComposeText, TypedCharactersAreRefusedWholeAtTheByteLimit) {
    const std::string zhong = utf8ToGbk("中");
    ASSERT_EQ(zhong.size(), 2u);
    // 138 bytes kept: a Chinese character still fits, exactly to 140.
    EXPECT_EQ(AcceptedInsertLength(138, zhong, true, 140), 2u);
    // 139 kept: it would pass 140 and is refused whole, an ASCII one fits.
    EXPECT_EQ(AcceptedInsertLength(139, zhong, true, 140), 0u);
    EXPECT_EQ(AcceptedInsertLength(139, "a", true, 140), 1u);
    EXPECT_EQ(AcceptedInsertLength(140, "a", true, 140), 0u);
    EXPECT_EQ(AcceptedInsertLength(160, "a", true, 140), 0u);  // a longer preset text
    // A paste is cut at a character boundary, never inside one.
    const std::string three = utf8ToGbk("中文字");
    EXPECT_EQ(AcceptedInsertLength(135, three, false, 140), 4u);
    EXPECT_EQ(AcceptedInsertLength(134, three, false, 140), 6u);
    EXPECT_EQ(AcceptedInsertLength(139, three, false, 140), 0u);
    // An emoji costs four, as in UCS-2: the last that fits and the first
    // that does not, typed and pasted (never split).
    const std::string smile = utf8ToGbk("😀");
    EXPECT_EQ(AcceptedInsertLength(136, smile, true, 140), 4u);
    EXPECT_EQ(AcceptedInsertLength(137, smile, true, 140), 0u);
    EXPECT_EQ(AcceptedInsertLength(133, smile + smile, false, 140), 4u);
    EXPECT_EQ(AcceptedInsertLength(132, smile + smile, false, 140), 8u);
    // 㐀 costs two but is stored in four bytes: the record's 160 bytes hold too.
    const std::string rare = utf8ToGbk("㐀");
    EXPECT_EQ(ComposeTextRoom(), 160u);
    EXPECT_EQ(AcceptedInsertLength(100, rare, true, 140, 156), 4u);
    EXPECT_EQ(AcceptedInsertLength(100, rare, true, 140, 157), 0u);
    EXPECT_EQ(AcceptedInsertLength(100, rare + rare, false, 140, 153), 4u);
    EXPECT_EQ(ComposeCountText(0, 140), "0/140");
    EXPECT_EQ(ComposeCountText(140, 140), "140/140");
}

TEST(ComposeRequestTest, ModesAndDraftFieldsSurviveTheMessage) {
    platform::Message one = MakeComposeRequest("10086", 1);
    EXPECT_EQ(one.msg, UM_COMPOSE);
    ComposeRequest r = ReadComposeRequest(one);
    EXPECT_EQ(r.mode, 1);
    EXPECT_EQ(r.text, "10086");
    EXPECT_EQ(ReadComposeRequest(platform::Message{UM_COMPOSE, 0, 1, nullptr}).text, "");
    // A contact name holding a comma reaches the dialog whole.
    platform::Message three = MakeDraftRequest("139", "Li, Wu", "a,b");
    EXPECT_STREQ(reinterpret_cast<const char*>(three.wParam), "139,Li, Wu,a,b");
    r = ReadComposeRequest(three);
    EXPECT_EQ(r.mode, 3);
    EXPECT_EQ(r.draftNumber, "139");
    EXPECT_EQ(r.draftContact, "Li, Wu");
    EXPECT_EQ(r.draftText, "a,b");
    // The plain comma form, from a caller that has only the text: split at
    // the first two commas, the rest (commas too) is the text.
    platform::Message plain = MakeComposeRequest("139,Li,a,b", 3);
    r = ReadComposeRequest(plain);
    EXPECT_EQ(r.draftNumber, "139");
    EXPECT_EQ(r.draftContact, "Li");
    EXPECT_EQ(r.draftText, "a,b");
    r = ReadComposeRequest(MakeComposeRequest("139", 3));
    EXPECT_EQ(r.draftNumber, "139");
    EXPECT_EQ(r.draftContact, "");
    EXPECT_EQ(r.draftText, "");
}

}  // namespace
}  // namespace msgdesk::test
