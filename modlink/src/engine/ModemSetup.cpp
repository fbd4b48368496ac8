// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ModemSetup.h"

#include <poll.h>

#include <chrono>
#include <thread>

#include "Timeouts.h"
#include "Trace.h"
#include "at/AtText.h"
#include "at/CpinParser.h"

namespace modlink {

namespace {

at::AtReply run(AtChannel& ch, const std::string& text, std::vector<std::string> prefixes = {}) {
    at::AtCommand c;
    c.text = text;
    c.timeout = baseTimeout();
    c.prefixes = std::move(prefixes);
    return ch.execute(c);
}

}  // namespace

bool setUpModem(AtChannel& ch, DeviceState& state) {
    ch.discardInput();
    bool answered = false;
    for (int attempt = 0; attempt < 2 && !answered && ch.alive(); ++attempt) {
        at::AtCommand c;
        c.text = "AT";
        c.timeout = std::min(baseTimeout(), std::chrono::milliseconds(2000));
        answered = ch.execute(c).ok();
    }
    if (!answered) return false;
    run(ch, "ATE0");
    // Verbose result codes: from here a bare "0" or "4" is information.
    run(ch, "ATV1");
    run(ch, "AT+CMEE=1");
    readSimState(ch, state);
    if (state.simLock.empty()) finishSetUp(ch, state);
    return ch.alive();
}

void readSimState(AtChannel& ch, DeviceState& state) {
    // A SIM is busy for a few seconds after power-up (and after a PIN).
    const auto deadline = std::chrono::steady_clock::now() + kSimBusyWait;
    for (;;) {
        auto r = run(ch, "AT+CPIN?", {"+CPIN:"});
        std::string code;
        bool busy = false;
        if (r.ok()) {
            code = at::parseCpin(r.lines).value_or("READY");
            busy = code == "NOT READY" || code == "SIM BUSY";
        } else if (r.status == at::AtStatus::CmeError) {
            // 27.007 9.2.1: 10 not inserted, 11 PIN, 12 PUK, 14 busy.
            code = r.code == 10   ? "SIM not inserted"
                   : r.code == 11 ? "SIM PIN"
                   : r.code == 12 ? "SIM PUK"
                                  : "READY";
            busy = r.code == 14;
        } else {
            code = "READY";  // a modem without +CPIN: nothing to ask for
        }
        if (busy && ch.alive() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kSimBusyPause);
            continue;
        }
        if (busy) {
            // Its own requests will tell what is wrong.
            Trace::instance().note(ch.device(), "SIM still busy; used as ready");
            code = "READY";
        }
        if (code == "SIM PIN" || code == "SIM PUK" || code == "PH-SIM PIN" ||
            code == "SIM not inserted") {
            state.simLock = code;
        } else {
            if (code != "READY")
                Trace::instance().note(ch.device(), "SIM state " + code + " ignored");
            state.simLock.clear();
        }
        break;
    }
    state.pinTries.reset();
    if (state.simLock != "SIM PIN" && state.simLock != "SIM PUK") return;
    // The standard form first, then the forms of makers that lack it.
    for (const char* ask : {"AT+CPINR", "AT^CPIN?", "AT+QPINC=\"SC\""}) {
        auto r = run(ch, ask, {"+CPINR:", "^CPIN:", "+QPINC:"});
        if (!r.ok()) continue;
        state.pinTries = at::parsePinTries(r.lines, state.simLock);
        if (state.pinTries) break;
    }
}

void finishSetUp(AtChannel& ch, DeviceState& state) {
    if (!run(ch, "AT+CMGF=0").ok()) Trace::instance().note(0, "PDU mode refused");
    if (run(ch, "AT+CSCS=\"UCS2\"").ok()) {
        state.charset = at::Charset::Ucs2;
    } else if (run(ch, "AT+CSCS=\"GSM\"").ok()) {
        state.charset = at::Charset::Gsm;
    } else {
        auto r = run(ch, "AT+CSCS?", {"+CSCS:"});
        auto fields = r.lines.empty() ? std::vector<at::AtField>{}
                                      : at::splitFields(at::afterColon(r.lines.front()));
        state.charset = fields.empty() ? at::Charset::Ira : at::charsetFromName(fields[0].text);
    }
    run(ch, "AT+CPMS=\"SM\",\"SM\",\"SM\"", {"+CPMS:"});
    // New messages stored and announced with +CMTI; status reports routed
    // as +CDS (ds 1), else stored and announced with +CDSI (ds 2): they
    // only come for messages that asked for them (SetStatusReports).
    bool indications = false;
    for (const char* cnmi : {"AT+CNMI=2,1,0,1,0", "AT+CNMI=2,1,0,2,0", "AT+CNMI=1,1,0,1,0",
                             "AT+CNMI=1,1,0,2,0", "AT+CNMI=2,1,0,0,0", "AT+CNMI=1,1,0,0,0"}) {
        if (run(ch, cnmi).ok()) {
            indications = true;
            break;
        }
    }
    if (!indications) Trace::instance().note(0, "no message indications");
    run(ch, "AT+CLIP=1");
}

std::string simStateText(const DeviceState& state) {
    if (state.simLock.empty()) return {};
    return state.pinTries ? state.simLock + "," + std::to_string(*state.pinTries) : state.simLock;
}

bool probeAt(Transport& t, int timeoutMs) {
    t.discardInput();
    if (!t.write("AT\r", timeoutMs)) return false;
    at::AtLineSplitter splitter;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (auto line = splitter.next())
            if (*line == "OK") return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        pollfd p{t.fd(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        std::string data;
        if (t.read(data) == Transport::ReadResult::Closed) return false;
        splitter.feed(data);
    }
}

}  // namespace modlink
