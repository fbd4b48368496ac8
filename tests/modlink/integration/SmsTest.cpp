// SPDX-License-Identifier: LGPL-2.1-or-later
// Short messages end to end: sending over both devices, concatenated
// parts, receiving, the SIM listing, deletion, failures and withdrawal.
#include "ModlinkFixture.h"
#include "platform/Codepage.h"

namespace cp = platform::codepage;

namespace {

std::string gbk(const std::string& utf8) {
    return cp::utf8ToGbk(utf8);
}

int sentCount(SimProcess& sim, int device) {
    std::string a = sim.control("sent " + std::to_string(device));
    return a.rfind("OK ", 0) == 0 ? std::atoi(a.c_str() + 3) : -1;
}

bool allDigits(const std::string& s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

TEST_F(ModlinkFixture, SendsToThreeNumbersOverBothDevices) {
    std::vector<int> ids;
    for (const char* n : {"13912345678", "+8613800000001", "10086"}) {
        std::string text = gbk(std::string("hello ") + n);
        ids.push_back(SendSMSMessage(n, text.c_str()));
        ASSERT_GE(ids.back(), 0) << n;
    }
    for (int id : ids) EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    int one = sentCount(*sim, 1), two = sentCount(*sim, 2);
    EXPECT_EQ(one + two, 3);
    EXPECT_GE(one, 1);
    EXPECT_GE(two, 1);
    // The simulator saw the numbers and texts as given.
    std::string all = sim->control("sent 1 1") + "|" + sim->control("sent 2 1");
    EXPECT_NE(all.find("+8613800000001 hello +8613800000001"), std::string::npos) << all;
    // Numbers the network cannot take are refused at once.
    EXPECT_GE(SendSMSMessage("139-1234-5678", "x"), 0);  // groupings are dropped
    EXPECT_EQ(SendSMSMessage("139\"12", "x"), -1);
    EXPECT_EQ(SendSMSMessage("", "x"), -1);
    EXPECT_EQ(SendSMSMessage("1+39", "x"), -1);
    EXPECT_EQ(SendSMSMessage("123456789012345678901", "x"), -1);
    EXPECT_EQ(SendSMSMessage(nullptr, "x"), -1);
    EXPECT_EQ(SendSMSMessage("10086", nullptr), -1);
}

TEST_F(ModlinkFixture, LongMixedTextGoesAsTwoPartsAndArrivesWhole) {
    std::string utf8;
    for (int i = 0; i < 60; ++i) utf8 += i % 2 ? "好" : "a";
    for (int i = 0; i < 60; ++i) utf8 += static_cast<char>('0' + i % 10);
    std::string text = gbk(utf8);
    int id = SendSMSMessage("13912345678", text.c_str());
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    std::string whole = sim->control("sent 1 1") + sim->control("sent 2 1");
    EXPECT_NE(whole.find("OK 13912345678 " + utf8), std::string::npos) << whole;
    std::string status = sim->control("status 1") + sim->control("status 2");
    EXPECT_NE(status.find("sent=2"), std::string::npos) << status;  // two PDUs
    // A second long message gets another reference, so parts never mix.
    id = SendSMSMessage("13912345678", text.c_str());
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_EQ(sentCount(*sim, 1) + sentCount(*sim, 2), 2);
}

TEST_F(ModlinkFixture, ChineseMessageTravelsFromIndicationToRead) {
    ASSERT_EQ(sim->control("sms 2 +8613912345678 你好，\"世界\" 😀"), "OK");
    auto note = events.take(MODLINK_EV_NEW_MESSAGE, 2);
    ASSERT_TRUE(note.has_value());
    int index = std::atoi(EventRecorder::text(note).c_str());
    EXPECT_EQ(index, 1);
    int id = GetSMSMessage(2, index);
    ASSERT_GE(id, 0);
    std::string t = EventRecorder::text(events.take(MODLINK_EV_READ_MESSAGE, id));
    const std::string head = "\"+8613912345678\",\"";
    ASSERT_EQ(t.substr(0, head.size()), head) << t;
    std::string stamp = t.substr(head.size(), 12);
    EXPECT_TRUE(allDigits(stamp)) << t;
    // The quotes of the body became full-width; the emoji, outside GBK,
    // its four GB18030 bytes.
    EXPECT_EQ(t.substr(head.size() + 12), "\",\"" + gbk("你好，＂世界＂ 😀") + "\"") << t;
    // Parts of a longer message are messages of their own; each says which
    // part of which message it is, under one reference.
    ASSERT_EQ(sim->control("smsparts 1 10086 3 part one, part two, part three"), "OK");
    std::string ref;
    for (int k = 1; k <= 3; ++k) {
        auto part = events.take(MODLINK_EV_NEW_MESSAGE, 1);
        ASSERT_TRUE(part.has_value());
        int pid = GetSMSMessage(1, std::atoi(EventRecorder::text(part).c_str()));
        std::string pt = EventRecorder::text(events.take(MODLINK_EV_READ_MESSAGE, pid));
        ASSERT_EQ(pt.substr(0, 9), "\"10086\",\"") << pt;
        std::size_t tail = pt.rfind(",\"");
        ASSERT_NE(tail, std::string::npos) << pt;
        std::string field = pt.substr(tail + 2, pt.size() - tail - 3);
        std::string suffix = ":" + std::to_string(k) + ":3";
        ASSERT_GT(field.size(), suffix.size()) << pt;
        EXPECT_EQ(field.substr(field.size() - suffix.size()), suffix) << pt;
        std::string r = field.substr(0, field.size() - suffix.size());
        EXPECT_TRUE(allDigits(r)) << pt;
        if (k == 1) ref = r;
        EXPECT_EQ(r, ref) << pt;
        EXPECT_EQ(std::count(pt.begin(), pt.end(), '"'), 8) << pt;
    }
    // A position that holds nothing answers an error.
    id = GetSMSMessage(2, 9);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_READ_MESSAGE, id)),
              "ERROR: +CMS ERROR: 321");
    EXPECT_EQ(GetSMSMessage(2, -1), -1);
    EXPECT_EQ(GetSMSMessage(3, 1), -1);
}

TEST_F(ModlinkFixture, ListsThirtyStoredMessagesThenTheStoreIsFull) {
    ASSERT_EQ(sim->control("fill 1 30"), "OK");
    int id = GetExistedMessage(1);
    ASSERT_GE(id, 0);
    auto listing = events.takeListing(MODLINK_EV_STORED_MESSAGE, 1);
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(*(*listing)[static_cast<std::size_t>(i)].text, std::to_string(i + 1));
    EXPECT_EQ(sim->control("sms 1 10086 one too many"), "ERROR full");
    // Each stored message reads back.
    id = GetSMSMessage(1, 30);
    std::string t = EventRecorder::text(events.take(MODLINK_EV_READ_MESSAGE, id));
    EXPECT_NE(t.find(gbk("存储的短信 30")), std::string::npos) << t;
    // An empty store lists nothing, and a failed listing still closes.
    id = GetExistedMessage(2);
    listing = events.takeListing(MODLINK_EV_STORED_MESSAGE, 2);
    ASSERT_TRUE(listing.has_value());
    EXPECT_TRUE(listing->empty());
    EXPECT_EQ(sim->control("fail 2 +CMGL CMS:500"), "OK");
    GetExistedMessage(2);
    listing = events.takeListing(MODLINK_EV_STORED_MESSAGE, 2);
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(*(*listing)[0].text, "ERROR: +CMS ERROR: 500");
}

TEST_F(ModlinkFixture, DeletesAStoredMessage) {
    ASSERT_EQ(sim->control("fill 2 3"), "OK");
    int id = DelSMSMessage(2, 2);
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DELETE_MESSAGE, id)), "OK");
    EXPECT_NE(sim->control("status 2").find("messages=2/30"), std::string::npos);
    id = GetSMSMessage(2, 2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_READ_MESSAGE, id)),
              "ERROR: +CMS ERROR: 321");
    id = DelSMSMessage(2, 99);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DELETE_MESSAGE, id)),
              "ERROR: +CMS ERROR: 321");
    // A new message takes the freed position.
    ASSERT_EQ(sim->control("sms 2 10086 again"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_NEW_MESSAGE, 2)), "2");
}

TEST_F(ModlinkFixture, SendErrorsAndTimeOutsAnswerExactlyAndTheModemRecovers) {
    ASSERT_EQ(sim->control("sendfail 10086 ERROR"), "OK");
    ASSERT_EQ(sim->control("sendfail 10010 TIMEOUT"), "OK");
    int bad = SendSMSMessage("10086", "x");
    int slow = SendSMSMessage("10010", "y");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, bad)), "ERROR");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, slow, 10000)), "TIMEOUT");
    // The stuck modem was escaped from its prompt: both devices send again.
    int a = SendSMSMessage("10010", "after");
    int b = SendSMSMessage("10010", "after");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, a, 10000)), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, b, 10000)), "OK");
    EXPECT_EQ(sentCount(*sim, 1), 1);
    EXPECT_EQ(sentCount(*sim, 2), 1);
    EXPECT_TRUE(events.all(MODLINK_EV_UNPLUGGED).empty());
    // The fault was used up: the number gets through now.
    int again = SendSMSMessage("10086", "x");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, again)), "OK");
}

// One device that takes 600 ms per message, so sends queue up.
class SlowSendFixture : public ModlinkFixture {
protected:
    int simDevices() const override { return 1; }
    std::vector<std::string> simArgs() const override { return {"--send-latency", "600"}; }
};

TEST_F(SlowSendFixture, QueuedSendIsWithdrawnAndNeverAnswered) {
    int first = SendSMSMessage("10086", "one");
    int second = SendSMSMessage("10086", "two");
    int third = SendSMSMessage("10086", "three");
    ASSERT_GE(third, 0);
    EXPECT_EQ(GetCommandCount(1), 3);
    EXPECT_NE(DelMsgInBuff(third), 0);
    EXPECT_EQ(DelMsgInBuff(third), 0);  // gone already
    EXPECT_EQ(GetCommandCount(1), 2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, first)), "OK");
    EXPECT_EQ(DelMsgInBuff(first), 0);  // answered: nothing to withdraw
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, second)), "OK");
    EXPECT_FALSE(events.take(MODLINK_EV_SEND, third, 300).has_value());
    EXPECT_EQ(sentCount(*sim, 1), 2);
    EXPECT_EQ(DelMsgInBuff(12345678), 0);
    // Other requests cannot be withdrawn.
    int signal = GetSignal(1);
    EXPECT_EQ(DelMsgInBuff(signal), 0);
}
