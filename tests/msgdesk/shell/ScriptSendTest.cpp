// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "contacts/ContactFiles.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/Clock.h"
#include "shell/InstanceLock.h"
#include "shell/ScriptChannel.h"
#include "shell/ScriptSend.h"
#include "store/HexField.h"

namespace msgdesk::test {
namespace {

using storetest::TempDir;

// The running program's answers, one request line each.
TEST(ScriptRequests, AnswerSendRaiseAndGarbage) {
    std::vector<std::pair<std::string, std::string>> filed;
    auto send = [&](const std::string& n, const std::string& t) {
        filed.emplace_back(n, t);
        return ComposeController::Sent{CheckComposedMessage(n, t), 7};
    };
    int raised = 0;
    auto raise = [&] { ++raised; };
    const std::string gbkText = "\xc4\xe3\xba\xc3 a b";  // "你好 a b"
    struct Row {
        std::string line, answer;
    } rows[] = {
        {script::sendRequest("13912345678", gbkText), "OK 7"},
        {script::sendRequest("1391234567a", "x"), "ERR InvalidNumber"},
        {script::sendRequest("13912345678", std::string(141, 'x')), "ERR TextTooLong"},
        {script::sendRequest("13912345678", ""), "OK 7"},
        {"RAISE", "OK"},
        {"SEND 31", "ERR Unknown"},
        {"SEND 31 zz", "ERR Unknown"},
        {"SEND 31 31 31", "ERR Unknown"},
        {"", "ERR Unknown"},
    };
    for (const Row& r : rows) EXPECT_EQ(script::answer(r.line, send, raise), r.answer) << r.line;
    EXPECT_EQ(raised, 1);
    ASSERT_EQ(filed.size(), 4u);  // the refused ones are the core's to refuse
    EXPECT_EQ(filed[0].second, gbkText);
    EXPECT_EQ(filed[3].second, "");
    EXPECT_EQ(script::busErrorName(ComposeCheck::InvalidNumber),
              "org.kelvo.Msgdesk1.Error.InvalidNumber");
    EXPECT_EQ(script::busErrorName(ComposeCheck::TextTooLong),
              "org.kelvo.Msgdesk1.Error.TextTooLong");
}

class ScriptSendFixture : public ::testing::Test {
protected:
    void SetUp() override { clock.setLocal({2026, 3, 4, 5, 6, 7}); }
    std::string outbox() const { return storetest::readFile(dir.path / "data" / "OutBox.db"); }
    TempDir dir;
    platform::ManualClock clock;
};

// Not running: the row is appended to the OutBox file as compose would
// make it (contact's name, OutBox date), after the whole records (a cut
// piece at the end is dropped, as a load drops it).
TEST_F(ScriptSendFixture, WithoutARunningProgramAppendsToTheOutBoxFile) {
    ContactBook book;
    auto c = NewContactRecord();
    c->setName("Li");
    c->setMobile("13912345678");
    book.AddContact(std::move(c));
    ASSERT_TRUE(SaveContacts(book, ContactFiles{dir.path}));
    const std::string first = storetest::recordBytes(storetest::rec("10086", "old"));
    storetest::writeFile(dir.path / "data" / "OutBox.db", first + std::string(100, 'z'));

    const script::Outcome out = script::runSend(dir.path, "13912345678", "hello", clock, 500);
    EXPECT_EQ(out.exitCode, 0) << out.message;
    EXPECT_NE(out.message.find("OutBox row 2, will be sent at its next start"), std::string::npos)
        << out.message;
    const std::string bytes = outbox();
    ASSERT_EQ(bytes.size(), 2 * sizeof(MessageRecord));
    EXPECT_EQ(bytes.substr(0, sizeof(MessageRecord)), first);
    MessageRecord r;
    std::memcpy(&r, bytes.data() + sizeof(MessageRecord), sizeof r);
    EXPECT_EQ(r.number(), "13912345678");
    EXPECT_EQ(r.contact(), "Li");
    EXPECT_EQ(r.text(), "hello");
    EXPECT_EQ(r.date(), "2026-03-04");
    EXPECT_EQ(r.time(), "05:06:07");
    EXPECT_EQ(r.status(), "");
    // The lock was given back.
    InstanceLock again(dir.path);
    EXPECT_TRUE(again.tryLock());
}

// Refusals (exit 2) and a folder held by a program that does not answer
// (exit 1) leave the OutBox file alone.
TEST_F(ScriptSendFixture, RefusesAndWaitsWithoutTouchingTheFile) {
    struct Row {
        std::string number, text;
        int exit;
    } rows[] = {
        {"1391234567a", "x", 2},
        {"", "x", 2},
        {std::string(21, '1'), "x", 2},
        {"13912345678", std::string(141, 'x'), 2},
    };
    for (const Row& r : rows) {
        const script::Outcome out = script::runSend(dir.path, r.number, r.text, clock, 200);
        EXPECT_EQ(out.exitCode, r.exit) << r.number;
        EXPECT_EQ(out.message.find('\n'), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path / "data" / "OutBox.db"));

    InstanceLock holder(dir.path);
    ASSERT_TRUE(holder.tryLock());
    const script::Outcome out = script::runSend(dir.path, "13912345678", "x", clock, 300);
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_NE(out.message.find("does not answer"), std::string::npos) << out.message;
    EXPECT_EQ(outbox(), "");
    // One listener per folder; another folder's program is not asked.
    ScriptChannel channel, second;
    ASSERT_TRUE(channel.listen(dir.path));
    EXPECT_FALSE(second.listen(dir.path));
    TempDir other;
    EXPECT_FALSE(ScriptChannel::ask(other.path, "RAISE", 200));
}

}  // namespace
}  // namespace msgdesk::test
