// SPDX-License-Identifier: GPL-3.0-or-later
// The service query dialog's model: a menu answered and replied to, the
// answers said plainly (time-out, not supported, failure), what ending does,
// and what it refuses.
#include <gtest/gtest.h>

#include <memory>

#include "device/UssdEvent.h"
#include "device/WindowMessages.h"
#include "phone/UssdModel.h"
#include "platform/Codepage.h"

namespace msgdesk {
namespace {

class Ussd : public ::testing::Test {
protected:
    std::unique_ptr<UssdModel> make(int devices, std::string last = "*100#",
                                    bool available = true) {
        UssdModel::Ports p;
        if (available) {
            p.send = [this](int d, const std::string& t) {
                sent.emplace_back(d, t);
                return refuse ? -1 : nextId++;
            };
            p.cancel = [this](int d) {
                cancelled.push_back(d);
                return nextId++;
            };
        }
        auto m = std::make_unique<UssdModel>(devices, std::move(last), p);
        m->setChangedHandler([this] { ++changes; });
        return m;
    }
    // The library's answer to request id (wParam 0: 4101, 1: 4102).
    static void answer(UssdModel& m, int id, const std::string& text, int kind = 0) {
        auto e = std::make_shared<UssdEvent>();
        e->id = id;
        e->text = text;
        m.onMessage(platform::Message{UM_USSDANSWER, static_cast<platform::WPARAM>(kind),
                                      reinterpret_cast<platform::LPARAM>(e.get()), e});
    }
    std::vector<std::pair<int, std::string>> sent;
    std::vector<int> cancelled;
    int nextId = 40;
    bool refuse = false;
    int changes = 0;
};

TEST_F(Ussd, MenuIsAnsweredThenTheReplyGoesInTheSameSession) {
    auto m = make(1);
    EXPECT_EQ(m->code, "*100#");  // the last code, remembered
    ASSERT_TRUE(m->canSend());
    m->send();
    EXPECT_EQ(sent.back(), std::make_pair(1, std::string("*100#")));
    EXPECT_TRUE(m->busy());
    EXPECT_FALSE(m->canSend());
    EXPECT_EQ(m->status(), "正在查询，请稍候...");
    answer(*m, 40, "\"1\",\"1 Balance\n2 Data left\"");
    EXPECT_TRUE(m->sessionOpen());
    EXPECT_EQ(m->answer(), "1 Balance\n2 Data left");
    EXPECT_EQ(m->code, "");  // typed afresh
    EXPECT_EQ(m->status(), "网络等待您的回复：在“代码”中输入后按“发送”。");
    m->code = "1";
    m->send();
    EXPECT_EQ(sent.back(), std::make_pair(1, std::string("1")));
    answer(*m, 41, "\"0\",\"Balance: 25.30 CNY\"");
    EXPECT_FALSE(m->sessionOpen());
    EXPECT_EQ(m->answer(), "Balance: 25.30 CNY");
    EXPECT_EQ(m->status(), "查询完成。");
    EXPECT_EQ(m->lastCode(), "*100#");  // a reply is no code to offer next time
    m->end();                           // nothing open: nothing to cancel
    EXPECT_TRUE(cancelled.empty());
}

TEST_F(Ussd, AnswersAreSaidPlainly) {
    struct Row {
        std::string text;
        std::string status;
    } rows[] = {
        {"TIMEOUT", "网络没有应答（超时），请稍后再试。"},
        {"\"5\",\"\"", "网络没有应答（超时），请稍后再试。"},
        {"\"4\",\"\"", "网络或设备不支持此业务查询。"},
        {"ERROR: +CME ERROR: 4", "网络或设备不支持此业务查询。"},
        {"ERROR: +CME ERROR: 40", "查询失败：ERROR: +CME ERROR: 40"},
        {"\"2\",\"\"", "网络已结束本次查询。"},
    };
    for (const Row& r : rows) {
        auto m = make(1);
        m->send();
        answer(*m, nextId - 1, r.text);
        EXPECT_EQ(m->status(), r.status) << r.text;
        EXPECT_FALSE(m->busy()) << r.text;
        EXPECT_FALSE(m->sessionOpen()) << r.text;
    }
}

TEST_F(Ussd, EndingCancelsWhatIsOpenAndLateAnswersChangeNothing) {
    auto m = make(2);
    m->setDevice(2);
    m->send();
    EXPECT_EQ(sent.back().first, 2);
    m->end();  // the answer is still due
    EXPECT_EQ(cancelled, std::vector<int>{2});
    EXPECT_EQ(m->status(), "查询已结束。");
    answer(*m, 40, "\"1\",\"late\"");  // the request given up
    EXPECT_EQ(m->answer(), "");
    EXPECT_FALSE(m->sessionOpen());
    m->send();                // id 42: the cancel took 41
    answer(*m, 41, "OK", 1);  // the cancel's answer is no USSD answer
    EXPECT_TRUE(m->busy());
    answer(*m, 42, "\"1\",\"menu\"");
    EXPECT_TRUE(m->sessionOpen());
    m->end();
    EXPECT_EQ(cancelled, (std::vector<int>{2, 2}));
    EXPECT_FALSE(m->sessionOpen());
}

TEST_F(Ussd, RefusesWhatCannotGo) {
    auto none = make(0);
    EXPECT_FALSE(none->canSend());
    EXPECT_EQ(none->status(), "没有连接设备，无法查询。");
    auto old = make(1, "*100#", false);
    EXPECT_FALSE(old->canSend());
    EXPECT_EQ(old->status(), "当前的设备库不支持业务查询(USSD)。");
    auto m = make(16, "");
    EXPECT_FALSE(m->canSend());  // no code
    m->setDevice(17);            // past the last device: ignored
    EXPECT_EQ(m->device(), 1);
    m->setDevice(16);
    EXPECT_EQ(m->device(), 16);
    m->code = "*1\"0#";
    refuse = true;
    m->send();
    EXPECT_FALSE(m->busy());
    EXPECT_EQ(m->status(), "无法发送：设备不可用，或代码中有不能发送的字符。");
    EXPECT_EQ(m->lastCode(), "");
}

}  // namespace
}  // namespace msgdesk
