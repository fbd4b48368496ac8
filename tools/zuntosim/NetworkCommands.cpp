// SPDX-License-Identifier: GPL-3.0-or-later
// Radio: signal quality, registration, the operator and the packet domain
// (3GPP TS 27.007 clauses 7.2, 7.3, 8.5, 10.1.1, 10.1.9, 10.1.20).
#include <cctype>

#include "AtCommandTable.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

constexpr int kNotAllowed = 3;  // 27.007 9.2
constexpr int kNotSupported = 4;
constexpr int kNoService = 30;
constexpr int kNetworkNotAllowed = 32;
constexpr int kIncorrectParameters = 50;
constexpr int kMaxContextId = 16;

// The home operator in the three +COPS formats.
const char* const kOperator[] = {"CHINA MOBILE", "CMCC", "46000"};

// <stat> of +CREG/+CGREG: 1 registered (home), 0 not registered, not searching.
int regStat(const ModemState& s) {
    return s.registered ? 1 : 0;
}

// The registration report after "<prefix>: " for presentation mode n; the
// read form leads with n, the unsolicited one does not.
std::string regReport(const ModemState& s, int n, bool read) {
    std::string out = read ? std::to_string(n) + "," : "";
    out += std::to_string(regStat(s));
    if (n == 2 && s.registered) out += ",\"" + s.lac + "\",\"" + s.cellId + "\"";
    return out;
}

AtCommandTable::Handler registration(const std::string& prefix, int ModemState::*mode) {
    return [prefix, mode](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) r.lines = {prefix + ": (0-2)"};
        if (c.kind == K::Read) r.lines = {prefix + ": " + regReport(s, s.*mode, true)};
        if (c.kind == K::Set || c.kind == K::Exec) {
            std::string a = c.args.empty() ? "0" : c.args;
            if (a != "0" && a != "1" && a != "2") return cmeError(s, r, kNotSupported);
            s.*mode = a[0] - '0';
        }
    };
}

// The unsolicited reports of a registration change, by each mode asked for.
void registrationChanged(const ModemState& s, SimReply& r) {
    if (s.cregMode > 0) r.after.push_back("+CREG: " + regReport(s, s.cregMode, false));
    if (s.cgregMode > 0) r.after.push_back("+CGREG: " + regReport(s, s.cgregMode, false));
}

void cops(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test) {
        r.lines = {"+COPS: (2,\"CHINA MOBILE\",\"CMCC\",\"46000\"),,(0-4),(0-2)"};
        return;
    }
    if (c.kind == K::Read) {
        if (!s.registered)
            r.lines = {"+COPS: 2"};
        else
            r.lines = {"+COPS: 0," + std::to_string(s.copsFormat) + ",\"" +
                       kOperator[s.copsFormat] + "\""};
        return;
    }
    auto a = splitArgs(c.args);
    std::string mode = a.empty() ? "0" : a[0];
    int format = s.copsFormat;
    if (a.size() > 1) {
        if (a[1] != "0" && a[1] != "1" && a[1] != "2") return cmeError(s, r, kNotSupported);
        format = a[1][0] - '0';
    }
    if (mode == "3") {  // only sets the format of the read answer
        s.copsFormat = format;
        return;
    }
    bool wasRegistered = s.registered;
    if (mode == "0") {
        s.registered = true;
    } else if (mode == "1" || mode == "4") {
        // Manual selection: only the home network lets this SIM in.
        if (a.size() < 3 || a[2] != kOperator[format]) {
            if (mode == "1") return cmeError(s, r, kNetworkNotAllowed);
        }
        s.registered = true;
    } else if (mode == "2") {
        s.registered = false;
        s.attached = false;
    } else {
        return cmeError(s, r, kNotAllowed);
    }
    s.copsFormat = format;
    if (s.registered != wasRegistered) registrationChanged(s, r);
}

// Defines, reads and undefines PDP contexts: "=cid" alone undefines one,
// "=cid,type[,apn[,address[,d_comp[,h_comp]]]]" (re)defines it.
void cgdcont(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test) {
        for (const char* type : {"IP", "IPV6", "IPV4V6", "PPP"})
            r.lines.push_back("+CGDCONT: (1-" + std::to_string(kMaxContextId) + "),\"" + type +
                              "\",,,(0-3),(0-4)");
        return;
    }
    if (c.kind == K::Read) {
        for (const auto& [cid, p] : s.pdpContexts)
            r.lines.push_back("+CGDCONT: " + std::to_string(cid) + ",\"" + p.type + "\",\"" +
                              p.apn + "\",\"" + p.address + "\"," + std::to_string(p.dataComp) +
                              "," + std::to_string(p.headerComp));
        return;
    }
    if (c.kind != K::Set) return cmeError(s, r, kNotSupported);
    auto a = splitArgs(c.args);
    int cid = 0;
    if (a.empty() || a.size() > 6 || !parseCount(a[0], cid) || cid < 1 || cid > kMaxContextId)
        return cmeError(s, r, kIncorrectParameters);
    if (a.size() == 1) {
        s.pdpContexts.erase(cid);
        return;
    }
    ModemState::PdpContext p;
    p.type = a[1];
    for (char& ch : p.type) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (p.type != "IP" && p.type != "IPV6" && p.type != "IPV4V6" && p.type != "PPP")
        return cmeError(s, r, kIncorrectParameters);
    if (a.size() > 2) p.apn = a[2];
    if (a.size() > 3) p.address = a[3];
    int comp[2] = {0, 0};
    const int compMax[2] = {3, 4};
    for (size_t i = 4; i < a.size(); ++i) {
        int& v = comp[i - 4];
        if (!a[i].empty() && (!parseCount(a[i], v) || v > compMax[i - 4]))
            return cmeError(s, r, kIncorrectParameters);
    }
    p.dataComp = comp[0];
    p.headerComp = comp[1];
    s.pdpContexts[cid] = p;
}

}  // namespace

void registerNetworkCommands(AtCommandTable& t) {
    t.add("+CSQ", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test)
            r.lines = {"+CSQ: (0-31,99),(0-7,99)"};
        else
            r.lines = {"+CSQ: " + std::to_string(s.signal) + ",99"};
    });
    t.add("+CREG", registration("+CREG", &ModemState::cregMode));
    t.add("+CGREG", registration("+CGREG", &ModemState::cgregMode));
    t.add("+COPS", cops);
    // Packet domain attach (27.007 10.1.9); only a registered modem attaches.
    t.add("+CGATT", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) r.lines = {"+CGATT: (0,1)"};
        if (c.kind == K::Read) r.lines = {"+CGATT: " + std::string(s.attached ? "1" : "0")};
        if (c.kind != K::Set) return;
        if (c.args != "0" && c.args != "1") return cmeError(s, r, kNotSupported);
        if (c.args == "1" && !s.registered) return cmeError(s, r, kNoService);
        s.attached = c.args == "1";
    });
    t.add("+CGDCONT", cgdcont);
}

}  // namespace zuntosim
