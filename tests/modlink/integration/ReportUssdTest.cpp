// SPDX-License-Identifier: LGPL-2.1-or-later
// Delivery reports and USSD over the simulated network: the references of a
// send, the reports routed (+CDS) or stored (+CDSI), and a menu session.
#include "ModlinkFixture.h"
#include "platform/Codepage.h"

namespace {

// One modem whose network reports 400 ms after a submit.
class ReportFixture : public ModlinkFixture {
protected:
    int simDevices() const override { return 1; }
    std::vector<std::string> simArgs() const override { return {"--report-delay", "400"}; }
    void TearDown() override {
        SetStatusReports(0);
        ModlinkFixture::TearDown();
    }
    // "ref","number","st" of a report event, the two time stamps dropped.
    static std::string head(const std::optional<ModlinkEvent>& e) {
        std::string t = EventRecorder::text(e);
        std::size_t cut = 0;
        for (int i = 0; i < 3 && cut != std::string::npos; ++i) cut = t.find(',', cut + 1);
        return cut == std::string::npos ? t : t.substr(0, cut);
    }
};

}  // namespace

TEST_F(ReportFixture, AskedReportsComeBackPerPartWithTheSentReferences) {
    ASSERT_EQ(SetStatusReports(1), 0);
    int id = SendSMSMessage("13912345678", "hello");
    ASSERT_GE(id, 0);
    // The references come just before the OK.
    EXPECT_TRUE(EventRecorder::waitUntil([&] { return !events.all(MODLINK_EV_SEND).empty(); }));
    auto order = events.all({MODLINK_EV_SEND_REFS, MODLINK_EV_SEND});
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0].code, MODLINK_EV_SEND_REFS);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND_REFS, id)), "\"1\",\"0\"");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    auto report = events.take(MODLINK_EV_STATUS_REPORT, 1);
    EXPECT_EQ(head(report), "\"0\",\"13912345678\",\"0\"");
    EXPECT_EQ(EventRecorder::text(report).size(), head(report).size() + 30);  // two stamps

    // Two parts: two references, two reports; the network says failed now.
    EXPECT_EQ(sim->control("report 1 maybe"), "ERROR usage: report D delivered|failed|none");
    EXPECT_EQ(sim->control("report 2 failed"), "ERROR no such device");
    ASSERT_EQ(sim->control("report 1 failed"), "OK");
    std::string text = platform::codepage::utf8ToGbk(std::string(100, 'x') + "好");
    id = SendSMSMessage("+8613912345678", text.c_str());
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND_REFS, id)), "\"1\",\"1,2\"");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_EQ(head(events.take(MODLINK_EV_STATUS_REPORT, 1)), "\"1\",\"+8613912345678\",\"65\"");
    EXPECT_EQ(head(events.take(MODLINK_EV_STATUS_REPORT, 1)), "\"2\",\"+8613912345678\",\"65\"");
}

TEST_F(ReportFixture, NetworkThatSendsNoReportLeavesTheSendAlone) {
    SetStatusReports(1);
    ASSERT_EQ(sim->control("report 1 none"), "OK");
    int id = SendSMSMessage("13912345678", "unreported");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_FALSE(events.take(MODLINK_EV_STATUS_REPORT, 1, 1000).has_value());
}

TEST_F(ReportFixture, WithReportsOffNoneIsAskedFor) {
    int id = SendSMSMessage("13912345678", "quiet");
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_FALSE(events.take(MODLINK_EV_STATUS_REPORT, 1, 1000).has_value());
    // Turned on, the very next message asks.
    SetStatusReports(1);
    id = SendSMSMessage("13912345678", "loud");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_EQ(head(events.take(MODLINK_EV_STATUS_REPORT, 1)), "\"1\",\"13912345678\",\"0\"");
}

TEST_F(ReportFixture, StoredReportIsReadDeletedAndNeverListedAsAMessage) {
    // A modem that refuses to route reports (ds 1) stores them (ds 2).
    CloseModules();
    ASSERT_EQ(sim->control("fail 1 +CNMI ERROR 1"), "OK");
    ASSERT_EQ(InitModules(), 0);
    RegistCallbackFunction(&EventRecorder::callback, &events);
    SetStatusReports(1);
    int id = SendSMSMessage("10086", "stored");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    EXPECT_EQ(head(events.take(MODLINK_EV_STATUS_REPORT, 1)), "\"0\",\"10086\",\"0\"");
    EXPECT_TRUE(EventRecorder::waitUntil(
        [&] { return sim->control("status 1").find("messages=0/") != std::string::npos; }));
    // A report stored while nobody listened is reported by the listing,
    // deleted, and not listed as a message.
    ASSERT_EQ(sim->control("sms 1 10010 a message"), "OK");
    id = SendSMSMessage("10086", "second");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, id)), "OK");
    CloseModules();
    EXPECT_TRUE(EventRecorder::waitUntil(
        [&] { return sim->control("status 1").find("messages=2/") != std::string::npos; }));
    ASSERT_EQ(InitModules(), 0);
    RegistCallbackFunction(&EventRecorder::callback, &events);
    ASSERT_GE(GetExistedMessage(1), 0);
    auto listed = events.takeListing(MODLINK_EV_STORED_MESSAGE, 1);
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ(EventRecorder::text(listed->front()), "1");  // the message, not the report
    EXPECT_EQ(head(events.take(MODLINK_EV_STATUS_REPORT, 1)), "\"1\",\"10086\",\"0\"");
    EXPECT_TRUE(EventRecorder::waitUntil(
        [&] { return sim->control("status 1").find("messages=1/") != std::string::npos; }));
}

TEST_F(ReportFixture, UssdMenuAnswersRepliesAndEnds) {
    int id = SendUssd(1, "*100#");
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_USSD, id)),
              "\"1\",\"1 Balance\n2 Data left\"");
    id = SendUssd(1, "1");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_USSD, id)),
              "\"0\",\"Balance: 25.30 CNY\"");
    id = SendUssd(1, "*100#");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_USSD, id)).substr(0, 4), "\"1\",");
    id = CancelUssd(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_USSD_CANCEL, id)), "OK");
    // After the cancel "1" is a code of its own, which the network lacks.
    id = SendUssd(1, "1");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_USSD, id)), "\"4\",\"\"");
    // Refused at once: no device, no text, a quote, over 182 characters.
    EXPECT_EQ(SendUssd(2, "*100#"), -1);
    EXPECT_EQ(SendUssd(1, ""), -1);
    EXPECT_EQ(SendUssd(1, nullptr), -1);
    EXPECT_EQ(SendUssd(1, "*1\"0#"), -1);
    EXPECT_GE(SendUssd(1, std::string(182, '1').c_str()), 0);
    EXPECT_EQ(SendUssd(1, std::string(183, '1').c_str()), -1);
    EXPECT_EQ(CancelUssd(0), -1);
}
