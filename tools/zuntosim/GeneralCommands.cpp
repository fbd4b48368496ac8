// SPDX-License-Identifier: GPL-3.0-or-later
// V.250 basics and identification (3GPP TS 27.007 clause 5).
#include <algorithm>

#include "AtCommandTable.h"
#include "SimText.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

AtCommandTable::Handler fixed(std::vector<std::string> lines) {
    return [lines](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Exec) r.lines = lines;
    };
}

void okOnly(ModemState&, const SimCommand&, SimReply&) {}

}  // namespace

void registerGeneralCommands(AtCommandTable& t) {
    t.add("E", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.args.empty() || c.args == "0")
            s.echo = false;
        else if (c.args == "1")
            s.echo = true;
        else
            r.final = "ERROR";
    });
    t.add("Z", [](ModemState& s, const SimCommand&, SimReply&) {
        s.echo = true;
        s.cmee = 0;
        s.charset = "IRA";
        s.crc = false;
    });
    t.add("&F", [](ModemState& s, const SimCommand&, SimReply&) {
        s.echo = true;
        s.cmee = 0;
        s.charset = "IRA";
        s.crc = false;
    });
    for (const char* n : {"V", "Q", "&C", "&D", "&K", "X", "&W", "L", "M"}) t.add(n, okOnly);
    t.add("I", fixed({"Zunto ZT3D41", "Revision: ZSIM-1.0"}));
    t.add("+CGMI", fixed({"Zunto"}));
    t.add("+CGMM", fixed({"ZT3D41"}));
    t.add("+CGMR", fixed({"ZSIM-1.0"}));
    t.add("+CGSN", fixed({"356938035643809"}));
    t.add("+CIMI", fixed({"460001234567890"}));
    t.add("+GMI", fixed({"Zunto"}));
    t.add("+GMM", fixed({"ZT3D41"}));
    t.add("+GMR", fixed({"ZSIM-1.0"}));
    t.add("+GSN", fixed({"356938035643809"}));
    t.add("+GCAP", fixed({"+GCAP: +CGSM"}));
    t.add("+CMEE", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CMEE: " + std::to_string(s.cmee)};
        if (c.kind == K::Test) r.lines = {"+CMEE: (0-2)"};
        if (c.kind == K::Set) {
            if (c.args == "0" || c.args == "1" || c.args == "2")
                s.cmee = c.args[0] - '0';
            else
                r.final = "ERROR";
        }
    });
    t.add("+CSCS", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CSCS: \"" + s.charset + "\""};
        if (c.kind == K::Test) r.lines = {"+CSCS: (\"IRA\",\"GSM\",\"UCS2\",\"HEX\")"};
        if (c.kind == K::Set) {
            auto a = splitArgs(c.args);
            std::string cs = a.empty() ? "" : a[0];
            std::transform(cs.begin(), cs.end(), cs.begin(), ::toupper);
            if (cs == "IRA" || cs == "GSM" || cs == "UCS2" || cs == "HEX")
                s.charset = cs;
            else
                cmeError(s, r, 4);
        }
    });
    t.add("+CFUN", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CFUN: 1"};
        if (c.kind == K::Test) r.lines = {"+CFUN: (0,1),(0)"};
    });
    // Battery charge (27.007 8.4): the modem is powered by the USB bus and
    // has no battery, so <bcs> 2, <bcl> 0.
    t.add("+CBC", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test) r.lines = {"+CBC: (0-3),(0-100)"};
        if (c.kind == K::Exec) r.lines = {"+CBC: 2,0"};
        if (c.kind == K::Set || c.kind == K::Read) r.final = "ERROR";
    });
    t.add("+CLIP", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CLIP: " + std::string(s.clip ? "1" : "0") + ",1"};
        if (c.kind == K::Set) s.clip = c.args == "1";
    });
}

}  // namespace zuntosim
