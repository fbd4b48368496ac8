// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "contacts/ContactRecord.h"
#include "msgdesk/recvsend/HeadlessFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/Codepage.h"
#include "store/MailboxFiles.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::codepage::gbkToUtf8;
using platform::codepage::utf8ToGbk;
using support::ChildProcess;

// Compose flows with the real device library and two simulated modems: the
// headless main frame runs the compose dialog from a script (its lists,
// search and text limit are the dialog's own core).
class ComposeEndToEnd : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        if (IsSkipped()) return;
        // One local contact.
        ContactRecord c;
        c.setMobile("13900000001");
        c.setName("Li");
        storetest::writeFile(dir.path / "data" / "contact.db",
                             std::string(reinterpret_cast<const char*>(&c), sizeof c));
        startSims(2);
        if (HasFatalFailure()) return;
        // Device 2's SIM holds "联系人1" 13900001001.
        ASSERT_EQ(sim.ask("pbfill 2 1", "", 10s), "OK");
        ASSERT_TRUE(startApp());
    }
    void script(std::initializer_list<std::string> steps) {
        for (const auto& s : steps) app.send("script " + s);
    }
    std::vector<std::string> rows(MailboxId box) {
        app.send("rows " + std::to_string(box));
        std::vector<std::string> out;
        std::string line;
        while (app.readLine(line, 10s) && line != "end")
            if (line.rfind("row ", 0) == 0) out.push_back(line.substr(4));
        return out;
    }
    // Every message the two modems handed over, as "NUMBER TEXT" (UTF-8).
    std::multiset<std::string> handedOver() {
        std::multiset<std::string> out;
        for (int d = 1; d <= 2; ++d) {
            const std::string n = sim.ask("sent " + std::to_string(d), "", 10s);
            EXPECT_EQ(n.rfind("OK ", 0), 0u) << n;
            for (int k = 1; k <= std::atoi(n.c_str() + 3); ++k)
                out.insert(sim.ask("sent " + std::to_string(d) + " " + std::to_string(k), "", 10s)
                               .substr(3));
        }
        return out;
    }
    std::vector<MessageRecord> saved(MailboxId id) {
        const std::string bytes = storetest::readFile(MailboxFilePath(dir.path, id));
        std::vector<MessageRecord> out(bytes.size() / sizeof(MessageRecord));
        if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(MessageRecord));
        return out;
    }
    void quit() {
        app.send("quit");
        EXPECT_TRUE(app.wait(10s));
    }
};

TEST_F(ComposeEndToEnd, AContactASimEntryAndATypedNumberAreSentThroughTheModems) {
    script({"sim", "pick Li", "pick " + utf8ToGbk("联系人"), "number 10086", "text hello all",
            "send"});
    app.send("new");
    EXPECT_EQ(app.waitFor("dialog ", 10s),
              "dialog mode=1 closed=1009 refused=0 recipients=13900000001,13900001001,10086");
    EXPECT_EQ(app.waitFor("composed ", 10s), "composed outbox=3 public=0");
    ASSERT_TRUE(until("sent", 3, 30s));
    EXPECT_EQ(status("outbox"), 0);
    EXPECT_EQ(handedOver(),
              (std::multiset<std::string>{"13900000001 hello all", "13900001001 hello all",
                                          "10086 hello all"}));
    quit();
    const auto sent = saved(SentBox);
    ASSERT_EQ(sent.size(), 3u);
    std::set<std::string> got;
    for (const auto& r : sent) got.insert(r.number() + "|" + gbkToUtf8(r.contact()));
    EXPECT_EQ(got, (std::set<std::string>{"13900000001|Li", "13900001001|联系人1", "10086|"}));
}

TEST_F(ComposeEndToEnd, AHundredAndFortyByteChineseTextArrivesWhole) {
    std::string seventy;
    for (int i = 0; i < 7; ++i) seventy += "短信测试一二三四五六";  // 10 characters each
    const std::string gbk = utf8ToGbk(seventy);
    ASSERT_EQ(gbk.size(), 140u);
    // The 71st character is refused whole.
    script({"number 13800000000", "text " + gbk + utf8ToGbk("多"), "send"});
    app.send("new");
    EXPECT_EQ(app.waitFor("dialog ", 10s),
              "dialog mode=1 closed=1009 refused=1 recipients=13800000000");
    ASSERT_TRUE(until("sent", 1, 30s));
    EXPECT_EQ(handedOver(), (std::multiset<std::string>{"13800000000 " + seventy}));
    quit();
    ASSERT_EQ(saved(SentBox).size(), 1u);
    EXPECT_EQ(saved(SentBox)[0].text(), gbk);
}

TEST_F(ComposeEndToEnd, ASavedDraftIsReopenedEditedAndSent) {
    script({"pick Li", "text see you", "save"});
    app.send("new");
    EXPECT_EQ(app.waitFor("composed ", 10s), "composed outbox=0 public=1");
    ASSERT_EQ(rows(PublicBox).size(), 1u);
    script({"text  at six", "send"});
    app.send("draft 0");
    EXPECT_EQ(app.waitFor("dialog ", 10s),
              "dialog mode=3 closed=1009 refused=0 recipients=13900000001");
    ASSERT_TRUE(until("sent", 1, 30s));
    EXPECT_TRUE(rows(PublicBox).empty());
    EXPECT_EQ(handedOver(), (std::multiset<std::string>{"13900000001 see you at six"}));
    quit();
    ASSERT_EQ(saved(SentBox).size(), 1u);
    EXPECT_EQ(saved(SentBox)[0].contact(), "Li");
    EXPECT_TRUE(saved(PublicBox).empty());
}

}  // namespace
}  // namespace msgdesk::test
