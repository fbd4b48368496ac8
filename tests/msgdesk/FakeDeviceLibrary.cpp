// SPDX-License-Identifier: GPL-3.0-or-later
#include "msgdesk/FakeDeviceLibrary.h"

#include <atomic>
#include <cassert>

namespace msgdesk::test {

namespace {
std::atomic<FakeDeviceLibrary*> g_current{nullptr};
using Op = FakeDeviceLibrary::Op;

FakeDeviceLibrary& current() {
    FakeDeviceLibrary* f = g_current.load();
    assert(f && "no FakeDeviceLibrary alive");
    return *f;
}
int rec(Op op, int a = 0, int b = 0, const char* s1 = nullptr, const char* s2 = nullptr) {
    return current().record(op, a, b, s1, s2);
}

int MODLINK_CALL fInitModules() {
    return rec(Op::InitModules);
}
int MODLINK_CALL fRegist(ModlinkCallback cb, void* ctx) {
    return current().registerCallback(cb, ctx);
}
int MODLINK_CALL fGetActiveDeviceCount(int* n) {
    return current().activeDeviceCount(n);
}
int MODLINK_CALL fCloseModules() {
    return rec(Op::CloseModules);
}
int MODLINK_CALL fGetSignal(int d) {
    return rec(Op::GetSignal, d);
}
int MODLINK_CALL fGetGSMCenter(int d) {
    return rec(Op::GetGSMCenter, d);
}
int MODLINK_CALL fSetGSMCenter(int d, const char* n) {
    return rec(Op::SetGSMCenter, d, 0, n);
}
int MODLINK_CALL fGetSimInfo(int d, int k) {
    return rec(Op::GetSimInfo, d, k);
}
int MODLINK_CALL fGetSavedTelphone(int d) {
    return rec(Op::GetSavedTelphone, d);
}
int MODLINK_CALL fGetExistedMessage(int d) {
    return rec(Op::GetExistedMessage, d);
}
int MODLINK_CALL fGetSMSMessage(int d, int i) {
    return rec(Op::GetSMSMessage, d, i);
}
int MODLINK_CALL fDelSMSMessage(int d, int i) {
    return rec(Op::DelSMSMessage, d, i);
}
int MODLINK_CALL fSendSMSMessage(const char* n, const char* t) {
    return rec(Op::SendSMSMessage, 0, 0, n, t);
}
int MODLINK_CALL fDelMsgInBuff(int id) {
    return rec(Op::DelMsgInBuff, id);
}
int MODLINK_CALL fSetTelphone(int d, int i, const char* n, const char* m) {
    return rec(Op::SetTelphone, d, i, n, m);
}
int MODLINK_CALL fDelTelphone(int d, int i) {
    return rec(Op::DelTelphone, d, i);
}
int MODLINK_CALL fAttachPhone(int d) {
    return rec(Op::AttachPhone, d);
}
int MODLINK_CALL fUnattachPhone(int d) {
    return rec(Op::UnattachPhone, d);
}
int MODLINK_CALL fDialUp(int d, const char* n) {
    return rec(Op::DialUp, d, 0, n);
}
int MODLINK_CALL fDialExt(int d, const char* n) {
    return rec(Op::DialExt, d, 0, n);
}
int MODLINK_CALL fSetVolume(int d, int l) {
    return rec(Op::SetVolume, d, l);
}
int MODLINK_CALL fBeginPhone(int d) {
    return rec(Op::BeginPhone, d);
}
int MODLINK_CALL fEndPhone(int d) {
    return rec(Op::EndPhone, d);
}
int MODLINK_CALL fQureyPhoneStatus(int d) {
    return rec(Op::QureyPhoneStatus, d);
}
int MODLINK_CALL fGetCommandCount(int d) {
    return rec(Op::GetCommandCount, d);
}
int MODLINK_CALL fGetTelphone(int d, int i) {
    return rec(Op::GetTelphone, d, i);
}

bool isRequest(Op op) {
    switch (op) {
        case Op::InitModules:
        case Op::RegistCallbackFunction:
        case Op::GetActiveDeviceCount:
        case Op::CloseModules:
        case Op::DelMsgInBuff:
        case Op::BeginPhone:
        case Op::EndPhone:
        case Op::GetCommandCount:
            return false;
        default:
            return true;
    }
}
}  // namespace

FakeDeviceLibrary::FakeDeviceLibrary() {
    FakeDeviceLibrary* expected = nullptr;
    [[maybe_unused]] bool first = g_current.compare_exchange_strong(expected, this);
    assert(first && "only one FakeDeviceLibrary at a time");
    m_default[Op::DelMsgInBuff] = 1;
}

FakeDeviceLibrary::~FakeDeviceLibrary() {
    g_current.store(nullptr);
}

DeviceLibrary FakeDeviceLibrary::tableWithout(std::initializer_list<Op> unbound) const {
    DeviceLibrary t;
    t.InitModules = fInitModules;
    t.RegistCallbackFunction = fRegist;
    t.GetActiveDeviceCount = fGetActiveDeviceCount;
    t.CloseModules = fCloseModules;
    t.GetSignal = fGetSignal;
    t.GetGSMCenter = fGetGSMCenter;
    t.SetGSMCenter = fSetGSMCenter;
    t.GetSimInfo = fGetSimInfo;
    t.GetSavedTelphone = fGetSavedTelphone;
    t.GetExistedMessage = fGetExistedMessage;
    t.GetSMSMessage = fGetSMSMessage;
    t.DelSMSMessage = fDelSMSMessage;
    t.SendSMSMessage = fSendSMSMessage;
    t.DelMsgInBuff = fDelMsgInBuff;
    t.SetTelphone = fSetTelphone;
    t.DelTelphone = fDelTelphone;
    t.AttachPhone = fAttachPhone;
    t.UnattachPhone = fUnattachPhone;
    t.DialUp = fDialUp;
    t.DialExt = fDialExt;
    t.SetVolume = fSetVolume;
    t.BeginPhone = fBeginPhone;
    t.EndPhone = fEndPhone;
    t.QureyPhoneStatus = fQureyPhoneStatus;
    t.GetCommandCount = fGetCommandCount;
    t.GetTelphone = fGetTelphone;
    for (Op op : unbound) {
        switch (op) {
#define ZUNTO_UNBIND(n) \
    case Op::n:         \
        t.n = nullptr;  \
        break;
            ZUNTO_UNBIND(InitModules)
            ZUNTO_UNBIND(RegistCallbackFunction)
            ZUNTO_UNBIND(GetActiveDeviceCount)
            ZUNTO_UNBIND(CloseModules)
            ZUNTO_UNBIND(GetSignal)
            ZUNTO_UNBIND(GetGSMCenter)
            ZUNTO_UNBIND(SetGSMCenter)
            ZUNTO_UNBIND(GetSimInfo)
            ZUNTO_UNBIND(GetSavedTelphone)
            ZUNTO_UNBIND(GetExistedMessage)
            ZUNTO_UNBIND(GetSMSMessage)
            ZUNTO_UNBIND(DelSMSMessage)
            ZUNTO_UNBIND(SendSMSMessage)
            ZUNTO_UNBIND(DelMsgInBuff)
            ZUNTO_UNBIND(SetTelphone)
            ZUNTO_UNBIND(DelTelphone)
            ZUNTO_UNBIND(AttachPhone)
            ZUNTO_UNBIND(UnattachPhone)
            ZUNTO_UNBIND(DialUp)
            ZUNTO_UNBIND(DialExt)
            ZUNTO_UNBIND(SetVolume)
            ZUNTO_UNBIND(BeginPhone)
            ZUNTO_UNBIND(EndPhone)
            ZUNTO_UNBIND(QureyPhoneStatus)
            ZUNTO_UNBIND(GetCommandCount)
            ZUNTO_UNBIND(GetTelphone)
#undef ZUNTO_UNBIND
            case Op::Count:
                break;
        }
    }
    return t;
}

void FakeDeviceLibrary::setResult(Op op, int result) {
    std::lock_guard lk(m_mutex);
    m_default[op] = result;
}

void FakeDeviceLibrary::queueResults(Op op, std::initializer_list<int> results) {
    std::lock_guard lk(m_mutex);
    auto& q = m_queued[op];
    q.insert(q.end(), results.begin(), results.end());
}

void FakeDeviceLibrary::setDeviceCount(int n) {
    std::lock_guard lk(m_mutex);
    m_deviceCount = n;
}

void FakeDeviceLibrary::onCall(Op op, std::function<void(const Call&)> hook) {
    std::lock_guard lk(m_mutex);
    m_hooks[op] = std::move(hook);
}

int FakeDeviceLibrary::resultFor(Op op) {
    int r;
    auto q = m_queued.find(op);
    if (q != m_queued.end() && !q->second.empty()) {
        r = q->second.front();
        q->second.pop_front();
    } else {
        auto d = m_default.find(op);
        r = d != m_default.end() ? d->second : (isRequest(op) ? kAutoId : 0);
    }
    return r == kAutoId ? m_nextId++ : r;
}

int FakeDeviceLibrary::record(Op op, int a, int b, const char* s1, const char* s2) {
    Call c{op, a, b, s1 ? s1 : "", s2 ? s2 : "", 0};
    std::function<void(const Call&)> hook;
    {
        std::lock_guard lk(m_mutex);
        c.result = resultFor(op);
        m_calls.push_back(c);
        if (auto h = m_hooks.find(op); h != m_hooks.end()) hook = h->second;
    }
    if (hook) hook(c);
    return c.result;
}

int FakeDeviceLibrary::registerCallback(ModlinkCallback cb, void* context) {
    {
        std::lock_guard lk(m_mutex);
        m_callback = cb;
        m_context = context;
    }
    return record(Op::RegistCallbackFunction, 0, 0, nullptr, nullptr);
}

int FakeDeviceLibrary::activeDeviceCount(int* out) {
    int r = record(Op::GetActiveDeviceCount, 0, 0, nullptr, nullptr);
    if (r != -1 && out) {
        std::lock_guard lk(m_mutex);
        *out = m_deviceCount;
    }
    return r;
}

std::vector<FakeDeviceLibrary::Call> FakeDeviceLibrary::calls() const {
    std::lock_guard lk(m_mutex);
    return m_calls;
}

std::vector<FakeDeviceLibrary::Call> FakeDeviceLibrary::calls(Op op) const {
    std::lock_guard lk(m_mutex);
    std::vector<Call> out;
    for (auto& c : m_calls)
        if (c.op == op) out.push_back(c);
    return out;
}

int FakeDeviceLibrary::count(Op op) const {
    return static_cast<int>(calls(op).size());
}

void FakeDeviceLibrary::clearCalls() {
    std::lock_guard lk(m_mutex);
    m_calls.clear();
}

int FakeDeviceLibrary::lastResult(Op op) const {
    auto c = calls(op);
    return c.empty() ? -1 : c.back().result;
}

bool FakeDeviceLibrary::fire(unsigned event, const char* text, int param) {
    ModlinkCallback cb;
    void* ctx;
    {
        std::lock_guard lk(m_mutex);
        cb = m_callback;
        ctx = m_context;
    }
    if (!cb) return false;
    cb(event, text, ctx, param);
    return true;
}

bool FakeDeviceLibrary::callbackRegistered() const {
    std::lock_guard lk(m_mutex);
    return m_callback != nullptr;
}

const char* FakeDeviceLibrary::name(Op op) {
    static const char* const kNames[] = {"InitModules",
                                         "RegistCallbackFunction",
                                         "GetActiveDeviceCount",
                                         "CloseModules",
                                         "GetSignal",
                                         "GetGSMCenter",
                                         "SetGSMCenter",
                                         "GetSimInfo",
                                         "GetSavedTelphone",
                                         "GetExistedMessage",
                                         "GetSMSMessage",
                                         "DelSMSMessage",
                                         "SendSMSMessage",
                                         "DelMsgInBuff",
                                         "SetTelphone",
                                         "DelTelphone",
                                         "AttachPhone",
                                         "UnattachPhone",
                                         "DialUp",
                                         "DialExt",
                                         "SetVolume",
                                         "BeginPhone",
                                         "EndPhone",
                                         "QureyPhoneStatus",
                                         "GetCommandCount",
                                         "GetTelphone"};
    const auto i = static_cast<size_t>(op);
    return i < std::size(kNames) ? kNames[i] : "?";
}

}  // namespace msgdesk::test
