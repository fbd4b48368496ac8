// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "StoreTestSupport.h"
#include "device/WindowMessages.h"
#include "store/MessageList.h"

namespace storetest {

// A message list over a store in a temporary directory, its ports recorded.
struct MessageListFixture : ::testing::Test {
    TempDir dir;
    platform::ManualMessageLoop loop;
    FrameLog frame;
    FrameLog sentToFrame;  // sent, not posted
    platform::ScriptedMessageBox mb;
    bool link = true;
    bool batchRunning = false;
    int batchLowered = 0;
    std::vector<int> delCalls;
    std::function<int(int)> delAnswer = [](int) { return 1; };
    int viewResult = msgdesk::IDC_VIEW_CANCEL;
    std::vector<msgdesk::MessageRecord> viewed;
    std::string viewedWhole;
    std::vector<std::pair<std::string, std::string>> previews;
    std::map<std::string, std::string> names;
    std::vector<unsigned> missingCommands;  // windows not built yet

    std::unique_ptr<msgdesk::MailboxStore> store;
    std::unique_ptr<msgdesk::MessageList> list;

    void SetUp() override {
        store = std::make_unique<msgdesk::MailboxStore>(
            loop, dir.path, [this](platform::Message m) { frame.posted.push_back(std::move(m)); });
        store->start();
        msgdesk::MessageListPorts p;
        p.postToFrame = [this](platform::Message m) { frame.posted.push_back(std::move(m)); };
        p.sendToFrame = [this](platform::Message m) {
            sentToFrame.posted.push_back(std::move(m));
            return std::intptr_t{0};
        };
        p.linkUp = [this] { return link; };
        p.delMsgInBuff = [this](int id) {
            delCalls.push_back(id);
            return delAnswer(id);
        };
        p.sendBatchRunning = [this] { return batchRunning; };
        p.lowerSendBatch = [this] { ++batchLowered; };
        p.openMessageView = [this](const msgdesk::MessageRecord& r, const std::string& whole) {
            viewedWhole = whole;
            viewed.push_back(r);
            return viewResult;
        };
        p.showPreview = [this](const std::string& n, const std::string& t) {
            previews.emplace_back(n, t);
        };
        p.lookupNameByNumber = [this](const std::string& n) {
            auto it = names.find(n);
            return it == names.end() ? std::string() : it->second;
        };
        p.commandMissing = [this](unsigned id) {
            return std::find(missingCommands.begin(), missingCommands.end(), id) !=
                   missingCommands.end();
        };
        p.messageBox = &mb;
        list = std::make_unique<msgdesk::MessageList>(*store, loop, std::move(p));
    }

    msgdesk::Mailbox& box(msgdesk::MailboxId id) { return store->box(id); }

    void fill(msgdesk::MailboxId id, std::initializer_list<const char*> nums,
              const char* status = "") {
        for (const char* n : nums)
            store->AppendMessage(rec(n, std::string("text ") + n, status), id);
    }

    void select(msgdesk::MailboxId id, std::initializer_list<int> rows) {
        list->ShowMailbox(id);
        box(id).setSelected(0, box(id).size() - 1, false);
        for (int r : rows) box(id).setSelected(r, r, true);
        list->onSelectionChanged();
    }

    // Texts and modes of the compose requests posted so far.
    std::vector<std::pair<std::string, int>> composes() const {
        std::vector<std::pair<std::string, int>> out;
        for (const auto& m : frame.posted)
            if (m.msg == msgdesk::UM_COMPOSE) {
                // Modes 1 and 2 carry a string payload; a draft carries
                // its fields apart (and its comma form in wParam).
                if (m.lParam != 3) {
                    EXPECT_EQ(reinterpret_cast<const char*>(m.wParam),
                              static_cast<std::string*>(m.payload.get())->c_str());
                }
                out.emplace_back(reinterpret_cast<const char*>(m.wParam),
                                 static_cast<int>(m.lParam));
            }
        return out;
    }
};

}  // namespace storetest
