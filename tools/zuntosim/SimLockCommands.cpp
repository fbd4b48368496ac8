// SPDX-License-Identifier: GPL-3.0-or-later
// The SIM's PIN and PUK (3GPP TS 27.007 8.3 +CPIN, 8.65 +CPINR).
#include <algorithm>

#include "AtCommandTable.h"
#include "SimText.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;
using Lock = ModemState::SimLock;

bool isCode(const std::string& s, std::size_t min, std::size_t max) {
    return s.size() >= min && s.size() <= max &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void cpin(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Read) {
        r.lines = {s.simLock == Lock::Pin   ? "+CPIN: SIM PIN"
                   : s.simLock == Lock::Puk ? "+CPIN: SIM PUK"
                                            : "+CPIN: READY"};
        return;
    }
    if (c.kind == K::Test) return;
    if (c.kind != K::Set) return cmeError(s, r, 4);
    auto a = splitArgs(c.args);
    if (s.simLock == Lock::Ready) return cmeError(s, r, 3);  // nothing to unlock
    if (s.simLock == Lock::Pin) {
        if (a.size() != 1 || !isCode(a[0], 4, 8)) return cmeError(s, r, 16);
        if (a[0] == s.pin) {
            s.simLock = Lock::Ready;
            s.pinTries = ModemState::kPinTries;
            return;
        }
        if (--s.pinTries <= 0) s.simLock = Lock::Puk;
        return cmeError(s, r, 16);
    }
    // PUK: the code, then the new PIN.
    if (a.size() != 2 || !isCode(a[1], 4, 8)) return cmeError(s, r, 16);
    if (s.pukTries > 0 && a[0] == ModemState::kPuk) {
        s.pin = a[1];
        s.simLock = Lock::Ready;
        s.pinTries = ModemState::kPinTries;
        s.pukTries = ModemState::kPukTries;
        return;
    }
    if (s.pukTries > 0) --s.pukTries;
    cmeError(s, r, 16);
}

void cpinr(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test || c.kind == K::Read) return;
    r.lines = {"+CPINR: SIM PIN," + std::to_string(s.pinTries) + "," +
                   std::to_string(ModemState::kPinTries),
               "+CPINR: SIM PUK," + std::to_string(s.pukTries) + "," +
                   std::to_string(ModemState::kPukTries)};
}

}  // namespace

void registerSimLockCommands(AtCommandTable& t) {
    t.add("+CPIN", cpin);
    t.add("+CPINR", cpinr);
}

bool refusedBySimLock(const ModemState& s, const SimCommand& c, SimReply& r) {
    if (s.simLock == Lock::Ready) return false;
    // What needs the SIM: its messages, phonebook, centre and identity.
    static const char* needsSim[] = {"+CPMS", "+CMGL", "+CMGR", "+CMGD", "+CMGS", "+CMGW",
                                     "+CMSS", "+CPBS", "+CPBR", "+CPBW", "+CPBF", "+CSCA",
                                     "+CIMI", "+CNUM", "+CUSD", "D"};
    if (std::find(std::begin(needsSim), std::end(needsSim), c.name) == std::end(needsSim))
        return false;
    cmeError(s, r, s.simLock == Lock::Pin ? 11 : 12);
    return true;
}

}  // namespace zuntosim
