// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <climits>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/DeviceLibrary.h"

namespace msgdesk::test {

// A scriptable stand-in for the device library. Each of the 26 operations
// records its call and returns what the test scripted: queued results first,
// then the operation's default. Requests default to fresh command ids
// (1000, 1001, ...). Events are fired into the registered callback, inline
// or from any thread. Only one fake lives at a time: the table's plain
// function pointers reach the current one.
class FakeDeviceLibrary final {
public:
    enum class Op {
        InitModules,
        RegistCallbackFunction,
        GetActiveDeviceCount,
        CloseModules,
        GetSignal,
        GetGSMCenter,
        SetGSMCenter,
        GetSimInfo,
        GetSavedTelphone,
        GetExistedMessage,
        GetSMSMessage,
        DelSMSMessage,
        SendSMSMessage,
        DelMsgInBuff,
        SetTelphone,
        DelTelphone,
        AttachPhone,
        UnattachPhone,
        DialUp,
        DialExt,
        SetVolume,
        BeginPhone,
        EndPhone,
        QureyPhoneStatus,
        GetCommandCount,
        GetTelphone,
        Count
    };
    // A scripted result that stands for "the next fresh command id".
    static constexpr int kAutoId = INT_MIN;

    struct Call {
        Op op;
        int a = 0;  // device, send id or kind ...
        int b = 0;  // second integer argument (index, kind, level)
        std::string s1, s2;
        int result = 0;
    };

    FakeDeviceLibrary();
    ~FakeDeviceLibrary();
    FakeDeviceLibrary(const FakeDeviceLibrary&) = delete;
    FakeDeviceLibrary& operator=(const FakeDeviceLibrary&) = delete;

    // Every slot bound; or every slot but the listed ones.
    DeviceLibrary table() const { return tableWithout({}); }
    DeviceLibrary tableWithout(std::initializer_list<Op> unbound) const;

    void setResult(Op op, int result);
    void queueResults(Op op, std::initializer_list<int> results);
    // What GetActiveDeviceCount writes (unless it returns -1).
    void setDeviceCount(int n);
    // Runs after a call of op was recorded, on the caller's thread.
    void onCall(Op op, std::function<void(const Call&)> hook);

    std::vector<Call> calls() const;
    std::vector<Call> calls(Op op) const;
    int count(Op op) const;
    void clearCalls();
    // Result of the last call of op, or -1 when there was none.
    int lastResult(Op op) const;

    // Calls the registered callback with the registered context; false
    // when nothing is registered.
    bool fire(unsigned event, const char* text, int param);
    bool callbackRegistered() const;

    static const char* name(Op op);

    // Entry points of the table's functions.
    int record(Op op, int a, int b, const char* s1, const char* s2);
    int registerCallback(ModlinkCallback cb, void* context);
    int activeDeviceCount(int* out);

private:
    int resultFor(Op op);

    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    std::map<Op, std::deque<int>> m_queued;
    std::map<Op, int> m_default;
    std::map<Op, std::function<void(const Call&)>> m_hooks;
    int m_nextId = 1000;
    int m_deviceCount = 0;
    ModlinkCallback m_callback = nullptr;
    void* m_context = nullptr;
};

}  // namespace msgdesk::test
