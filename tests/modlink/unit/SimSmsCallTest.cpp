// SPDX-License-Identifier: LGPL-2.1-or-later
// zuntosim's message store, call commands and their control commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "AtCommandTable.h"
#include "SimCommand.h"
#include "SimRun.h"
#include "SimServer.h"
#include "SimSms.h"
#include "ops/Requests.h"
#include "smspdu/SmsPdu.h"

using namespace zuntosim;

namespace {

SimReply run(const AtCommandTable& t, ModemState& s, const std::string& line) {
    return runLine(t, s, line);
}

struct Server {
    SimServer server;
    explicit Server(SimOptions o = {}) {
        std::string error;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(server.start(o, error)) << error;
        testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST(SimMessageStore, ReadListAndDeleteInPduMode) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    auto pdus = deliverPdus("+8613912345678", "你好", 1, nullptr);
    ASSERT_EQ(pdus.size(), 1u);
    EXPECT_EQ(storeMessages(s, {pdus[0], pdus[0]}), (std::vector<int>{1, 2}));
    int len = tpduLength(pdus[0]);
    // The SMSC part as real ones have it: 8 octets for +8613800100500.
    EXPECT_EQ(pdus[0].substr(0, 16), "0891683108100005");
    EXPECT_EQ(len, static_cast<int>(pdus[0].size() / 2) - 9);
    EXPECT_EQ(modlink::pdu::decodePdu(pdus[0])->smsc.number, "+8613800100500");
    auto r = run(t, s, "AT+CMGR=2");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "+CMGR: 0,," + std::to_string(len));
    EXPECT_EQ(r.lines[1], pdus[0]);
    // Read once, it lists as read; unread ones (stat 0) only with 0 or 4.
    r = run(t, s, "AT+CMGL=4");
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(r.lines[0], "+CMGL: 1,0,," + std::to_string(len));
    EXPECT_EQ(r.lines[2], "+CMGL: 2,1,," + std::to_string(len));
    EXPECT_EQ(run(t, s, "AT+CMGL=0").lines.size(), 0u);  // the listing read them all
    EXPECT_EQ(run(t, s, "AT+CMGR=9").final, "+CMS ERROR: 321");
    EXPECT_EQ(run(t, s, "AT+CMGD=1").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CMGD=31").final, "+CMS ERROR: 321");
    EXPECT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(run(t, s, "AT+CMGD=1,4").final, "OK");
    EXPECT_TRUE(s.messages.empty());
    s.cmgf = 1;
    EXPECT_EQ(run(t, s, "AT+CMGL=4").final, "+CMS ERROR: 302");
    // A full store takes nothing, not even part of a batch.
    s.messageCapacity = 1;
    EXPECT_TRUE(storeMessages(s, {pdus[0], pdus[0]}).empty());
    EXPECT_TRUE(s.messages.empty());
}

TEST(SimMessageStore, OutgoingStatsListAndDeleteByFlag) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    auto in = deliverPdus("10086", "in", 1, nullptr);
    ASSERT_EQ(in.size(), 1u);
    std::string out = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";
    storeMessages(s, {in[0]});     // 1: unread
    storeMessages(s, {out}, 2);    // 2: unsent
    storeMessages(s, {out}, 3);    // 3: sent
    storeMessages(s, {in[0]}, 1);  // 4: read
    // Each stat lists alone (read before unread: listing marks them read);
    // reading a stored outgoing message keeps its stat.
    for (auto [stat, index] : {std::pair{1, 4}, {0, 1}, {2, 2}, {3, 3}}) {
        auto r = run(t, s, "AT+CMGL=" + std::to_string(stat));
        ASSERT_EQ(r.lines.size(), 2u) << stat;
        EXPECT_EQ(r.lines[0].substr(0, 10),
                  "+CMGL: " + std::to_string(index) + "," + std::to_string(stat));
    }
    EXPECT_EQ(run(t, s, "AT+CMGL=0").lines.size(), 0u);
    EXPECT_EQ(run(t, s, "AT+CMGR=2").lines[0], "+CMGR: 2,,23");
    EXPECT_EQ(run(t, s, "AT+CMGR=2").lines[0], "+CMGR: 2,,23");
    EXPECT_EQ(run(t, s, "AT+CMGL=5").final, "+CMS ERROR: 302");
    // Delete flags: 1 read, 2 also sent, 3 also unsent; the index is ignored.
    EXPECT_EQ(run(t, s, "AT+CMGD=9,1").final, "OK");
    EXPECT_EQ(s.messages.size(), 2u);  // 1 was read by the listing
    EXPECT_EQ(s.messages.count(2) + s.messages.count(3), 2u);
    EXPECT_EQ(run(t, s, "AT+CMGD=0,2").final, "OK");
    EXPECT_EQ(s.messages.count(3), 0u);
    EXPECT_EQ(s.messages.count(2), 1u);
    EXPECT_EQ(run(t, s, "AT+CMGD=0,5").final, "+CMS ERROR: 321");
    EXPECT_EQ(run(t, s, "AT+CMGD=0,3").final, "OK");
    EXPECT_TRUE(s.messages.empty());
    EXPECT_TRUE(s.messageStat.empty());
}

TEST(SimMessageStore, SentPartsAreJoinedPerReference) {
    ModemState s;
    modlink::pdu::SubmitOptions o;
    o.charset = modlink::pdu::Charset::Utf8;
    std::string longText(200, 'x');
    o.concatRef = 7;
    auto a = modlink::pdu::encodeSubmit("10086", longText, o);
    o.concatRef = 8;
    auto b = modlink::pdu::encodeSubmit("10086", "short", o);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->size(), 2u);
    // The second part first, another message between them.
    s.sent = {(*a)[1].hex, (*b)[0].hex, (*a)[0].hex};
    auto whole = sentMessages(s);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].text, "short");
    EXPECT_EQ(whole[1].number, "10086");
    EXPECT_EQ(whole[1].text, longText);
}

TEST(SimCalls, DialAnswerTonesVolumeAndStatus) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    EXPECT_EQ(run(t, s, "AT+CLCC").lines.size(), 0u);
    EXPECT_EQ(run(t, s, "ATD10086").final, "NO CARRIER");  // data calls are not served
    EXPECT_EQ(run(t, s, "ATD10086;").final, "OK");
    auto r = run(t, s, "AT+CLCC");
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], "+CLCC: 1,0,2,0,0,\"10086\",129");
    EXPECT_EQ(run(t, s, "AT+VTS=1").final, "+CME ERROR: 3");  // not up yet
    EXPECT_EQ(run(t, s, "ATD10010;").final, "+CME ERROR: 3");
    s.call->start -= std::chrono::milliseconds(SimCall::kDiallingMs + SimCall::kAlertingMs);
    EXPECT_EQ(run(t, s, "AT+VTS=1").final, "OK");
    EXPECT_EQ(run(t, s, "AT+VTS=12").final, "+CME ERROR: 25");
    EXPECT_EQ(s.tones, "1");
    EXPECT_EQ(run(t, s, "ATA").final, "NO CARRIER");  // nothing rings
    EXPECT_EQ(run(t, s, "AT+CHUP").final, "OK");
    EXPECT_FALSE(s.call.has_value());
    EXPECT_EQ(run(t, s, "AT+CLVL=?").lines[0], "+CLVL: (0-5)");
    EXPECT_EQ(run(t, s, "AT+CLVL=4").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CLVL=6").final, "+CME ERROR: 4");
    EXPECT_EQ(s.volume, 4);
}

TEST(SimControl, MessagesCallsAndSendFaults) {
    SimOptions o;
    o.devices = 2;
    o.messageCapacity = 5;
    Server sv(o);
    SimServer& server = sv.server;
    EXPECT_EQ(server.control("sms 1 +8613912345678 你好 世界"), "OK");
    ASSERT_EQ(server.modem(1)->messages.size(), 1u);
    auto m = modlink::pdu::decodePdu(server.modem(1)->messages.at(1));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->address.number, "+8613912345678");
    EXPECT_EQ(m->text, u"你好 世界");
    EXPECT_EQ(server.control("smsparts 1 10086 3 a text in three parts"), "OK");
    auto part = modlink::pdu::decodePdu(server.modem(1)->messages.at(4));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->smsc.number, "+8613800100500");
    EXPECT_EQ(server.modem(1)->messages.size(), 4u);
    EXPECT_EQ(server.control("smsparts 1 10086 3 no room for three"), "ERROR full");
    EXPECT_EQ(server.control("sms 1 10086 last"), "OK");
    EXPECT_EQ(server.control("sms 1 10086 over"), "ERROR full");
    EXPECT_EQ(server.control("fill 2 6"), "ERROR full");
    EXPECT_EQ(server.control("fill 2 5"), "OK");
    EXPECT_EQ(server.control("sms 2 10086"), "ERROR usage: sms D NUMBER TEXT");
    EXPECT_EQ(server.control("sms 2 100\"86 x"), "ERROR usage: sms D NUMBER TEXT");
    EXPECT_EQ(server.control("sendfail 10086 ERROR 2"), "OK");
    EXPECT_EQ(server.control("sendfail 10086 LATER"),
              "ERROR usage: sendfail NUMBER ERROR|TIMEOUT [COUNT]");
    EXPECT_EQ(server.control("sendfail 10086 TIMEOUT 0"), "ERROR bad count");
    EXPECT_EQ(server.control("sent 1"), "OK 0");
    EXPECT_EQ(server.control("sent 1 1"), "ERROR no such message");

    EXPECT_EQ(server.control("answer 1"), "ERROR no call");
    EXPECT_EQ(server.control("call 1 13912345678"), "OK");
    EXPECT_EQ(server.control("call 1 10086"), "ERROR busy");
    EXPECT_EQ(server.control("answer 1"), "ERROR the call is incoming");
    EXPECT_NE(server.control("status 1").find("call=4"), std::string::npos);
    EXPECT_EQ(server.control("hangup 1"), "OK");
    EXPECT_NE(server.control("status 1").find("call=none"), std::string::npos);
    EXPECT_EQ(server.control("hangup 1"), "ERROR no call");
}

TEST(SimControl, LinksReplaceStaleOnes) {
    std::string prefix = testing::TempDir() + "zuntosim-link-" + std::to_string(::getpid()) + "-";
    std::string link = prefix + "1";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink("/nonexistent/pts/99", link.c_str()), 0);  // left by an earlier run
    SimOptions o;
    o.linkPrefix = prefix;
    {
        Server sv(o);
        char target[256] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target).rfind("/dev/pts/", 0), 0u) << target;
    }
    ::unlink(link.c_str());
}

TEST(SmsNumbers, CleanedOrRefused) {
    using modlink::requests::cleanSmsNumber;
    EXPECT_EQ(cleanSmsNumber("139 1234-5678"), "13912345678");
    EXPECT_EQ(cleanSmsNumber("+8613912345678"), "+8613912345678");
    EXPECT_EQ(cleanSmsNumber("*99#"), "*99#");
    EXPECT_FALSE(cleanSmsNumber("").has_value());
    EXPECT_FALSE(cleanSmsNumber("+").has_value());
    EXPECT_FALSE(cleanSmsNumber("86+139").has_value());
    EXPECT_FALSE(cleanSmsNumber("1390000abc").has_value());
    EXPECT_FALSE(cleanSmsNumber("139\"1").has_value());
    EXPECT_FALSE(cleanSmsNumber("123456789012345678901").has_value());
    EXPECT_EQ(cleanSmsNumber("+12345678901234567890"), "+12345678901234567890");
}
