// SPDX-License-Identifier: LGPL-2.1-or-later
// Decoding cases from the tables under tests/data/pdu/.
#include <gtest/gtest.h>

#include <cctype>

#include "PduCaseFile.h"
#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink::pdu;

namespace {

std::string typeName(MessageType t) {
    switch (t) {
        case MessageType::Submit:
            return "submit";
        case MessageType::StatusReport:
            return "status-report";
        default:
            return "deliver";
    }
}

std::string encodingName(Encoding e) {
    switch (e) {
        case Encoding::Ucs2:
            return "ucs2";
        case Encoding::Data8:
            return "8bit";
        default:
            return "gsm7";
    }
}

std::string hex2(unsigned v) {
    static const char* d = "0123456789ABCDEF";
    return {d[(v >> 4) & 0xF], d[v & 0xF]};
}

std::string concatText(const std::optional<Concat>& c) {
    if (!c) return "none";
    return std::to_string(c->ref) + "," + std::to_string(c->part) + "," + std::to_string(c->total);
}

class PduTable : public testing::TestWithParam<PduCase> {};

TEST_P(PduTable, Decodes) {
    const PduCase& c = GetParam();
    SCOPED_TRACE(c.file + ":" + std::to_string(c.line) + " " + c.name);
    DecodeOptions options;
    std::optional<std::string> expectedError;
    for (const auto& [key, value] : c.fields) {
        if (key == "opt" && value == "nosmsc") options.hasSmsc = false;
        if (key == "tpdu") options.tpduLength = std::stoul(value);
        if (key == "error") expectedError = value;
        ASSERT_NE(key, "bad-line") << value;
    }
    auto r = decodePdu(c.hex, options);
    if (expectedError) {
        ASSERT_FALSE(r.ok()) << "decoded although malformed";
        EXPECT_NE(r.error().find(*expectedError), std::string::npos) << "error was: " << r.error();
        auto json = decodePduToJson(c.hex, options);
        EXPECT_FALSE(json.ok());
        EXPECT_EQ(json.error(), r.error());
        return;
    }
    ASSERT_TRUE(r.ok()) << r.error();
    const SmsMessage& m = *r;
    int checked = 0;
    for (const auto& [key, value] : c.fields) {
        ++checked;
        if (key == "opt" || key == "tpdu") {
            --checked;
        } else if (key == "type") {
            EXPECT_EQ(typeName(m.type), value);
        } else if (key == "smsc") {
            EXPECT_EQ(m.smsc.number, value);
        } else if (key == "number") {
            EXPECT_EQ(m.address.number, value);
        } else if (key == "toa") {
            EXPECT_EQ(hex2(m.address.typeOfAddress), value);
        } else if (key == "timestamp") {
            ASSERT_TRUE(m.timestamp.has_value());
            EXPECT_EQ(isoTimestamp(*m.timestamp), value);
        } else if (key == "discharge") {
            ASSERT_TRUE(m.discharge.has_value());
            EXPECT_EQ(isoTimestamp(*m.discharge), value);
        } else if (key == "encoding") {
            EXPECT_EQ(encodingName(m.encoding), value);
        } else if (key == "text") {
            EXPECT_EQ(platform::codepage::ucs2ToUtf8(m.text), unescapeValue(value));
        } else if (key == "data") {
            EXPECT_EQ(bytesToHex(m.data), value);
        } else if (key == "concat") {
            EXPECT_EQ(concatText(m.concat), value);
        } else if (key == "ref16") {
            ASSERT_TRUE(m.concat.has_value());
            EXPECT_EQ(m.concat->ref16, value == "1");
        } else if (key == "reference") {
            EXPECT_EQ(std::to_string(m.reference), value);
        } else if (key == "status") {
            EXPECT_EQ(std::to_string(m.status), value);
        } else if (key == "validity") {
            EXPECT_EQ(m.validityRelative ? std::to_string(*m.validityRelative) : "none", value);
        } else if (key == "srr") {
            EXPECT_EQ(m.statusReportRequested, value == "1");
        } else if (key == "answer") {
            std::string gbk = answerText(m);
            EXPECT_EQ(platform::codepage::gbkToUtf8(gbk), value);
        } else if (key == "json") {
            auto json = decodePduToJson(c.hex, options);
            ASSERT_TRUE(json.ok()) << json.error();
            EXPECT_EQ(*json, value);
        } else {
            ADD_FAILURE() << "unknown key " << key;
        }
    }
    EXPECT_GT(checked, 0) << "a case must expect something";
}

std::string caseName(const testing::TestParamInfo<PduCase>& info) {
    std::string n = info.param.name;
    for (char& ch : n) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return n + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Deliver, PduTable, testing::ValuesIn(loadPduCases({"deliver.txt"})),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Submit, PduTable, testing::ValuesIn(loadPduCases({"submit.txt"})),
                         caseName);
INSTANTIATE_TEST_SUITE_P(StatusReport, PduTable, testing::ValuesIn(loadPduCases({"status.txt"})),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Malformed, PduTable, testing::ValuesIn(loadPduCases({"malformed.txt"})),
                         caseName);

// Every proper prefix of a deliver or submit fails with a message: nothing
// there is optional, so a shorter PDU must never pass (nor be read past its
// end). Status reports end in optional fields and padding is ignored, so
// those cases are left out.
TEST(PduTruncation, EveryProperPrefixFails) {
    auto cases = loadPduCases({"deliver.txt", "submit.txt"});
    ASSERT_GT(cases.size(), 40u);
    for (const auto& c : cases) {
        if (c.name.find("padding") != std::string::npos) continue;
        bool bare = false;
        for (const auto& [k, v] : c.fields) bare = bare || (k == "opt" && v == "nosmsc");
        DecodeOptions o;
        o.hasSmsc = !bare;
        std::string hex = c.hex;
        while (!hex.empty() && hex.back() < '0') hex.pop_back();
        for (std::size_t n = 0; n + 2 <= hex.size(); n += 2) {
            auto r = decodePdu(hex.substr(0, n), o);
            EXPECT_FALSE(r.ok()) << c.name << " passed cut to " << n / 2 << " octets";
            EXPECT_FALSE(r.error().empty()) << c.name;
        }
    }
}

}  // namespace
