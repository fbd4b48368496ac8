// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scriptable dial-up service for the dialer's core tests.
#include <map>

#include "platform/ras/Ras.h"
#include "platform/ras/RasErrors.h"

namespace wanmate::test {

using namespace platform::ras;

class FakeRas final : public RasPort {
public:
    DWORD RasEnumDevicesA(std::vector<RASDEVINFOA>& d) override {
        ++enumCalls;
        d = devices;
        return 0;
    }
    DWORD RasDeleteEntryA(const std::string& n) override {
        deleted.push_back(n);
        return entries.erase(n) ? 0 : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    DWORD RasSetEntryPropertiesA(const std::string& n, const RASENTRYA& e) override {
        if (failSet) return ERROR_CANNOT_WRITE_PHONEBOOK;
        entries[n] = e;
        return 0;
    }
    DWORD RasGetEntryPropertiesA(const std::string& n, RASENTRYA& e) override {
        auto it = entries.find(n);
        if (it == entries.end()) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        e = it->second;
        return 0;
    }
    DWORD RasDialA(const std::string& n, RasDialFunc f, HRASCONN* h) override {
        dialed.push_back(n);
        notifier = f;
        *h = dialResult ? dialHandleOnFailure : nextHandle;
        return dialResult;
    }
    DWORD RasHangUpA(HRASCONN h) override {
        hungUp.push_back(h);
        return 0;
    }
    DWORD RasEnumConnectionsA(size_t room, std::vector<RASCONNA>& out, size_t* needed) override {
        *needed = connections.size();
        out.clear();
        if (connections.size() > room) return ERROR_BUFFER_TOO_SMALL;
        for (auto h : connections) out.push_back({h, "KelvoZunto", ""});
        return 0;
    }
    DWORD RasGetConnectStatusA(HRASCONN, RASCONNSTATUSA& s) override {
        s.rasconnstate = handleState;
        return 0;
    }
    bool RasGetErrorStringA(DWORD e, std::string& t) override {
        auto x = rasErrorText(e);
        if (!x) return false;
        t = *x;
        return true;
    }

    std::vector<RASDEVINFOA> devices;
    std::map<std::string, RASENTRYA> entries;
    std::vector<std::string> deleted, dialed;
    std::vector<HRASCONN> hungUp, connections;
    RasDialFunc notifier;
    DWORD dialResult = 0;
    HRASCONN nextHandle = 77, dialHandleOnFailure = 0;
    RASCONNSTATE handleState = RASCS_Connected;
    bool failSet = false;
    int enumCalls = 0;
};

}  // namespace wanmate::test
