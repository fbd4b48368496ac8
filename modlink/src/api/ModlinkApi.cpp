// The C interface: argument checks and hand-over to the link. Requests of
// later features (messages, calls) answer -1 until they exist.
#include <string>

#include "engine/EventSink.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "ops/Requests.h"

using modlink::Link;
namespace rq = modlink::requests;

namespace {
std::string text(const char* s) {
    return s ? std::string(s) : std::string();
}
}  // namespace

extern "C" {

MODLINK_API int MODLINK_CALL InitModules(void) {
    return Link::instance().open();
}

MODLINK_API int MODLINK_CALL RegistCallbackFunction(ModlinkCallback callback, void* context) {
    modlink::EventSink::instance().set(callback, context);
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

MODLINK_API int MODLINK_CALL GetCommandCount(int device) {
    auto d = Link::instance().device(device);
    return d ? d->commandCount() : 0;
}

// Short messages and voice calls come with their own requests.
MODLINK_API int MODLINK_CALL GetExistedMessage(int) {
    return -1;
}
MODLINK_API int MODLINK_CALL GetSMSMessage(int, int) {
    return -1;
}
MODLINK_API int MODLINK_CALL DelSMSMessage(int, int) {
    return -1;
}
MODLINK_API int MODLINK_CALL SendSMSMessage(const char*, const char*) {
    return -1;
}
MODLINK_API int MODLINK_CALL DelMsgInBuff(int sendId) {
    return Link::instance().cancel(sendId) ? 1 : 0;
}
MODLINK_API int MODLINK_CALL AttachPhone(int) {
    return -1;
}
MODLINK_API int MODLINK_CALL UnattachPhone(int) {
    return -1;
}
MODLINK_API int MODLINK_CALL DialUp(int, const char*) {
    return -1;
}
MODLINK_API int MODLINK_CALL DialExt(int, const char*) {
    return -1;
}
MODLINK_API int MODLINK_CALL SetVolume(int, int) {
    return -1;
}
MODLINK_API int MODLINK_CALL BeginPhone(int) {
    return -1;
}
MODLINK_API int MODLINK_CALL EndPhone(int) {
    return -1;
}
MODLINK_API int MODLINK_CALL QureyPhoneStatus(int) {
    return -1;
}

}  // extern "C"
