// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/contacts/PhonebookModelSupport.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

// The contact commands as the main frame routes them, with the dialogs
// answered from a script.
class MainFrameContacts : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("framecontacts-" + std::to_string(::getpid()));
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    msgdesk::test::FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    contacts_test::ScriptedDialogs dialogs;

    void SetUp() override {
        fs::create_directories(dir / "data");
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        fake.setDeviceCount(1);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            loop, loop.clock(), boxes, *reg, (dir / "guide.html").string(), dir, &table});
        ASSERT_TRUE(core->create());
        core->contactsCore().attachDialogs(&dialogs);
        loop.runUntilIdle();
    }
    void TearDown() override {
        core->contactsCore().attachDialogs(nullptr);
        core.reset();
        fs::remove_all(dir);
    }
};

TEST_F(MainFrameContacts, AddingAndChangingAContactRenamesItsMessages) {
    core->store().AppendMessage(storetest::rec("13911112222", "hi"), InBox);
    dialogs.contactAnswers.push_back(
        contacts_test::contact(contacts_test::gbk("赵六"), "13911112222"));
    core->command(cmd::AddContact);
    loop.runUntilIdle();
    EXPECT_EQ(core->store().box(InBox).row(0).rec.contact(), contacts_test::gbk("赵六"));
    ASSERT_EQ(core->contactsCore().pane().rows().size(), 1);
    // Saved on its own two seconds after the change.
    loop.advance(2000);
    EXPECT_EQ(fs::file_size(dir / "data" / "contact.db"), 227u);

    // Change needs the pane to be the active view.
    core->contactsCore().pane().rows().selectOnly(0);
    EXPECT_FALSE(core->commandEnabled(cmd::ChangeContact));
    core->command(cmd::ChangeContact);
    EXPECT_EQ(dialogs.contactsShown.size(), 1u);
    core->contactsCore().pane().setActive(true);
    EXPECT_TRUE(core->commandEnabled(cmd::ChangeContact));
    dialogs.contactAnswers.push_back(
        contacts_test::contact(contacts_test::gbk("赵老六"), "13911112222"));
    core->command(cmd::ChangeContact);
    loop.runUntilIdle();
    EXPECT_EQ(core->store().box(InBox).row(0).rec.contact(), contacts_test::gbk("赵老六"));
}

TEST_F(MainFrameContacts, ManagersOpenThroughTheDialogsSimOnlyOnceTheCardsAreRead) {
    core->command(cmd::LocalPhonebook);
    EXPECT_EQ(dialogs.localManagers, 1);
    // The fake cards never answer: the SIM manager stays unavailable (the
    // real cards open it in the end-to-end run).
    EXPECT_FALSE(core->commandEnabled(cmd::SimPhonebook));
    core->command(cmd::SimPhonebook);
    EXPECT_EQ(dialogs.simManagers, 0);
}

}  // namespace
