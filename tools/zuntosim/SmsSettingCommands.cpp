// SPDX-License-Identifier: GPL-3.0-or-later
// Message service settings (3GPP TS 27.005 clause 3): centre address,
// format, storage and indications. Messages themselves are another family.
#include "AtCommandTable.h"
#include "SimText.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

std::string storeSize(const ModemState& s) {
    return std::to_string(s.messages.size()) + "," + std::to_string(s.messageCapacity);
}

}  // namespace

void registerSmsSettingCommands(AtCommandTable& t) {
    t.add("+CSCA", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) {
            // The address is a string in the +CSCS character set.
            std::u16string n(s.centre.begin(), s.centre.end());
            bool intl = !s.centre.empty() && s.centre[0] == '+';
            r.lines = {"+CSCA: \"" + encodeText(n, s.charset) + "\"," + (intl ? "145" : "129")};
        } else if (c.kind == K::Set) {
            auto a = splitArgs(c.args);
            auto n = a.empty() ? std::nullopt : decodeText(a[0], s.charset);
            if (!n && !a.empty()) n = decodeText(a[0], "IRA");
            std::string number;
            for (char16_t ch : n.value_or(u"")) {
                if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '*' || ch == '#')
                    number += static_cast<char>(ch);
                else
                    return cmsError(s, r, 304);
            }
            if (!n || number.size() > 20) return cmsError(s, r, 304);
            if (a.size() > 1 && a[1] == "145" && !number.empty() && number[0] != '+')
                number.insert(number.begin(), '+');
            s.centre = number;
        }
    });
    t.add("+CMGF", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CMGF: " + std::to_string(s.cmgf)};
        if (c.kind == K::Test) r.lines = {"+CMGF: (0,1)"};
        if (c.kind == K::Set) {
            if (c.args == "0" || c.args == "1")
                s.cmgf = c.args[0] - '0';
            else
                r.final = "ERROR";
        }
    });
    t.add("+CNMI", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CNMI: " + s.cnmi};
        if (c.kind == K::Test) r.lines = {"+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)"};
        if (c.kind == K::Set) s.cnmi = c.args;
    });
    t.add("+CSMS", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CSMS: 0,1,1,1"};
        if (c.kind == K::Test) r.lines = {"+CSMS: (0,1)"};
        if (c.kind == K::Set) r.lines = {"+CSMS: 1,1,1"};
    });
    t.add("+CPMS", [](ModemState& s, const SimCommand& c, SimReply& r) {
        std::string sz = storeSize(s);
        if (c.kind == K::Read)
            r.lines = {"+CPMS: \"SM\"," + sz + ",\"SM\"," + sz + ",\"SM\"," + sz};
        if (c.kind == K::Test) r.lines = {"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"};
        if (c.kind == K::Set) {
            for (const auto& m : splitArgs(c.args))
                if (m != "SM") return cmsError(s, r, 302);
            r.lines = {"+CPMS: " + sz + "," + sz + "," + sz};
        }
    });
}

}  // namespace zuntosim
