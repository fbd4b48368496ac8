// SPDX-License-Identifier: LGPL-2.1-or-later
// Voice calls (3GPP TS 27.007 6.2, 6.3, 7.18, C.2.11, 8.23 and V.250 6.3).
#include <algorithm>

#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/ClccParser.h"
#include "engine/Link.h"
#include "engine/Timeouts.h"
#include "modlink.h"

namespace modlink::requests {

namespace {

void endCall(DeviceState& st) {
    st.call = CallState{};
}

// A request on a device whose answer goes to `event` with the command id.
int callRequest(int device, unsigned event,
                std::function<std::string(AtChannel&, DeviceState&)> run) {
    return Link::instance().submit(
        device,
        [event, run](AtChannel& ch, DeviceState& st, int id) { emit(event, run(ch, st), id); },
        [event](int id, const std::string& why) { emit(event, why, id); });
}

bool isToneString(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D');
        if (!ok) return false;
    }
    return true;
}

std::string volumeAnswer(AtChannel& ch, int value) {
    auto r = ch.execute(command("AT+CLVL=" + std::to_string(value)));
    return r.ok() ? std::string("OK") : errorText(r);
}

}  // namespace

int dial(int device, const std::string& number) {
    if (!isDialString(number) || number.size() > 40) return -1;
    return callRequest(device, MODLINK_EV_DIAL, [number](AtChannel& ch, DeviceState& st) {
        // The ';' makes it a voice call; the modem answers OK once the call
        // is being set up, and reports its end by NO CARRIER, BUSY, ...
        auto c = command("ATD" + number + ";", {}, 6);
        c.callResults = true;
        auto r = ch.execute(c);
        if (!r.ok()) return errorText(r);
        st.call = CallState{};
        st.call.active = true;
        st.call.answered = true;
        return std::string("OK");
    });
}

int answer(int device) {
    return callRequest(device, MODLINK_EV_ATTACH, [device](AtChannel& ch, DeviceState& st) {
        auto c = command("ATA", {}, 6);
        c.callResults = true;
        auto r = ch.execute(c);
        if (r.ok()) {
            st.call.active = true;
            st.call.answered = true;
            return std::string("OK");
        }
        if (r.status == at::AtStatus::CallResult && st.call.active) {
            // The caller gave up first: the call is over.
            endCall(st);
            emitClose(MODLINK_EV_CALL_ENDED, device);
        }
        return errorText(r);
    });
}

int hangUp(int device) {
    return callRequest(device, MODLINK_EV_UNATTACH, [](AtChannel& ch, DeviceState& st) {
        auto r = ch.execute(command("AT+CHUP"));
        // Modems without +CHUP hang up with the V.250 command.
        if (!r.ok() && r.status != at::AtStatus::Timeout) r = ch.execute(command("ATH"));
        if (!r.ok()) return errorText(r);
        endCall(st);
        return std::string("OK");
    });
}

int sendTones(int device, const std::string& digits) {
    if (!isToneString(digits) || digits.size() > 32) return -1;
    return callRequest(device, MODLINK_EV_DIAL_EXT, [digits](AtChannel& ch, DeviceState&) {
        // One tone per command: the single-character form every modem takes.
        for (char d : digits) {
            auto r = ch.execute(command(std::string("AT+VTS=") + d));
            if (!r.ok()) return errorText(r);
        }
        return std::string("OK");
    });
}

int setVolume(int device, int level) {
    if (level < 0 || level > 100) return -1;
    level = std::clamp(level, 10, 90);
    return callRequest(device, MODLINK_EV_VOLUME, [level](AtChannel& ch, DeviceState& st) {
        if (!st.volumeRange) {
            auto t = ch.execute(command("AT+CLVL=?", {"+CLVL:"}));
            if (!t.ok()) return errorText(t);
            st.volumeRange = at::parseClvlRange(t.lines);
            if (!st.volumeRange) return std::string("ERROR: malformed +CLVL");
        }
        auto [lo, hi] = *st.volumeRange;
        // Wide arithmetic: the range is the modem's word and may span all of int.
        long long span = static_cast<long long>(hi) - lo;
        return volumeAnswer(ch, static_cast<int>(lo + ((level - 10) * span + 40) / 80));
    });
}

int callStatus(int device) {
    return callRequest(device, MODLINK_EV_CALL_STATUS, [](AtChannel& ch, DeviceState&) {
        auto r = ch.execute(command("AT+CLCC", {"+CLCC:"}));
        if (!r.ok()) return errorText(r);
        auto calls = at::parseClcc(r.lines);
        if (calls.empty()) return std::string("OK");
        return "\"" + std::to_string(calls.front().stat) + "\"";
    });
}

int audioPath(int device) {
    // The modem's audio runs on its own once a call is up: nothing to send.
    auto w = Link::instance().device(device);
    return w && w->alive() ? 0 : -1;
}

void installCallAndMessageIndications() {
    Link::instance().addRouterSetup([](DeviceWorker& w) {
        DeviceWorker* worker = &w;
        auto announce = [worker](const std::string& caller) {
            auto& c = worker->state().call;
            c.active = true;
            c.caller = caller;
            // A call that rings while the program starts (before it has
            // registered its callback) reaches no one: the next ring
            // announces it again, with the caller already known.
            c.announced =
                EventSink::instance().emit(MODLINK_EV_INCOMING_CALL, caller, worker->device());
            c.ringSeen = !c.announced;
        };
        w.router().add("+CMTI:", 0, [worker](const std::vector<std::string>& lines) {
            if (auto idx = at::parseCmti(lines.front()))
                emit(MODLINK_EV_NEW_MESSAGE, std::to_string(*idx), worker->device());
        });
        // A caller who gives up while it rings often gets no NO CARRIER: the
        // modem just stops ringing. A ring after a long silence on an
        // announced, unanswered call is then a new call; the old one ends.
        auto noteRing = [worker]() {
            auto& c = worker->state().call;
            auto now = std::chrono::steady_clock::now();
            bool stale = c.announced && !c.answered && now - c.lastRing > ringGap();
            if (stale) {
                c = CallState{};
                emitClose(MODLINK_EV_CALL_ENDED, worker->device());
            }
            c.lastRing = now;
        };
        // RING repeats while the phone rings; the caller id follows it. The
        // call is announced once, with the caller when +CLIP comes, else at
        // the second RING without one.
        auto ring = [worker, announce, noteRing](const std::vector<std::string>&) {
            noteRing();
            auto& c = worker->state().call;
            if (c.announced) return;
            if (c.ringSeen) return announce(c.caller);
            c.ringSeen = true;
            c.active = true;
        };
        w.router().add("RING", 0, ring);
        w.router().add("+CRING:", 0, ring);
        w.router().add("+CLIP:", 0,
                       [worker, announce, noteRing](const std::vector<std::string>& lines) {
                           noteRing();
                           if (worker->state().call.announced) return;
                           announce(at::parseClip(lines.front()).value_or(""));
                       });
        auto ended = [worker](const std::vector<std::string>&) {
            auto& c = worker->state().call;
            if (!c.active && !c.announced && !c.ringSeen) return;
            c = CallState{};
            emitClose(MODLINK_EV_CALL_ENDED, worker->device());
        };
        for (const char* p : {"NO CARRIER", "BUSY", "NO ANSWER"}) w.router().add(p, 0, ended);
    });
}

}  // namespace modlink::requests
