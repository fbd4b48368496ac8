// SPDX-License-Identifier: LGPL-2.1-or-later
// Unstructured supplementary service data (3GPP TS 27.007 7.15): the modem
// says OK at once and the network's answer follows as +CUSD.
#include <array>
#include <atomic>

#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/CdsParser.h"
#include "at/NameCodec.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "platform/Codepage.h"

namespace modlink::requests {

namespace {

// Networks answer within seconds, a menu of the carrier's within some more.
constexpr int kAnswerFactor = 4;
// 23.038: the GSM default alphabet, language unspecified.
constexpr int kDcsGsm7 = 15;
// 27.007 7.15: at most 182 characters.
constexpr std::size_t kMaxChars = 182;

// A cancel asked for while a request waits for its answer ends the wait at
// once; counted per device, since the waiting request runs on the worker.
std::array<std::atomic<unsigned>, Link::kMaxDevices + 1> g_cancels{};

bool validDevice(int device) {
    return device >= 1 && device <= Link::kMaxDevices;
}

bool validText(const std::string& gbk) {
    if (gbk.empty()) return false;
    for (char c : gbk) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '"') return false;  // would end or break the argument
    }
    return platform::codepage::gbkToUcs2(gbk).size() <= kMaxChars;
}

}  // namespace

int sendUssd(int device, const std::string& gbkText) {
    if (!validDevice(device) || !validText(gbkText)) return -1;
    return Link::instance().submit(
        device,
        [gbkText, device](AtChannel& ch, DeviceState& st, int id) {
            const unsigned cancels = g_cancels[static_cast<std::size_t>(device)].load();
            st.ussd.answer.reset();
            st.ussd.waiting = true;
            auto r = ch.execute(command("AT+CUSD=1,\"" + at::encodeText(gbkText, st.charset) +
                                        "\"," + std::to_string(kDcsGsm7)));
            if (!r.ok()) {
                st.ussd.waiting = false;
                return emit(MODLINK_EV_USSD, errorText(r), id);
            }
            bool answered = ch.waitUnsolicited(
                baseTimeout() * kAnswerFactor, [&st] { return st.ussd.answer.has_value(); },
                [device, cancels] {
                    return g_cancels[static_cast<std::size_t>(device)].load() != cancels;
                });
            st.ussd.waiting = false;
            if (!answered) {
                bool cancelled = g_cancels[static_cast<std::size_t>(device)].load() != cancels;
                return emit(MODLINK_EV_USSD, cancelled ? "ERROR: cancelled" : "TIMEOUT", id);
            }
            auto [status, text] = *st.ussd.answer;
            st.ussd.answer.reset();
            emit(MODLINK_EV_USSD,
                 "\"" + std::to_string(status) + "\",\"" + quotedField(text, 4096) + "\"", id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_USSD, why, id); });
}

int cancelUssd(int device) {
    if (!validDevice(device)) return -1;
    // Counted before it is queued: the queueing's wake-up must find it.
    g_cancels[static_cast<std::size_t>(device)].fetch_add(1);
    return Link::instance().submit(
        device,
        [](AtChannel& ch, DeviceState& st, int id) {
            st.ussd = UssdState{};
            auto r = ch.execute(command("AT+CUSD=2"));
            emit(MODLINK_EV_USSD_CANCEL, r.ok() ? "OK" : errorText(r), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_USSD_CANCEL, why, id); });
}

void installUssdIndications() {
    Link::instance().addRouterSetup([](DeviceWorker& w) {
        DeviceWorker* worker = &w;
        w.router().add("+CUSD:", 0, [worker](const std::vector<std::string>& lines) {
            auto& st = worker->state();
            auto a = at::parseCusd(lines.front(), st.charset == at::Charset::Ucs2);
            if (!a) return Trace::instance().note(worker->device(), "malformed +CUSD dropped");
            if (!st.ussd.waiting)
                return Trace::instance().note(worker->device(), "+CUSD without a request dropped");
            st.ussd.answer = std::make_pair(a->status, a->textGbk);
        });
    });
}

}  // namespace modlink::requests
