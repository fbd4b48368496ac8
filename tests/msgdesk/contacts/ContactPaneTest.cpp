// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "PhonebookModelSupport.h"
#include "contacts/ContactPane.h"
#include "contacts/ContactsCore.h"
#include "platform/ManualMessageLoop.h"
#include "types/Commands.h"

using namespace contacts_test;
using msgdesk::ContactPane;
namespace cmd = msgdesk::cmd;

namespace {
msgdesk::ContactRecord typed(const char* utf8Name, const std::string& mobile) {
    return contact(gbk(utf8Name), mobile);
}
}  // namespace

TEST(ContactPane, SortedInsertionPutsEqualNamesAfterTheirEquals) {
    PhonebookBench b;
    b.add("Zhang", "1");
    b.add("Li", "2");
    b.add("Wang", "3");
    ContactPane pane(b.services);
    pane.RefreshRows(0);
    EXPECT_EQ(names(pane.rows()), (std::vector<std::string>{"Li", "Wang", "Zhang"}));
    pane.setActive(true);
    b.dialogs.contactAnswers.push_back(typed("Ma", "4"));
    b.dialogs.contactAnswers.push_back(typed("Ma", "5"));
    pane.command(cmd::AddContact);
    pane.command(cmd::AddContact);
    EXPECT_EQ(names(pane.rows()), (std::vector<std::string>{"Li", "Ma", "Ma", "Wang", "Zhang"}));
    EXPECT_EQ(pane.rows().at(1).number, "4");
    EXPECT_EQ(pane.rows().at(2).number, "5");
}

TEST(ContactPane, ChineseNamesFollowTheirCodeValuesAfterLatinOnes) {
    PhonebookBench b;
    // GBK: 张 D5C5, 王 CDF5, 李 C0EE, 阿 B0A2. A name that begins with another
    // comes after it.
    for (const char* n : {"张", "李四", "王", "李", "阿", "zz"}) b.add(n, n);
    ContactPane pane(b.services);
    pane.RefreshRows(0);
    EXPECT_EQ(names(pane.rows()), (std::vector<std::string>{"zz", "阿", "李", "李四", "王", "张"}));
    EXPECT_EQ(pane.rows().at(0).image, 0);
}

TEST(ContactPane, DeletingSelectsTheRowNowAtTheLastDeletedIndex) {
    PhonebookBench b;
    for (const char* n : {"A", "B", "C", "D", "E"}) b.add(n, n);
    ContactPane pane(b.services);
    pane.setActive(true);
    pane.RefreshRows(0);
    pane.rows().clearSelection();
    pane.rows().setSelected(1, true);
    pane.rows().setSelected(2, true);
    b.box.answers.push_back(platform::IDCANCEL);
    pane.command(cmd::DeleteContact);
    EXPECT_EQ(b.book.size(), 5u);  // cancelled: nothing goes

    pane.command(cmd::DeleteContact);
    EXPECT_EQ(b.shownIds(), (std::vector<unsigned>{60000, 60000}));
    EXPECT_EQ(names(pane.rows()), (std::vector<std::string>{"A", "D", "E"}));
    EXPECT_EQ(pane.rows().selected(), std::vector<int>{2});

    // The last rows gone: no row has that index any more, none is selected.
    pane.rows().selectOnly(2);
    pane.command(cmd::DeleteContact);
    EXPECT_EQ(names(pane.rows()), (std::vector<std::string>{"A", "D"}));
    EXPECT_TRUE(pane.rows().selected().empty());
}

TEST(ContactPane, PopupAndMenuEnablingFollowSelectionAndActiveView) {
    PhonebookBench b;
    b.add("A", "1");
    b.add("B", "2");
    ContactPane pane(b.services);
    pane.RefreshRows(0);
    pane.rows().clearSelection();
    EXPECT_TRUE(pane.popupEnabled(cmd::AddContactPopup));
    EXPECT_FALSE(pane.popupEnabled(cmd::ChangeContact));
    EXPECT_FALSE(pane.popupEnabled(cmd::DeleteContact));
    EXPECT_FALSE(pane.popupEnabled(cmd::MoveToSim));
    pane.rows().setSelected(0, true);
    EXPECT_TRUE(pane.popupEnabled(cmd::ChangeContact));
    EXPECT_TRUE(pane.popupEnabled(cmd::MoveToSim));
    pane.rows().setSelected(1, true);
    EXPECT_FALSE(pane.popupEnabled(cmd::ChangeContact));
    EXPECT_TRUE(pane.popupEnabled(cmd::DeleteContact));

    // The menu offers them only while the pane is the active view.
    EXPECT_FALSE(pane.commandEnabled(cmd::DeleteContact));
    EXPECT_FALSE(pane.commandEnabled(cmd::MoveToSim));
    EXPECT_TRUE(pane.commandEnabled(cmd::AddContact));
    EXPECT_FALSE(pane.command(cmd::DeleteContact));
    EXPECT_TRUE(b.box.shown.empty());
    pane.setActive(true);
    EXPECT_TRUE(pane.commandEnabled(cmd::DeleteContact));
    EXPECT_FALSE(pane.commandEnabled(cmd::ChangeContact));
}

TEST(ContactPane, DoubleClickComposesToTheOneSelectedNumber) {
    PhonebookBench b;
    b.add("A", "13900000001");
    b.add("B", "13900000002");
    ContactPane pane(b.services);
    pane.RefreshRows(0);
    pane.rows().selectOnly(1);
    pane.doubleClick();
    ASSERT_EQ(b.posted.size(), 1u);
    EXPECT_EQ(b.posted[0].msg, msgdesk::UM_COMPOSE);
    EXPECT_EQ(b.posted[0].lParam, 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.posted[0].wParam), "13900000002");
    pane.rows().setSelected(0, true);
    pane.doubleClick();
    EXPECT_EQ(b.posted.size(), 1u);
}

TEST(ContactPane, RowsSharingANumberActOnTheirOwnRecord) {
    PhonebookBench b;
    msgdesk::ContactRecord* first = b.add("A", "139");
    msgdesk::ContactRecord* second = b.add("B", "139");  // after a change, numbers may repeat
    ContactPane pane(b.services);
    pane.setActive(true);
    pane.RefreshRows(0);
    pane.rows().selectOnly(1);
    msgdesk::ContactRecord changed = *second;
    changed.setName("C");
    b.dialogs.contactAnswers.push_back(changed);
    pane.command(cmd::ChangeContact);
    ASSERT_EQ(b.dialogs.contactsShown.size(), 1u);
    EXPECT_EQ(b.dialogs.contactsShown[0].name(), "B");
    EXPECT_EQ(first->name(), "A");
    EXPECT_EQ(second->name(), "C");

    pane.rows().selectOnly(1);
    pane.command(cmd::DeleteContact);
    ASSERT_EQ(b.book.size(), 1u);
    EXPECT_EQ(b.book.records()[0].get(), first);
}

TEST(ContactPane, AddAndChangeRefreshTheMessageListNamesEvenWhenCancelled) {
    PhonebookBench b;
    b.add("A", "1");
    ContactPane pane(b.services);
    pane.setActive(true);
    pane.RefreshRows(0);
    pane.command(cmd::AddContact);  // cancelled
    EXPECT_EQ(b.book.size(), 1u);
    pane.rows().selectOnly(0);
    pane.command(cmd::ChangeContact);  // cancelled
    EXPECT_EQ(b.refreshes(), (std::vector<int>{227, 227}));
    b.dialogs.contactAnswers.push_back(contact("Z", "2"));
    pane.command(cmd::AddContact);
    EXPECT_EQ(b.book.size(), 2u);
    EXPECT_EQ(b.refreshes().size(), 3u);
    // The popup's add goes to the main frame as the menu's add.
    pane.command(cmd::AddContactPopup);
    EXPECT_EQ(b.posted.back().msg, cmd::WM_COMMAND);
    EXPECT_EQ(b.posted.back().wParam, static_cast<platform::WPARAM>(cmd::AddContact));
}

TEST(ContactPane, MoveToSimTakesTheSelectedRowsRecords) {
    PhonebookBench b;
    b.add("A", "111");
    b.add("B", "222");
    b.devices.attached = 2;
    b.devices.cards[2] = {10, 0, true};
    b.dialogs.device = 2;
    ContactPane pane(b.services);
    pane.setActive(true);
    pane.RefreshRows(0);
    pane.rows().selectOnly(1);
    pane.command(cmd::MoveToSim);
    ASSERT_EQ(b.sims.list(2).size(), 1u);
    EXPECT_EQ(b.sims.list(2)[0]->numberText(), "222");
    EXPECT_EQ(b.sims.list(2)[0]->index, 1);
    EXPECT_EQ(b.requests.count('s'), 1);
}

TEST(ContactsCore, ManagersAlwaysOfferedSelectionCommandsOnlyWhenActive) {
    platform::ManualMessageLoop loop;
    msgdesk::ContactBook book;
    msgdesk::SimPhonebook sims;
    platform::ScriptedMessageBox box;
    struct Sink final : platform::MessageTarget {
        std::intptr_t onMessage(const platform::Message&) override { return 0; }
    } frame;
    msgdesk::ContactsCore core(book, sims, loop, &frame, box, [] { return nullptr; });
    book.AddContact(std::make_unique<msgdesk::ContactRecord>(contact("A", "1")));
    core.pane().RefreshRows(0);
    core.pane().rows().selectOnly(0);
    EXPECT_TRUE(core.commandEnabled(cmd::LocalPhonebook));
    EXPECT_FALSE(core.commandEnabled(cmd::ChangeContact));
    core.pane().setActive(true);
    EXPECT_TRUE(core.commandEnabled(cmd::ChangeContact));
    // No window yet: the add dialog counts as cancelled, nothing is added.
    core.command(cmd::AddContact);
    EXPECT_EQ(book.size(), 1u);
    EXPECT_EQ(core.services().devices.attachedCount(), 0);
}
