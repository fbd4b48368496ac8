// SPDX-License-Identifier: GPL-3.0-or-later
// SimServer's side of messages and calls: ringing, and the control
// commands that inject messages and calls.
#include <sstream>

#include "SimServer.h"
#include "SimSms.h"
#include "smspdu/SmsPdu.h"

namespace zuntosim {

using namespace std::chrono;

namespace {

// Real networks ring every few seconds; shorter keeps tests quick.
constexpr int kRingIntervalMs = 1000;

std::string textAfterWords(const std::string& line, int words) {
    std::size_t pos = 0;
    for (int i = 0; i < words; ++i) {
        pos = line.find_first_not_of(' ', pos);
        if (pos == std::string::npos) return {};
        pos = line.find(' ', pos);
        if (pos == std::string::npos) return {};
    }
    return line.substr(pos + 1);
}

bool plainNumber(const std::string& n) {
    if (n.empty() || n.size() > 21) return false;
    for (std::size_t i = 0; i < n.size(); ++i) {
        char c = n[i];
        bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
        if (!ok) return false;
    }
    return true;
}

}  // namespace

void SimServer::ring(Modem& m) {
    const auto& call = *m.state.call;
    std::string bytes = m.state.crc ? "\r\n+CRING: VOICE\r\n" : "\r\nRING\r\n";
    if (m.state.clip) {
        bool intl = !call.number.empty() && call.number[0] == '+';
        bytes += "\r\n+CLIP: \"" + call.number + "\"," + (intl ? "145" : "129") + "\r\n";
    }
    send(m, bytes);
    m.nextRing = steady_clock::now() + milliseconds(kRingIntervalMs);
}

void SimServer::ringDue(steady_clock::time_point now, int& timeout) {
    for (auto& mp : m_modems) {
        Modem& m = *mp;
        auto& call = m.state.call;
        if (m.unplugged || !call || !call->incoming || call->connected) continue;
        if (now >= m.nextRing) ring(m);
        auto left = duration_cast<milliseconds>(m.nextRing - now).count();
        int ms = static_cast<int>(std::max<long long>(0, left));
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
}

std::string SimServer::sendFailControl(const std::vector<std::string>& w) {
    if (w.size() < 3 || w.size() > 4 || !plainNumber(w[1]) ||
        (w[2] != "ERROR" && w[2] != "TIMEOUT"))
        return "ERROR usage: sendfail NUMBER ERROR|TIMEOUT [COUNT]";
    SendFault f;
    f.timeout = w[2] == "TIMEOUT";
    if (w.size() == 4 && (!parseCount(w[3], f.count) || f.count < 1)) return "ERROR bad count";
    m_sendFaults[w[1]] = f;
    return "OK";
}

std::string SimServer::messageControl(Modem& m, const std::vector<std::string>& w,
                                      const std::string& line) {
    ModemState& s = m.state;
    const std::string& cmd = w[0];
    if (cmd == "fill") {
        int n = 0;
        if (w.size() != 3 || !parseCount(w[2], n)) return "ERROR usage: fill D N";
        std::vector<std::string> pdus;
        for (int i = 1; i <= n; ++i) {
            std::string text = (i % 3 ? "Stored message " : "存储的短信 ") + std::to_string(i);
            auto one = deliverPdus("1380013" + std::to_string(1000 + i), text, 1, nullptr);
            if (one.empty()) return "ERROR cannot encode";
            pdus.push_back(one.front());
        }
        if (n > 0 && storeMessages(s, pdus).empty()) return "ERROR full";
        return "OK";
    }
    if (cmd == "sent") {
        auto all = sentMessages(s);
        if (w.size() == 2) return "OK " + std::to_string(all.size());
        int k = 0;
        if (w.size() != 3 || !parseCount(w[2], k)) return "ERROR usage: sent D [K]";
        if (k < 1 || k > static_cast<int>(all.size())) return "ERROR no such message";
        return "OK " + all[static_cast<std::size_t>(k - 1)].number + " " +
               all[static_cast<std::size_t>(k - 1)].text;
    }
    // sms D NUMBER TEXT / smsparts D NUMBER N TEXT
    bool parts = cmd == "smsparts";
    int n = 1;
    std::string text = textAfterWords(line, parts ? 4 : 3);
    if (w.size() < (parts ? 5u : 4u) || !plainNumber(w[2]) || text.empty() ||
        (parts && (!parseCount(w[3], n) || n < 1 || n > 255)))
        return parts ? "ERROR usage: smsparts D NUMBER N TEXT" : "ERROR usage: sms D NUMBER TEXT";
    std::string why;
    auto pdus = deliverPdus(w[2], text, n, &why);
    if (pdus.empty()) return "ERROR " + why;
    auto indexes = storeMessages(s, pdus);
    if (indexes.empty()) return "ERROR full";
    std::string bytes;
    for (int i : indexes) bytes += "\r\n+CMTI: \"SM\"," + std::to_string(i) + "\r\n";
    // An indication is not sent into the middle of a reply or a prompt.
    if (m.busy)
        m.dueBytes += bytes;
    else
        send(m, bytes);
    return "OK";
}

std::string SimServer::callControl(Modem& m, const std::vector<std::string>& w) {
    ModemState& s = m.state;
    const std::string& cmd = w[0];
    if (cmd == "call") {
        if (w.size() != 3 || (!plainNumber(w[2]) && w[2] != "-"))
            return "ERROR usage: call D NUMBER";
        if (s.call) return "ERROR busy";
        s.call = SimCall{true, w[2] == "-" ? "" : w[2], steady_clock::now(), false};
        s.tones.clear();
        ring(m);
        return "OK";
    }
    if (!s.call) return "ERROR no call";
    if (cmd == "answer") {
        if (s.call->incoming) return "ERROR the call is incoming";
        s.call->connected = true;
        return "OK";
    }
    // hangup: the far end ends the call.
    s.call.reset();
    std::string bytes = "\r\nNO CARRIER\r\n";
    if (m.busy)
        m.dueBytes += bytes;
    else
        send(m, bytes);
    return "OK";
}

}  // namespace zuntosim
