// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/AnswerText.h"

#include "platform/Codepage.h"

namespace modlink::pdu {

namespace {

void appendTwo(std::string& out, int v) {
    v = (v < 0 ? -v : v) % 100;
    out += static_cast<char>('0' + v / 10);
    out += static_cast<char>('0' + v % 10);
}

}  // namespace

std::string compactTimestamp(const Timestamp& ts) {
    std::string out;
    for (int v : {ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second}) appendTwo(out, v);
    return out;
}

std::string quoteSafeField(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size());
    for (char c : gbk) {
        if (c == '"') {
            out += "\xA3\xA2";
        } else if (c != '\0') {
            out += c;
        }
    }
    return out;
}

std::string answerText(const SmsMessage& m) {
    namespace cp = platform::codepage;
    std::string number =
        m.address.isAlphanumeric() ? cp::utf8ToGbk(m.address.number) : m.address.number;
    std::string stamp = m.timestamp ? compactTimestamp(*m.timestamp) : std::string(12, '0');
    std::string body = m.encoding == Encoding::Data8 ? std::string() : cp::ucs2ToGbk(m.text);
    std::string out =
        "\"" + quoteSafeField(number) + "\",\"" + stamp + "\",\"" + quoteSafeField(body) + "\"";
    // Only a part of a concatenated message says which part it is, so a
    // single message reads exactly as before.
    if (m.concat) {
        out += ",\"" + std::to_string(m.concat->ref) + ":" + std::to_string(m.concat->part) + ":" +
               std::to_string(m.concat->total) + "\"";
    }
    return out;
}

std::string statusReportText(const SmsMessage& m) {
    const std::string zero(12, '0');
    std::string number = m.address.isAlphanumeric()
                             ? platform::codepage::utf8ToGbk(m.address.number)
                             : m.address.number;
    return "\"" + std::to_string(m.reference) + "\",\"" + quoteSafeField(number) + "\",\"" +
           std::to_string(m.status) + "\",\"" +
           (m.timestamp ? compactTimestamp(*m.timestamp) : zero) + "\",\"" +
           (m.discharge ? compactTimestamp(*m.discharge) : zero) + "\"";
}

}  // namespace modlink::pdu
