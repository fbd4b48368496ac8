// SPDX-License-Identifier: GPL-3.0-or-later
// The SIM message store in PDU mode (3GPP TS 27.005 3.4.2, 3.5.1 - 3.5.4).
// AT+CMGS is the server's own: its "> " prompt takes raw input.
#include "AtCommandTable.h"
#include "SimSms.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

// 27.005 3.2.5: 321 invalid memory index, 302 operation not allowed.
constexpr int kInvalidIndex = 321;
constexpr int kNotAllowed = 302;

int statOf(const ModemState& s, int index) {
    auto it = s.messageStat.find(index);
    return it != s.messageStat.end() ? it->second : 0;
}

std::string header(const ModemState& s, int index) {
    const std::string& pdu = s.messages.at(index);
    return std::to_string(statOf(s, index)) + ",," + std::to_string(tpduLength(pdu));
}

// Reading a received unread message makes it read; stored outgoing ones
// keep their stat.
void markRead(ModemState& s, int index) {
    if (statOf(s, index) == 0) s.messageStat[index] = 1;
}

// AT+CMGD=<index>,<delflag> (27.005 3.5.4): 1 all read, 2 read and sent,
// 3 read, sent and unsent, 4 all; the index is then ignored.
bool deletedByFlag(int stat, int flag) {
    if (flag == 4) return true;
    if (flag >= 1 && stat == 1) return true;
    if (flag >= 2 && stat == 3) return true;
    return flag >= 3 && stat == 2;
}

}  // namespace

void registerSmsCommands(AtCommandTable& t) {
    t.add("+CMGR", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) return;
        int index = 0;
        if (c.kind != K::Set || !parseCount(c.args, index)) return cmsError(s, r, kInvalidIndex);
        if (s.cmgf != 0) return cmsError(s, r, kNotAllowed);
        auto it = s.messages.find(index);
        if (it == s.messages.end()) return cmsError(s, r, kInvalidIndex);
        r.lines = {"+CMGR: " + header(s, index), it->second};
        markRead(s, index);
    });
    t.add("+CMGL", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) {
            r.lines = {"+CMGL: (0-4)"};
            return;
        }
        if (s.cmgf != 0) return cmsError(s, r, kNotAllowed);
        int stat = 0;  // PDU mode default: received unread
        if (c.kind == K::Set && (!parseCount(c.args, stat) || stat > 4))
            return cmsError(s, r, kNotAllowed);
        std::vector<int> listed;
        for (const auto& [index, pdu] : s.messages) {
            if (stat != 4 && statOf(s, index) != stat) continue;
            r.lines.push_back("+CMGL: " + std::to_string(index) + "," + header(s, index));
            r.lines.push_back(pdu);
            listed.push_back(index);
        }
        for (int index : listed) markRead(s, index);
    });
    t.add("+CMGD", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) {
            r.lines = {"+CMGD: (1-" + std::to_string(s.messageCapacity) + "),(0-4)"};
            return;
        }
        auto a = splitArgs(c.args);
        int index = 0, flag = 0;
        if (c.kind != K::Set || a.empty() || !parseCount(a[0], index) ||
            (a.size() > 1 && !parseCount(a[1], flag)))
            return cmsError(s, r, kInvalidIndex);
        if (flag > 4) return cmsError(s, r, kInvalidIndex);
        if (flag > 0) {
            for (auto it = s.messages.begin(); it != s.messages.end();) {
                int st = statOf(s, it->first);
                if (!deletedByFlag(st, flag)) {
                    ++it;
                    continue;
                }
                s.messageStat.erase(it->first);
                it = s.messages.erase(it);
            }
            return;
        }
        if (index < 1 || index > s.messageCapacity) return cmsError(s, r, kInvalidIndex);
        s.messages.erase(index);
        s.messageStat.erase(index);
    });
}

}  // namespace zuntosim
