// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "PhonebookModelSupport.h"
#include "contacts/LocalPhonebookModel.h"
#include "contacts/PhonebookPickerModel.h"
#include "contacts/SimEntryInputRules.h"
#include "contacts/SimPhonebookModel.h"

using namespace contacts_test;
using msgdesk::UnmatchedFindText;

TEST(PhonebookFind, PrefixIgnoresAsciiCaseButNeverInsideATwoByteCharacter) {
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail
    // bytes look like 'A' and 'a'.
    EXPECT_TRUE(msgdesk::NameStartsWith("Wang", "wA"));
    EXPECT_TRUE(msgdesk::NameStartsWith("Wang", ""));
    EXPECT_FALSE(msgdesk::NameStartsWith("Wa", "Wan"));
    EXPECT_TRUE(msgdesk::NameStartsWith("\x81\x41x", "\x81\x41X"));
    EXPECT_FALSE(msgdesk::NameStartsWith("\x81\x41", "\x81\x61"));
}

TEST(LocalPhonebookModel, FindSelectsFirstMatchOrKeepsTheUnmatchedText) {
    PhonebookBench b;
    b.add("Wang", "1");
    b.add("wanda", "2");
    b.add("Li", "3");
    msgdesk::LocalPhonebookModel m(b.services);
    m.rows().selectOnly(0);
    auto r = m.find("WAN");
    EXPECT_EQ(r.row, 1);  // Li, Wang, wanda
    EXPECT_EQ(m.rows().selected(), std::vector<int>{1});
    r = m.find("wanx");
    EXPECT_TRUE(r.unmatched);
    EXPECT_EQ(r.action, UnmatchedFindText::Select);
    EXPECT_TRUE(m.rows().selected().empty());
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60004});
    r = m.find("");
    EXPECT_FALSE(r.unmatched);
    EXPECT_EQ(b.box.shown.size(), 1u);
}

TEST(LocalPhonebookModel, NewChangeDeleteAndTheRefreshesTheyPost) {
    PhonebookBench b;
    b.add("B", "2");
    b.add("D", "4");
    msgdesk::LocalPhonebookModel m(b.services);
    EXPECT_EQ(m.newContact(), -1);  // cancelled
    EXPECT_TRUE(b.refreshes().empty());
    b.dialogs.contactAnswers.push_back(contact("C", "3"));
    EXPECT_EQ(m.newContact(), 1);
    EXPECT_EQ(b.book.size(), 3u);
    EXPECT_EQ(b.refreshes(), (std::vector<int>{228, 227}));
    // 新建 leaves the selection as it was (none here).
    EXPECT_EQ(m.rows().selectedCount(), 0);
    m.rows().selectOnly(1);
    EXPECT_TRUE(m.buttons().change);

    // A change keeps the row where it is.
    msgdesk::ContactRecord changed = contact("Z", "9");
    b.dialogs.contactAnswers.push_back(changed);
    m.changeContact();
    EXPECT_EQ(names(m.rows()), (std::vector<std::string>{"B", "Z", "D"}));
    EXPECT_EQ(m.rows().at(1).number, "9");
    m.changeContact();  // cancelled: refreshes all the same
    EXPECT_EQ(b.refreshes(), (std::vector<int>{228, 227, 228, 227, 228, 227}));

    m.rows().clearSelection();
    EXPECT_FALSE(m.buttons().remove);
    m.rows().setSelected(0, true);
    m.rows().setSelected(2, true);
    EXPECT_TRUE(m.buttons().transfer);
    EXPECT_FALSE(m.buttons().info);
    m.deleteContacts();
    EXPECT_EQ(names(m.rows()), std::vector<std::string>{"Z"});
    ASSERT_EQ(b.book.size(), 1u);
    EXPECT_EQ(b.book.records()[0]->name(), "Z");
    EXPECT_EQ(b.refreshes().back(), 228);
    m.rows().selectOnly(0);
    m.showInfo();
    EXPECT_EQ(b.dialogs.infoShown, 1);
}

namespace {
struct TwoCards : PhonebookBench {
    TwoCards() {
        devices.attached = 2;
        devices.cards[1] = {5, 3, true};
        devices.cards[2] = {2, 2, true};
        addSimEntry(sims, 1, 1, "101", "Bo");
        addSimEntry(sims, 1, 2, "102", "Al");
        addSimEntry(sims, 1, 4, "104", "Di");
        addSimEntry(sims, 2, 1, "201", "Cy");
        addSimEntry(sims, 2, 2, "202", "Ed");
    }
};
}  // namespace

TEST(SimPhonebookModel, AllDevicesListsBothCardsWithTheirIcons) {
    TwoCards b;
    msgdesk::SimPhonebookModel m(b.services);
    EXPECT_EQ(names(m.rows()), (std::vector<std::string>{"Al", "Bo", "Cy", "Di", "Ed"}));
    EXPECT_EQ(m.rows().at(2).image, 2);
    EXPECT_EQ(m.rows().at(3).image, 1);
    EXPECT_EQ(m.rows().at(2).entry, b.sims.list(2)[0].get());
    m.setDeviceChoice(2, "");
    EXPECT_EQ(names(m.rows()), (std::vector<std::string>{"Cy", "Ed"}));
    // A device change runs a find text again; an unmatched one goes.
    auto r = m.setDeviceChoice(1, "e");
    EXPECT_TRUE(r.unmatched);
    EXPECT_EQ(r.action, UnmatchedFindText::Remove);
    r = m.setDeviceChoice(0, "e");
    EXPECT_EQ(r.row, 4);
    EXPECT_EQ(msgdesk::DeviceFilterTexts(2),
              (std::vector<std::string>{"全部", "Zunto[1]", "Zunto[2]"}));
}

TEST(SimPhonebookModel, EntryDoneKeepsThePositionWithinTheNewRows) {
    TwoCards b;
    msgdesk::SimPhonebookModel m(b.services);
    m.rows().selectOnly(2);
    b.sims.RemoveEntry(b.sims.list(2)[0].get());  // Cy confirmed deleted
    EXPECT_EQ(m.entryDone(), 2);
    EXPECT_EQ(names(m.rows())[2], "Di");
    m.rows().clearSelection();
    EXPECT_EQ(m.entryDone(), 0);  // none selected: the first row
    m.rows().selectOnly(3);
    b.sims.RemoveEntry(b.sims.list(2)[0].get());
    EXPECT_EQ(m.entryDone(), 2);  // past the end: the last row
    EXPECT_EQ(m.rows().selected(), std::vector<int>{2});
    b.sims.ClearSimPhonebook(17);
    EXPECT_EQ(m.entryDone(), -1);
}

TEST(SimPhonebookModel, NewEntryRulesDuplicateFullAndFirstFreeIndex) {
    TwoCards b;
    msgdesk::SimPhonebookModel m(b.services);
    // Typed position 9 is not used; device 1 has 1, 2 and 4 taken.
    b.dialogs.simAnswers.push_back(msgdesk::SimEntryInput{1, 9, "Fa", "105"});
    EXPECT_EQ(m.newEntry(), 5);
    ASSERT_EQ(b.sims.list(1).size(), 4u);
    EXPECT_EQ(b.sims.list(1)[3]->index, 3);
    EXPECT_EQ(b.requests.calls.back().kind, 's');
    EXPECT_EQ(b.requests.calls.back().value, 1);
    // The same number on device 1 again: refused. On device 2 it would be
    // new, but that card is full.
    b.dialogs.simAnswers.push_back(msgdesk::SimEntryInput{1, 0, "Ga", "105"});
    b.dialogs.simAnswers.push_back(msgdesk::SimEntryInput{2, 0, "Ga", "105"});
    EXPECT_EQ(m.newEntry(), -1);
    EXPECT_EQ(m.newEntry(), -1);
    EXPECT_EQ(b.shownIds(), (std::vector<unsigned>{60074, 60030}));
    EXPECT_EQ(b.requests.count('s'), 1);
    // The dialog opens on the device the list shows (0: the first).
    EXPECT_EQ(b.dialogs.simShown[0].device, 0);
    EXPECT_FALSE(b.dialogs.simChangeMode[0]);
}

TEST(SimPhonebookModel, ChangeKeepsACopyBeforeOverwritingDeleteWaitsForTheCard) {
    TwoCards b;
    msgdesk::SimPhonebookModel m(b.services);
    m.rows().selectOnly(0);  // Al, device 1 index 2
    b.dialogs.simAnswers.push_back(msgdesk::SimEntryInput{1, 2, "Ann", "555"});
    m.changeEntry();
    ASSERT_EQ(b.requests.calls.size(), 2u);
    EXPECT_EQ(b.requests.calls[0].kind, 'k');
    EXPECT_EQ(b.requests.calls[1].kind, 's');
    EXPECT_EQ(b.requests.calls[1].value, 0);
    EXPECT_EQ(b.sims.list(1)[1]->nameText(), "Ann");
    EXPECT_EQ(m.rows().at(0).name, "Ann");
    EXPECT_TRUE(b.dialogs.simChangeMode[0]);
    EXPECT_EQ(b.dialogs.simShown[0].name, "Al");

    m.rows().selectOnly(1);
    m.rows().setSelected(2, true);
    b.box.answers.push_back(platform::IDCANCEL);
    m.deleteEntries();
    EXPECT_EQ(b.requests.count('d'), 0);
    m.deleteEntries();
    EXPECT_EQ(b.requests.count('d'), 2);
    EXPECT_EQ(m.rows().size(), 5);  // until the card confirms
}

TEST(SimPhonebookModel, ExportCopiesSelectedEntriesIntoTheBook) {
    TwoCards b;
    b.add("Old", "201");
    msgdesk::SimPhonebookModel m(b.services);
    m.rows().selectOnly(0);
    m.rows().setSelected(2, true);  // 201 is in the book already
    m.exportToBook();
    ASSERT_EQ(b.book.size(), 2u);
    EXPECT_EQ(b.book.records()[1]->mobile(), "102");
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60029});
}

TEST(PhonebookPickerModel, OkWithoutSelectionRefusesThenGivesTheNumber) {
    TwoCards b;
    b.add("Zed", "900");
    msgdesk::PhonebookPickerModel m(b.book, b.sims, b.box);
    EXPECT_EQ(m.rows().size(), 1);
    EXPECT_FALSE(m.accept());
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60062});
    m.setSources(true, true);
    EXPECT_EQ(m.rows().size(), 6);
    EXPECT_EQ(m.find("zE").row, 5);
    EXPECT_TRUE(m.accept());
    EXPECT_EQ(m.number(), "900");
    EXPECT_EQ(m.name(), "Zed");
    m.setSources(false, true);
    EXPECT_EQ(m.rows().size(), 5);
    EXPECT_EQ(m.find("q").action, UnmatchedFindText::Remove);
}

TEST(SimEntryInput, PositionMustBeAWholeNumberAndTheNumberPresent) {
    EXPECT_EQ(msgdesk::ParseSimIndex("0"), 0);
    EXPECT_EQ(msgdesk::ParseSimIndex("999999999"), 999999999);
    EXPECT_FALSE(msgdesk::ParseSimIndex("1000000000"));
    EXPECT_FALSE(msgdesk::ParseSimIndex(""));
    EXPECT_FALSE(msgdesk::ParseSimIndex("+3"));
    EXPECT_EQ(msgdesk::ValidateSimEntryNumber(""), 60003u);
    EXPECT_EQ(msgdesk::ValidateSimEntryNumber("1"), 0u);
}

TEST(PhonebookRows, InsertingOneByOneAndRebuildingGiveTheSameOrder) {
    const char* names[] = {"Ma", "Li", "Ma", "Zhang", "Li", "Wang", "Ma"};
    msgdesk::PhonebookRows one, all;
    msgdesk::PhonebookRows::Rows rows;
    for (int i = 0; i < 7; ++i) {
        msgdesk::PhonebookRow r;
        r.name = names[i];
        r.number = std::to_string(i);
        one.insertSorted(r);
        rows.push_back(r);
    }
    all.assignSorted(rows);
    std::vector<std::string> a, b;
    for (int i = 0; i < 7; ++i) {
        a.push_back(one.at(i).name + one.at(i).number);
        b.push_back(all.at(i).name + all.at(i).number);
    }
    EXPECT_EQ(a, (std::vector<std::string>{"Li1", "Li4", "Ma0", "Ma2", "Ma6", "Wang5", "Zhang3"}));
    EXPECT_EQ(a, b);
}
