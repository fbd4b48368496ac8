// SPDX-License-Identifier: GPL-3.0-or-later
// Voice calls (V.250 6.3, 3GPP TS 27.007 6.2, 7.18, C.2.11, 8.23).
#include "AtCommandTable.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;
using Clock = std::chrono::steady_clock;

constexpr int kNotAllowed = 3;  // 27.007 9.2
constexpr int kNotSupported = 4;
constexpr int kMaxVolume = 5;

bool dialChars(const std::string& n) {
    if (n.empty()) return false;
    for (std::size_t i = 0; i < n.size(); ++i) {
        char c = n[i];
        bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
        if (!ok) return false;
    }
    return true;
}

// "*99#", "*99***1#", "T*99#": the packet data service code (27.007 10.2.1).
bool isPacketDial(std::string d) {
    if (!d.empty() && (d[0] == 'T' || d[0] == 't' || d[0] == 'P' || d[0] == 'p')) d.erase(0, 1);
    return d.size() >= 4 && d.rfind("*99", 0) == 0 && d.back() == '#';
}

void packetDial(ModemState& s, SimReply& r) {
    using F = ModemState::DataFault;
    if (s.call) return cmeError(s, r, kNotAllowed);
    F fault = s.dataFault;
    s.dataFault = F::None;  // one dial only
    if (fault == F::NoCarrier) {
        r.final = "NO CARRIER";
    } else if (fault == F::Busy) {
        r.final = "BUSY";
    } else if (fault == F::Silent) {
        r.final.clear();
        r.next = SimReply::Next::Silent;
    } else {
        r.final = "CONNECT";
        r.next = SimReply::Next::Data;
    }
}

void hangUp(ModemState& s, const SimCommand&, SimReply&) {
    s.call.reset();
}

}  // namespace

void registerCallCommands(AtCommandTable& t) {
    t.add("D", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (isPacketDial(c.args)) return packetDial(s, r);
        // Otherwise only voice: "ATD<number>;". A circuit data call gets NO
        // CARRIER.
        if (c.args.empty() || c.args.back() != ';') {
            r.final = "NO CARRIER";
            return;
        }
        std::string number = c.args.substr(0, c.args.size() - 1);
        if (!dialChars(number)) return cmeError(s, r, 27);
        if (s.call) return cmeError(s, r, kNotAllowed);
        s.call = SimCall{false, number, Clock::now(), false};
        s.tones.clear();
    });
    t.add("A", [](ModemState& s, const SimCommand&, SimReply& r) {
        if (!s.call || !s.call->incoming || s.call->connected) {
            r.final = "NO CARRIER";
            return;
        }
        s.call->connected = true;
    });
    t.add("H", hangUp);
    t.add("+CHUP", hangUp);
    t.add("+VTS", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) {
            r.lines = {"+VTS: (0-9,#,*,A-D)"};
            return;
        }
        auto a = splitArgs(c.args);
        if (c.kind != K::Set || a.size() != 1 || a[0].size() != 1) return cmeError(s, r, 25);
        if (!s.call || s.call->stat(Clock::now()) != 0) return cmeError(s, r, kNotAllowed);
        s.tones += a[0];
    });
    t.add("+CLVL", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) r.lines = {"+CLVL: (0-" + std::to_string(kMaxVolume) + ")"};
        if (c.kind == K::Read) r.lines = {"+CLVL: " + std::to_string(s.volume)};
        if (c.kind == K::Set) {
            bool ok = c.args.size() == 1 && c.args[0] >= '0' && c.args[0] - '0' <= kMaxVolume;
            if (!ok) return cmeError(s, r, kNotSupported);
            s.volume = c.args[0] - '0';
        }
    });
    // Cellular result codes (27.007 6.11): "+CRING: VOICE" for RING.
    t.add("+CRC", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) r.lines = {"+CRC: (0,1)"};
        if (c.kind == K::Read) r.lines = {"+CRC: " + std::string(s.crc ? "1" : "0")};
        if (c.kind != K::Set) return;
        if (c.args != "0" && c.args != "1") return cmeError(s, r, kNotSupported);
        s.crc = c.args == "1";
    });
    t.add("+CLCC", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind != K::Exec || !s.call) return;
        const SimCall& call = *s.call;
        bool intl = !call.number.empty() && call.number[0] == '+';
        r.lines = {"+CLCC: 1," + std::string(call.incoming ? "1" : "0") + "," +
                   std::to_string(call.stat(Clock::now())) + ",0,0,\"" + call.number + "\"," +
                   (intl ? "145" : "129")};
    });
}

}  // namespace zuntosim
