// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/CpmsParser.h"
#include "at/CscaParser.h"
#include "at/CsqParser.h"
#include "engine/EventSink.h"
#include "engine/Link.h"
#include "engine/Timeouts.h"
#include "modlink.h"

namespace modlink::requests {

int signal(int device) {
    return Link::instance().submit(
        device,
        [device](AtChannel& ch, DeviceState&, int) {
            auto r = ch.execute(command("AT+CSQ", {"+CSQ:"}));
            if (!r.ok()) return emit(MODLINK_EV_SIGNAL, errorText(r), device);
            auto rssi = at::parseCsq(r.lines);
            emit(MODLINK_EV_SIGNAL, rssi ? std::to_string(*rssi) : "ERROR: malformed +CSQ", device);
        },
        [device](int, const std::string& why) { emit(MODLINK_EV_SIGNAL, why, device); });
}

int getCentre(int device) {
    return Link::instance().submit(
        device,
        [](AtChannel& ch, DeviceState& st, int id) {
            auto r = ch.execute(command("AT+CSCA?", {"+CSCA:"}));
            if (!r.ok()) return emit(MODLINK_EV_GET_CENTER, errorText(r), id);
            auto n = at::parseCsca(r.lines, st.charset);
            emit(MODLINK_EV_GET_CENTER, n ? quotedField(*n, 20) : "ERROR: malformed +CSCA", id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_GET_CENTER, why, id); });
}

int setCentre(int device, const std::string& number) {
    if (!isDialString(number) || number.size() > 20) return -1;
    return Link::instance().submit(
        device,
        [number](AtChannel& ch, DeviceState& st, int id) {
            auto r = ch.execute(command("AT+CSCA=" + at::cscaArgument(number, st.charset)));
            emit(MODLINK_EV_SET_CENTER, r.ok() ? "OK" : errorText(r), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_SET_CENTER, why, id); });
}

int simInfo(int device, int kind) {
    if (kind != 1 && kind != 2) return -1;
    unsigned ev = kind == 1 ? MODLINK_EV_PHONEBOOK_INFO : MODLINK_EV_MESSAGE_INFO;
    return Link::instance().submit(
        device,
        [kind, ev](AtChannel& ch, DeviceState& st, int id) {
            at::AtReply r;
            if (kind == 1) {
                if (!selectSimPhonebook(ch, st, r)) return emit(ev, errorText(r), id);
                r = ch.execute(command("AT+CPBR=?", {"+CPBR:"}));
                if (!r.ok()) return emit(ev, errorText(r), id);
                auto g = at::parseCpbrTest(r.lines);
                if (!g) return emit(ev, "ERROR: malformed +CPBR", id);
                st.phonebook = g;
                return emit(
                    ev, "\"" + std::to_string(g->first) + "-" + std::to_string(g->last) + "\"", id);
            }
            r = ch.execute(command("AT+CPMS?", {"+CPMS:"}));
            if (!r.ok()) return emit(ev, errorText(r), id);
            auto s = at::parseCpms(r.lines);
            if (!s) return emit(ev, "ERROR: malformed +CPMS", id);
            emit(ev, "\"" + std::to_string(s->used) + "/" + std::to_string(s->total) + "\"", id);
        },
        [ev](int id, const std::string& why) { emit(ev, why, id); });
}

int raw(int device, const std::string& text, std::function<void(const at::AtReply&)> done) {
    if (text.find_first_of("\r\n") != std::string::npos) return -1;
    return Link::instance().submit(
        device, [text, done](AtChannel& ch, DeviceState&, int) { done(ch.execute(command(text))); },
        [done](int, const std::string& why) {
            at::AtReply r;
            r.status = why.find("unplugged") != std::string::npos ? at::AtStatus::Unplugged
                                                                  : at::AtStatus::Cancelled;
            done(r);
        },
        false, true);
}

}  // namespace modlink::requests
