// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimSms.h"

#include <ctime>
#include <map>
#include <tuple>

#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

namespace zuntosim {

namespace pdu = modlink::pdu;

int tpduLength(const std::string& hex) {
    if (hex.size() < 2 || hex.size() % 2) return -1;
    int smsc = std::stoi(hex.substr(0, 2), nullptr, 16);
    int octets = static_cast<int>(hex.size() / 2);
    return octets - 1 - smsc >= 0 ? octets - 1 - smsc : -1;
}

std::vector<int> storeMessages(ModemState& s, const std::vector<std::string>& pdus, int stat) {
    std::vector<int> free;
    for (int i = 1; i <= s.messageCapacity && free.size() < pdus.size(); ++i)
        if (!s.messages.count(i)) free.push_back(i);
    if (free.size() < pdus.size()) return {};
    for (std::size_t k = 0; k < pdus.size(); ++k) {
        s.messages[free[k]] = pdus[k];
        s.messageStat[free[k]] = stat;
    }
    return free;
}

std::vector<std::string> deliverPdus(const std::string& number, const std::string& utf8, int parts,
                                     std::string* error) {
    static unsigned ref = 0x40;
    pdu::DeliverRequest rq;
    rq.number = number;
    rq.text = utf8;
    rq.charset = pdu::Charset::Utf8;
    rq.smsc = kDeliveringCentre;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    rq.timestamp = {tm.tm_year % 100,
                    tm.tm_mon + 1,
                    tm.tm_mday,
                    tm.tm_hour,
                    tm.tm_min,
                    tm.tm_sec,
                    static_cast<int>(tm.tm_gmtoff / 900)};
    if (parts == 1) {
        auto one = pdu::encodeDeliver(rq);
        if (one) return {one.value()};
        if (error) *error = one.error();
        return {};
    }
    auto many = pdu::encodeDeliverParts(rq, parts, static_cast<std::uint16_t>(++ref & 0xFF));
    if (many) return many.value();
    if (error) *error = many.error();
    return {};
}

std::vector<SentMessage> sentMessages(const ModemState& s) {
    std::vector<SentMessage> out;
    // Parts waiting for the rest: (number, ref, total) -> part -> text.
    std::map<std::tuple<std::string, int, int>, std::map<int, std::u16string>> waiting;
    for (const auto& hex : s.sent) {
        auto m = pdu::decodePdu(hex);
        if (!m) continue;
        std::string number = m->address.number;
        if (!m->concat || m->concat->total <= 1) {
            out.push_back({number, platform::codepage::ucs2ToUtf8(m->text)});
            continue;
        }
        auto key = std::make_tuple(number, static_cast<int>(m->concat->ref), m->concat->total);
        auto& parts = waiting[key];
        parts[m->concat->part] = m->text;
        if (static_cast<int>(parts.size()) == m->concat->total) {
            std::u16string whole;
            for (auto& [k, t] : parts) whole += t;
            out.push_back({number, platform::codepage::ucs2ToUtf8(whole)});
            waiting.erase(key);
        }
    }
    return out;
}

}  // namespace zuntosim
