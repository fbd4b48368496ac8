// SPDX-License-Identifier: GPL-3.0-or-later
// The device callback: runs on the library's threads. It parses, changes the
// lock-guarded tables and posts; everything else waits for the window thread.
#include <string>

#include "device/DeviceAnswers.h"
#include "device/DeviceLink.h"
#include "device/ReceivedSms.h"
#include "device/ReportAnswers.h"
#include "device/UssdEvent.h"

namespace msgdesk {

namespace {
bool validDevice(int d) {
    return d >= 1 && d <= kMaxDevices;
}

template <class T>
platform::LPARAM ptr(const std::shared_ptr<T>& p) {
    return reinterpret_cast<platform::LPARAM>(p.get());
}
}  // namespace

int MODLINK_CALL DeviceLink::OnDeviceEvent(unsigned event, const char* text, void* context,
                                           int param) {
    if (context) static_cast<DeviceLink*>(context)->onEvent(event, text, param);
    return 0;
}

void DeviceLink::post(unsigned msg, platform::WPARAM w, platform::LPARAM l,
                      std::shared_ptr<void> payload) {
    m_loop.post(frame(), platform::Message{msg, w, l, std::move(payload)});
}

void DeviceLink::onEvent(unsigned event, const char* text, int param) {
    switch (event) {
        case MODLINK_EV_UNPLUGGED:
            post(UM_DEVICEREMOVED, 0, param);
            break;
        case MODLINK_EV_SIGNAL:
            if (auto v = answers::signalLevel(text); v && validDevice(param))
                post(UM_STATUSPANE, PANE_SIGNAL, param * 32 + *v);
            break;
        case MODLINK_EV_SET_CENTER:
        case MODLINK_EV_GET_CENTER:
            onCentreAnswer(event, text, param);
            break;
        case MODLINK_EV_NEW_MESSAGE:
            onNewMessage(text, param);
            break;
        case MODLINK_EV_SEND:
            post(UM_SENDRESULT, static_cast<platform::WPARAM>(answers::sendResultCode(text)),
                 param);
            break;
        case MODLINK_EV_READ_MESSAGE:
            onMessageRead(text, param);
            break;
        case MODLINK_EV_DELETE_MESSAGE:
            post(UM_SIMMESSAGES, answers::isOk(text) ? RESULT_OK : RESULT_ERROR, param);
            break;
        case MODLINK_EV_STORED_MESSAGE:
            onStoredMessage(text, param);
            break;
        case MODLINK_EV_DEL_ENTRY:
            m_edits.onEntryDeleted(text, param);
            break;
        case MODLINK_EV_SET_ENTRY:
            m_edits.onEntryStored(text, param);
            break;
        case MODLINK_EV_ENTRY:
            onEntryListed(text, param);
            break;
        case MODLINK_EV_INCOMING_CALL: {
            // The caller text travels with the notice and becomes the
            // frame's caller text on the window thread.
            auto caller = std::make_shared<std::string>(text ? text : "");
            post(UM_CALLNOTIFY, static_cast<platform::WPARAM>(param), 0, caller);
            break;
        }
        case MODLINK_EV_CALL_ENDED:
            post(UM_CALLNOTIFY, static_cast<platform::WPARAM>(param + kMaxDevices), 0);
            break;
        case MODLINK_EV_DIAL:
            post(UM_PHONERESULT, 1, answers::phoneResultCode(text));
            break;
        case MODLINK_EV_DIAL_EXT:
            post(UM_PHONERESULT, 2, answers::phoneResultCode(text));
            break;
        case MODLINK_EV_ATTACH:
            post(UM_PHONERESULT, 161, answers::phoneResultCode(text));
            break;
        case MODLINK_EV_UNATTACH:
            post(UM_PHONERESULT, 162, answers::phoneResultCode(text));
            break;
        case MODLINK_EV_VOLUME:
            post(UM_PHONERESULT, 225, answers::phoneResultCode(text));
            break;
        case MODLINK_EV_CALL_STATUS:
            post(UM_PHONERESULT, 226, answers::callStatusCode(text));
            break;
        case MODLINK_EV_SEND_REFS:
            if (auto refs = answers::sendRefs(text)) {
                auto p = std::make_shared<answers::SendRefs>(std::move(*refs));
                post(UM_SENDREFS, static_cast<platform::WPARAM>(param), ptr(p), p);
            }
            break;
        case MODLINK_EV_STATUS_REPORT:
            if (auto r = answers::statusReport(text, param)) {
                auto p = std::make_shared<answers::StatusReport>(std::move(*r));
                post(UM_STATUSREPORT, 0, ptr(p), p);
            }
            break;
        case MODLINK_EV_USSD:
        case MODLINK_EV_USSD_CANCEL: {
            auto p = std::make_shared<UssdEvent>();
            p->id = param;
            p->text = text ? text : "";
            post(UM_USSDANSWER, event == MODLINK_EV_USSD ? 0 : 1, ptr(p), p);
            break;
        }
        case MODLINK_EV_PHONEBOOK_INFO:
        case MODLINK_EV_MESSAGE_INFO:
            onSimInfo(event, text, param);
            break;
        case MODLINK_EV_SIM_STATE:
            if (!validDevice(param) || !text) break;
            // At once, so no poll asks the device meanwhile.
            m_devices.setSimLocked(param, true);
            post(UM_SIMLOCKED, static_cast<platform::WPARAM>(param), 0,
                 std::make_shared<std::string>(text));
            break;
        case MODLINK_EV_ENTER_PIN:
            post(UM_SIMPINDONE, static_cast<platform::WPARAM>(param), 0,
                 std::make_shared<std::string>(text ? text : ""));
            break;
        default:
            break;
    }
}

void DeviceLink::onCentreAnswer(unsigned event, const char* text, int id) {
    std::lock_guard g(lock());
    auto row = m_pending.find(id);
    if (!row) return;
    if (event == MODLINK_EV_SET_CENTER) {
        if (!answers::isOk(text)) {
            m_devices.setCentreNumber(row->device, row->text);
            post(UM_BATCHFAILURE, BATCH_CENTRE, 0);
        } else {
            m_devices.setCentreUnknown(row->device, false);
        }
    } else if (!answers::isError(text)) {
        // Also a late answer for a centre the start-up poll gave up on.
        m_devices.setCentreNumber(row->device, text ? text : "");
        m_devices.setCentreRead(row->device, true);
        m_devices.setCentreUnknown(row->device, false);
    }
    m_pending.remove(id);
}

void DeviceLink::onNewMessage(const char* text, int device) {
    if (!m_lib.GetSMSMessage || !text || !validDevice(device)) return;
    const int n = answers::leadingDecimal(text);
    int id = m_lib.GetSMSMessage(device, n);
    if (id == -1) id = m_lib.GetSMSMessage(device, n);
    if (id == -1) return;
    m_pending.add(id, device, text);
    post(UM_STATUSPANE, PANE_ACTIVITY, 225);
}

void DeviceLink::onMessageRead(const char* text, int id) {
    if (!m_lib.GetSMSMessage) return;
    auto row = m_pending.find(id);
    if (!row) return;
    const int n = answers::leadingDecimal(row->text);
    const bool listing = row->device > kMaxDevices;
    const int device = listing ? row->device - kMaxDevices : row->device;
    if (!answers::isError(text)) {
        auto sms = std::make_shared<ReceivedSms>();
        sms->device = device;
        sms->simIndex = n;
        sms->fromSimListing = listing;
        if (text) {
            auto f = answers::smsText(text, listing);
            sms->number = std::move(f.number);
            sms->date = std::move(f.date);
            sms->time = std::move(f.time);
            sms->body = std::move(f.body);
            sms->partRef = f.partRef;
            sms->partNo = f.partNo;
            sms->partTotal = f.partTotal;
        }
        sms->hasText = text && *text;
        post(UM_SIMRECORD, 0, ptr(sms), sms);
        m_pending.remove(id);
        return;
    }
    // Asked again at once, a position the modem cannot read (empty, or a
    // PDU it cannot decode) would be read thousands of times a second: the
    // window thread asks again after a growing pause, a bounded number of times.
    m_pending.remove(id);
    if (answers::isSimLockError(text)) return;  // listed again once unlocked
    postRetry(RetryRequest::Read, row->device, row->text, row->failures + 1);
}

void DeviceLink::postRetry(int kind, int rowDevice, std::string text, int failures) {
    auto r = std::make_shared<RetryRequest>();
    r->kind = static_cast<RetryRequest::Kind>(kind);
    r->rowDevice = rowDevice;
    r->text = std::move(text);
    r->failures = failures;
    post(UM_RETRYREQUEST, 0, ptr(r), r);
}

void DeviceLink::onStoredMessage(const char* text, int device) {
    if (!m_lib.GetSMSMessage || !validDevice(device)) return;
    if (!text) {
        post(UM_MESSAGESLISTED, 0, device);
        return;
    }
    if (answers::isError(text)) return;
    const int n = answers::leadingDecimal(text);
    const int id = m_lib.GetSMSMessage(device, n);
    if (id == -1) {
        // Never spin on the library's thread: the window thread retries
        // on a timer, a bounded number of times.
        postRetry(RetryRequest::Read, device + kMaxDevices, text, 1);
        return;
    }
    m_pending.add(id, device + kMaxDevices, text);
}

void DeviceLink::onEntryListed(const char* text, int id) {
    auto row = m_pending.find(id);
    if (!row) return;
    if (!text) {
        m_pending.remove(id);
        post(UM_PHONEBOOKLISTED, 0, row->device);
        return;
    }
    if (answers::isError(text)) return;
    const int d = row->device;
    if (d < 1 || d > m_devices.deviceCount()) return;
    auto f = answers::phonebookEntry(text);
    if (!f) return;  // not three quoted fields: nothing to list
    auto e = std::make_shared<SimPhoneEntry>();
    e->device = d;
    e->index = f->index;
    e->setNumber(f->number);
    e->setName(f->name);
    post(UM_SIMENTRYLISTED, 0, ptr(e), e);
    m_devices.raisePhonebookUsedBelowCapacity(d);
}

void DeviceLink::onSimInfo(unsigned event, const char* text, int id) {
    const bool book = event == MODLINK_EV_PHONEBOOK_INFO;
    auto row = m_pending.find(id);
    if (!row) return;
    if (answers::isSimLockError(text)) {
        // Asked again when the SIM is unlocked.
    } else if (answers::isError(text)) {
        // An absent or locked SIM answers every time: asked again later.
        if (m_lib.GetSimInfo)
            postRetry(book ? RetryRequest::PhonebookInfo : RetryRequest::MessageInfo, row->device,
                      "NULL", row->failures + 1);
    } else if (validDevice(row->device) && text) {
        if (auto cap = answers::simInfoCapacity(text, book ? '-' : '/')) {
            if (book)
                m_devices.setPhonebookCapacity(row->device, *cap);
            else
                m_devices.setMessageCapacity(row->device, *cap);
        }
    }
    m_pending.remove(id);
}

}  // namespace msgdesk
