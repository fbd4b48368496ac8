// The SIM message store in PDU mode (3GPP TS 27.005 3.4.2, 3.5.1 - 3.5.4).
// AT+CMGS is the server's own: its "> " prompt takes raw input.
#include "CommandTable.h"
#include "SimSms.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

// 27.005 3.2.5: 321 invalid memory index, 302 operation not allowed.
constexpr int kInvalidIndex = 321;
constexpr int kNotAllowed = 302;

bool toIndex(const std::string& s, int& out) {
    if (s.empty() || s.size() > 5) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    out = std::stoi(s);
    return true;
}

std::string header(const ModemState& s, int index) {
    auto read = s.messageRead.find(index);
    int stat = read != s.messageRead.end() && read->second ? 1 : 0;
    const std::string& pdu = s.messages.at(index);
    return std::to_string(stat) + ",," + std::to_string(tpduLength(pdu));
}

}  // namespace

void registerSmsCommands(CommandTable& t) {
    t.add("+CMGR", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) return;
        int index = 0;
        if (c.kind != K::Set || !toIndex(c.args, index)) return cmsError(s, r, kInvalidIndex);
        if (s.cmgf != 0) return cmsError(s, r, kNotAllowed);
        auto it = s.messages.find(index);
        if (it == s.messages.end()) return cmsError(s, r, kInvalidIndex);
        r.lines = {"+CMGR: " + header(s, index), it->second};
        s.messageRead[index] = true;
    });
    t.add("+CMGL", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) {
            r.lines = {"+CMGL: (0-4)"};
            return;
        }
        if (s.cmgf != 0) return cmsError(s, r, kNotAllowed);
        int stat = 0;  // PDU mode default: received unread
        if (c.kind == K::Set && (!toIndex(c.args, stat) || stat > 4))
            return cmsError(s, r, kNotAllowed);
        for (const auto& [index, pdu] : s.messages) {
            auto rd = s.messageRead.find(index);
            int st = rd != s.messageRead.end() && rd->second ? 1 : 0;
            if (stat != 4 && st != stat) continue;
            r.lines.push_back("+CMGL: " + std::to_string(index) + "," + header(s, index));
            r.lines.push_back(pdu);
        }
        for (const auto& l : r.lines)
            if (l.rfind("+CMGL: ", 0) == 0) s.messageRead[std::stoi(l.substr(7))] = true;
    });
    t.add("+CMGD", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) {
            r.lines = {"+CMGD: (1-" + std::to_string(s.messageCapacity) + "),(0-4)"};
            return;
        }
        auto a = splitArgs(c.args);
        int index = 0, flag = 0;
        if (c.kind != K::Set || a.empty() || !toIndex(a[0], index) ||
            (a.size() > 1 && !toIndex(a[1], flag)))
            return cmsError(s, r, kInvalidIndex);
        if (flag == 4) {
            s.messages.clear();
            s.messageRead.clear();
            return;
        }
        if (index < 1 || index > s.messageCapacity) return cmsError(s, r, kInvalidIndex);
        s.messages.erase(index);
        s.messageRead.erase(index);
    });
}

}  // namespace zuntosim
