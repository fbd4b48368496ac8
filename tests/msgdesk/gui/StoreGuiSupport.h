// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "shell/CMsgPreview.h"
#include "store/CLeftBoxView.h"
#include "store/CListMsgView.h"
#include "store/MailboxTree.h"

namespace storegui {

// One QApplication for the whole test program, made on first use so other
// GUI test files may do the same.
inline void ensureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "msgdesk_gui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

inline msgdesk::MessageRecord rec(const std::string& number, const std::string& text,
                                  const std::string& status = "") {
    msgdesk::MessageRecord r;
    r.setNumber(number);
    r.setText(text);
    r.setStatus(status);
    r.setDate("2003-02-15");
    r.setTime("09:30:07");
    return r;
}

// The three store panes wired to core as the main frame will wire them.
struct StorePanes : ::testing::Test {
    std::filesystem::path dir;
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox mb;
    std::vector<platform::Message> posted;
    std::vector<platform::Message> toHolder;
    std::unique_ptr<msgdesk::MailboxStore> store;
    std::unique_ptr<msgdesk::MessageList> list;
    std::unique_ptr<msgdesk::MailboxTree> tree;
    std::unique_ptr<msgdesk::CMsgPreview> preview;
    std::unique_ptr<msgdesk::CListMsgView> listView;
    std::unique_ptr<msgdesk::CLeftBoxView> boxView;

    void SetUp() override {
        ensureApp();
        std::string tmpl = (std::filesystem::temp_directory_path() / "storegui-XXXXXX").string();
        dir = mkdtemp(tmpl.data());
        auto post = [this](platform::Message m) { posted.push_back(std::move(m)); };
        store = std::make_unique<msgdesk::MailboxStore>(loop, dir, post);
        store->start();
        preview = std::make_unique<msgdesk::CMsgPreview>();
        msgdesk::MessageListPorts lp;
        lp.postToFrame = post;
        lp.messageBox = &mb;
        lp.showPreview = [this](const std::string& n, const std::string& t) {
            preview->Show(n, t);
        };
        list = std::make_unique<msgdesk::MessageList>(*store, loop, lp);
        msgdesk::MailboxTreePorts tp;
        tp.postToFrame = post;
        tp.postToPaneHolder = [this](platform::Message m) { toHolder.push_back(std::move(m)); };
        tp.showPreview = lp.showPreview;
        tree = std::make_unique<msgdesk::MailboxTree>(*list, tp);
        listView = std::make_unique<msgdesk::CListMsgView>(*list);
        boxView = std::make_unique<msgdesk::CLeftBoxView>(*tree);
        listView->resize(680, 300);
        boxView->resize(175, 200);
        preview->resize(680, 200);
        // Shown (offscreen), so resizes reach the layouts at once.
        listView->show();
        boxView->show();
        preview->show();
    }

    void TearDown() override {
        boxView.reset();
        listView.reset();
        tree.reset();
        list.reset();
        preview.reset();
        store.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    int countPosted(unsigned msg, platform::WPARAM w, platform::LPARAM l) const {
        int n = 0;
        for (const auto& m : posted)
            if (m.msg == msg && m.wParam == w && m.lParam == l) ++n;
        return n;
    }
};

}  // namespace storegui
