// SPDX-License-Identifier: LGPL-2.1-or-later
// The C interface: argument checks and hand-over to the link.
#include <mutex>
#include <string>

#include "engine/EventSink.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "ops/Requests.h"
#include "transport/ManagerHold.h"

using modlink::Link;
namespace rq = modlink::requests;

namespace {
std::string text(const char* s) {
    return s ? std::string(s) : std::string();
}

// Event 4097 for every device whose SIM is locked, to the callback now
// registered (none: nothing).
void announceLockedSims() {
    for (int d = 1; d <= Link::instance().deviceCount(); ++d)
        if (auto w = Link::instance().device(d))
            if (auto s = w->simStateText(); !s.empty())
                modlink::EventSink::instance().emit(MODLINK_EV_SIM_STATE, s, d);
}
}  // namespace

extern "C" {

MODLINK_API int MODLINK_CALL InitModules(void) {
    static std::once_flag indications;
    std::call_once(indications, [] {
        rq::installCallAndMessageIndications();
        rq::installStatusReportIndications();
        rq::installUssdIndications();
    });
    int rc = Link::instance().open();
    if (rc == 0) announceLockedSims();
    return rc;
}

MODLINK_API int MODLINK_CALL RegistCallbackFunction(ModlinkCallback callback, void* context) {
    modlink::EventSink::instance().set(callback, context);
    // A SIM that waits for its PIN is told to every new callback: Msgdesk
    // registers only after InitModules has set the devices up.
    if (callback) announceLockedSims();
    return 0;
}

MODLINK_API int MODLINK_CALL GetActiveDeviceCount(int* count) {
    if (!Link::instance().isOpen()) {
        if (count) *count = 0;
        return -1;
    }
    if (count) *count = Link::instance().deviceCount();
    return 0;
}

MODLINK_API int MODLINK_CALL CloseModules(void) {
    Link::instance().close();
    modlink::Trace::instance().close();
    return 0;
}

MODLINK_API int MODLINK_CALL GetSignal(int device) {
    return rq::signal(device);
}
MODLINK_API int MODLINK_CALL GetGSMCenter(int device) {
    return rq::getCentre(device);
}

MODLINK_API int MODLINK_CALL SetGSMCenter(int device, const char* number) {
    if (!number) return -1;
    return rq::setCentre(device, number);
}

MODLINK_API int MODLINK_CALL GetSimInfo(int device, int kind) {
    return rq::simInfo(device, kind);
}
MODLINK_API int MODLINK_CALL GetSavedTelphone(int device) {
    return rq::listPhonebook(device);
}

MODLINK_API int MODLINK_CALL SetTelphone(int device, int index, const char* number,
                                         const char* name) {
    if (!number || !name) return -1;
    return rq::writePhonebookEntry(device, index, text(number), text(name));
}

MODLINK_API int MODLINK_CALL DelTelphone(int device, int index) {
    return rq::deletePhonebookEntry(device, index);
}

MODLINK_API int MODLINK_CALL GetTelphone(int device, int index) {
    return rq::readPhonebookEntry(device, index);
}

MODLINK_API int MODLINK_CALL GetManagerRefusals(void) {
    return modlink::managerRefusals();
}

MODLINK_API int MODLINK_CALL GetCommandCount(int device) {
    auto d = Link::instance().device(device);
    return d ? d->commandCount() : 0;
}

MODLINK_API int MODLINK_CALL GetExistedMessage(int device) {
    return rq::listMessages(device);
}
MODLINK_API int MODLINK_CALL GetSMSMessage(int device, int index) {
    return rq::readMessage(device, index);
}
MODLINK_API int MODLINK_CALL DelSMSMessage(int device, int index) {
    return rq::deleteMessage(device, index);
}
MODLINK_API int MODLINK_CALL SendSMSMessage(const char* number, const char* text) {
    if (!number || !text) return -1;
    return rq::sendMessage(number, text);
}
MODLINK_API int MODLINK_CALL DelMsgInBuff(int sendId) {
    return Link::instance().cancel(sendId) ? 1 : 0;
}
MODLINK_API int MODLINK_CALL AttachPhone(int device) {
    return rq::answer(device);
}
MODLINK_API int MODLINK_CALL UnattachPhone(int device) {
    return rq::hangUp(device);
}
MODLINK_API int MODLINK_CALL DialUp(int device, const char* number) {
    if (!number) return -1;
    return rq::dial(device, number);
}
MODLINK_API int MODLINK_CALL DialExt(int device, const char* digits) {
    if (!digits) return -1;
    return rq::sendTones(device, digits);
}
MODLINK_API int MODLINK_CALL SetVolume(int device, int level) {
    return rq::setVolume(device, level);
}
MODLINK_API int MODLINK_CALL BeginPhone(int device) {
    return rq::audioPath(device);
}
MODLINK_API int MODLINK_CALL EndPhone(int device) {
    return rq::audioPath(device);
}
MODLINK_API int MODLINK_CALL QureyPhoneStatus(int device) {
    return rq::callStatus(device);
}
MODLINK_API int MODLINK_CALL EnterSimPin(int device, const char* pin, const char* newPin) {
    if (!pin) return -1;
    return rq::enterSimPin(device, pin, newPin ? std::optional<std::string>(newPin) : std::nullopt);
}

MODLINK_API int MODLINK_CALL SetStatusReports(int on) {
    rq::setStatusReports(on != 0);
    return 0;
}
MODLINK_API int MODLINK_CALL SendUssd(int device, const char* text) {
    if (!text) return -1;
    return rq::sendUssd(device, text);
}
MODLINK_API int MODLINK_CALL CancelUssd(int device) {
    return rq::cancelUssd(device);
}

}  // extern "C"
