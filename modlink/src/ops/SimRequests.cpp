// SPDX-License-Identifier: LGPL-2.1-or-later
// The SIM's PIN: its state (event 4097) and EnterSimPin (4098).
#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "engine/Link.h"
#include "engine/ModemSetup.h"
#include "engine/Trace.h"
#include "modlink.h"

namespace modlink::requests {

namespace {

bool digits(const std::string& s, std::size_t min, std::size_t max) {
    return s.size() >= min && s.size() <= max &&
           s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

int enterSimPin(int device, const std::string& pin, const std::optional<std::string>& newPin) {
    // 27.007 8.3: a PIN has 4 to 8 digits, a PUK 8.
    if (!digits(pin, 4, 8) || (newPin && !digits(*newPin, 4, 8))) return -1;
    auto w = Link::instance().device(device);
    if (!w || !w->simLocked()) return -1;
    return Link::instance().submit(
        device,
        [device, pin, newPin](AtChannel& ch, DeviceState& st, int id) {
            if (st.simLock.empty()) return emit(MODLINK_EV_ENTER_PIN, "OK", id);
            if (st.simLock == "SIM not inserted")
                return emit(MODLINK_EV_ENTER_PIN, "ERROR: SIM not inserted", id);
            if (st.simLock == "SIM PUK" && !newPin) {
                emit(MODLINK_EV_ENTER_PIN, "ERROR: SIM PUK", id);
                return emit(MODLINK_EV_SIM_STATE, simStateText(st), device);
            }
            auto c = command("AT+CPIN=\"" + pin + "\"" + (newPin ? ",\"" + *newPin + "\"" : ""));
            c.secret = true;
            auto r = ch.execute(c);
            // The modem's own word on the SIM, right or wrong.
            readSimState(ch, st);
            if (st.simLock.empty()) {
                finishSetUp(ch, st);
                Trace::instance().note(device, "SIM unlocked");
                return emit(MODLINK_EV_ENTER_PIN, "OK", id);
            }
            emit(MODLINK_EV_ENTER_PIN, r.ok() ? "ERROR: " + st.simLock : errorText(r), id);
            emit(MODLINK_EV_SIM_STATE, simStateText(st), device);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_ENTER_PIN, why, id); }, false, true);
}

}  // namespace modlink::requests
