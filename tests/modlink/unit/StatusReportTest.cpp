// SPDX-License-Identifier: LGPL-2.1-or-later
// Status report and USSD indications: +CDS and +CDSI as modems send them,
// the 4100 text they become, the TP-MR of a send reply, and +CUSD answers.
#include <gtest/gtest.h>

#include "at/CdsParser.h"
#include "ops/Requests.h"
#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink;
namespace cp = platform::codepage;

namespace {

// The whole path of a routed report: +CDS lines -> the event text.
std::string reportText(const std::vector<std::string>& lines) {
    auto cds = at::parseCds(lines);
    if (!cds) return "no +CDS";
    pdu::DecodeOptions o;
    o.tpduLength = static_cast<std::size_t>(cds->length);
    auto m = pdu::decodePdu(cds->pdu, o);
    if (!m) return "bad PDU";
    if (m->type != pdu::MessageType::StatusReport) return "not a report";
    return pdu::statusReportText(*m);
}

// A report to +8613912345678 for TP-MR 42, taken at 26-12-07 10:00:01 and
// discharged at 10:00:05 (+08:00), with TP-ST st.
std::string capturedPdu(const char* st) {
    return std::string(
               "0891683108100005F0062A0D91683119325476F862217001001023622170010050"
               "23") +
           st;
}

}  // namespace

TEST(StatusReportParser, CdsRowsBecomeTheEventText) {
    const std::string stamps = "\"261207100001\",\"261207100005\"";
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        std::string expected;
    } rows[] = {
        {"delivered, SMSC part",
         {"+CDS: 26", capturedPdu("00")},
         "\"42\",\"+8613912345678\",\"0\"," + stamps},
        // TP-ST at the edges of its classes travels unchanged (the classes
        // are the receiver's to draw).
        {"last delivered",
         {"+CDS: 26", capturedPdu("1F")},
         "\"42\",\"+8613912345678\",\"31\"," + stamps},
        {"first still trying",
         {"+CDS: 26", capturedPdu("20")},
         "\"42\",\"+8613912345678\",\"32\"," + stamps},
        {"last still trying",
         {"+CDS: 26", capturedPdu("3F")},
         "\"42\",\"+8613912345678\",\"63\"," + stamps},
        {"first failed",
         {"+CDS: 26", capturedPdu("40")},
         "\"42\",\"+8613912345678\",\"64\"," + stamps},
        {"last failed",
         {"+CDS: 26", capturedPdu("7F")},
         "\"42\",\"+8613912345678\",\"127\"," + stamps},
        {"without SMSC part",
         {"+CDS: 26", capturedPdu("41").substr(18)},
         "\"42\",\"+8613912345678\",\"65\"," + stamps},
        {"alpha field before the length",
         {"+CDS: ,26", capturedPdu("00")},
         "\"42\",\"+8613912345678\",\"0\"," + stamps},
        {"stray character after the PDU",
         {"+CDS: 26", capturedPdu("00") + "\""},
         "\"42\",\"+8613912345678\",\"0\"," + stamps},
        // Negative rows: nothing is reported from them.
        {"no PDU line", {"+CDS: 26"}, "no +CDS"},
        {"length 0", {"+CDS: 0", capturedPdu("00")}, "no +CDS"},
        {"length 256", {"+CDS: 256", capturedPdu("00")}, "no +CDS"},
        {"no length", {"+CDS:", capturedPdu("00")}, "no +CDS"},
        {"PDU line not hex", {"+CDS: 26", "OK"}, "no +CDS"},
        {"cut PDU", {"+CDS: 26", capturedPdu("00").substr(0, 40)}, "bad PDU"},
        {"a deliver, not a report",
         {"+CDS: 20", "0891683108100005F0040B811000000000F00000622170010010230131"},
         "not a report"},
    };
    for (const Row& r : rows) EXPECT_EQ(reportText(r.lines), r.expected) << r.name;
}

TEST(StatusReportParser, OurOwnEncoderRoundTrips) {
    pdu::StatusReportRequest rq;
    rq.reference = 255;
    rq.number = "13912345678";
    rq.status = 0x60;
    rq.timestamp = {26, 12, 31, 23, 59, 58, 32};
    rq.discharge = {27, 1, 1, 0, 0, 0, 32};
    auto hex = pdu::encodeStatusReport(rq);
    ASSERT_TRUE(hex);
    const int tpdu = static_cast<int>(hex->size() / 2) - 1;  // "00" SMSC part
    EXPECT_EQ(reportText({"+CDS: " + std::to_string(tpdu), *hex}),
              "\"255\",\"13912345678\",\"96\",\"261231235958\",\"270101000000\"");
}

TEST(StatusReportParser, CdsiNamesTheStoredIndex) {
    struct Row {
        const char* line;
        std::optional<int> index;
    } rows[] = {
        {"+CDSI: \"SM\",3", 3},  {"+CDSI: \"SR\",0", 0},   {"+cdsi: \"SM\",250", 250},
        {"+CDSI: \"SM\"", {}},   {"+CDSI: \"SM\",-1", {}}, {"+CDSI: \"SM\",x", {}},
        {"+CMTI: \"SM\",3", {}},
    };
    for (const auto& r : rows) EXPECT_EQ(at::parseCdsi(r.line), r.index) << r.line;
}

TEST(StatusReportParser, SendReplyGivesTheMessageReference) {
    struct Row {
        std::vector<std::string> lines;
        std::optional<int> mr;
    } rows[] = {
        {{"+CMGS: 0"}, 0},    {{"+CMGS: 255"}, 255},
        {{"+CMGS: 256"}, {}}, {{"+CMGS: 17,\"261207100001+32\""}, 17},
        {{"+CMSS: 9"}, 9},    {{}, {}},
        {{"+CMGS: -1"}, {}},  {{"+CMGS:"}, {}},
    };
    for (const auto& r : rows) {
        at::AtReply reply;
        reply.status = at::AtStatus::Ok;
        reply.lines = r.lines;
        EXPECT_EQ(requests::sentReference(reply), r.mr) << (r.lines.empty() ? "" : r.lines[0]);
    }
}

TEST(UssdParser, CusdAnswersInEachAlphabet) {
    struct Row {
        const char* name;
        std::string line;
        bool ucs2Set;
        std::optional<int> status;
        std::string textUtf8;
    } rows[] = {
        {"GSM set, default alphabet", "+CUSD: 0,\"Balance: 25.30 CNY\",15", false, 0,
         "Balance: 25.30 CNY"},
        {"UCS2 set, GSM answer given as UCS-2 hex", "+CUSD: 1,\"0031002000420061006C0061\",15",
         true, 1, "1 Bala"},
        {"UCS2 set, menu with a line break", "+CUSD: 1,\"003100200042000A00320020004400610074\",15",
         true, 1, "1 B\n2 Dat"},
        {"UCS-2 coded answer (dcs 72)", "+CUSD: 0,\"4F59989D003A00320035\",72", false, 0,
         "余额:25"},
        {"UCS-2 with language (dcs 17)", "+CUSD: 0,\"4F59989D\",17", false, 0, "余额"},
        {"status alone: not supported", "+CUSD: 4", false, 4, ""},
        {"ended by the network", "+CUSD: 2", true, 2, ""},
        {"8-bit data shows nothing", "+CUSD: 0,\"0102\",68", false, 0, ""},
        {"UCS2 set but plain text (modem ignored the set)", "+CUSD: 0,\"OK done\",15", true, 0,
         "OK done"},
        {"status 6 unknown", "+CUSD: 6,\"x\",15", false, {}, ""},
        {"bad dcs", "+CUSD: 0,\"x\",300", false, {}, ""},
        {"not +CUSD", "+CUSX: 0", false, {}, ""},
    };
    for (const Row& r : rows) {
        auto a = at::parseCusd(r.line, r.ucs2Set);
        ASSERT_EQ(a.has_value(), r.status.has_value()) << r.name;
        if (!a) continue;
        EXPECT_EQ(a->status, *r.status) << r.name;
        EXPECT_EQ(cp::gbkToUtf8(a->textGbk), r.textUtf8) << r.name;
    }
}
