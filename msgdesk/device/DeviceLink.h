// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/CallRouting.h"
#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "device/PhonebookEdits.h"
#include "device/RetryQueue.h"
#include "device/RetryRequest.h"
#include "device/SignalPoll.h"
#include "device/SimFullCheck.h"
#include "device/SimUnlock.h"
#include "device/StartupPoll.h"
#include "device/WindowMessages.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {

class SimPhonebook;

// The main frame's device link: the callback the device library calls, the
// pending requests, the device table, connecting, disconnecting and removal,
// and the routing of the library's answers and the frame's messages to the
// link's parts: the StartupPoll, the SignalPoll, the SimFullCheck, the
// PhonebookEdits, the CallRouting and the RetryQueue. The link is the target
// of every part's timer and hands each timer to its part.
//
// Threads: OnDeviceEvent runs on library threads. It only parses, changes
// the PendingCommandTable, the DeviceTable (counts, centre numbers and the
// centre-read flag) and the batch counters under the one process-wide lock,
// and posts messages to the frame target. Everything else, including the
// phonebook lists, the listed flags and the SIM initialisation count,
// changes on the window thread when those messages arrive, in event order.
//
// Messages are posted to `frame` (the main frame's core; nullptr: this link
// itself). The frame hands what it receives to handleMessage(); onMessage()
// does the same and passes anything not handled to `sink`.
//
// The owner must disconnect (CloseModules) before destroying the link, so
// the library calls no more callbacks into it.
class DeviceLink final : public platform::MessageTarget {
public:
    using BatchCounter = PhonebookEdits::BatchCounter;

    DeviceLink(platform::MessageLoop& loop, platform::MessageTarget* frame,
               const DeviceLibrary& library, SimPhonebook& phonebook, DeviceLinkPorts& ports,
               platform::MessageBoxPort& boxes, platform::MessageTarget* sink = nullptr);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // The callback registered with RegistCallbackFunction; context is the link.
    static int MODLINK_CALL OnDeviceEvent(unsigned event, const char* text, void* context,
                                          int param);

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;
    // Runs the handler when the message is one of the link's; false otherwise.
    bool handleMessage(const platform::Message& m, std::intptr_t* result = nullptr);

    // Commands 30001 (connect) and 30002 (disconnect by the user).
    bool onCommand(int id);
    bool commandEnabled(int id) const;

    void connect();
    // Asks 60033 when busy and 60001 while a send batch runs, then
    // disconnects and stops the ringing animation.
    void disconnectByUser();
    // Unattaches every device, waits 300 ms on a timer, then closes the link.
    // done runs when it is over (also when a disconnect was already under way).
    void disconnect(std::function<void()> done = {});
    bool disconnectPending() const { return m_disconnectPending; }
    void deviceRemoved(int device);
    // Busy while more than 3 requests per device are outstanding.
    bool isBusy();
    // A double-click on a status bar pane (the frame finds the pane id).
    void onPaneDoubleClick(int pane);
    // Changes a device's SMS centre number: SetGSMCenter, remembering the
    // previous number for a failed answer. The command id, or -1.
    int setCentreNumber(int device, const std::string& number);

    // Window-thread state.
    bool linkActive() const { return m_linkActive; }
    int frameDeviceCount() const { return m_frameDeviceCount; }
    // Devices 1..deviceCount() are attached (removed ones are skipped).
    int deviceCount() const { return m_devices.deviceCount(); }
    bool deviceAttached(int device) const;
    // -1 with no link, 0 once the start-up poll is in its second phase, else
    // the number of SIM message listings still running.
    int simInitCount() const { return m_startup.simInitCount(); }
    int signalCursor() const { return m_signal.cursor(); }
    bool simFullBlinking() const { return m_simFull.blinking(); }
    const std::string& callerText() const { return m_calls.callerText(); }
    const SimPhoneEntry& keptCopy() const { return m_edits.keptCopy(); }
    BatchCounter storeBatch() const { return m_edits.stores(); }
    BatchCounter deleteBatch() const { return m_edits.deletes(); }
    // Failed requests waiting for timer 109 to be made again.
    size_t pendingRetries() const { return m_retries.size(); }
    // The devices whose SIM waits for its PIN.
    const SimUnlock& simUnlock() const { return m_unlock; }
    // The retries of failed requests; receiving retries its deletions here.
    RetryQueue& retries() { return m_retries; }

    // Shared with later parts (receiving, sending, dialogs).
    DeviceTable& devices() { return m_devices; }
    const DeviceTable& devices() const { return m_devices; }
    PendingCommandTable& pending() { return m_pending; }
    std::recursive_mutex& lock() const { return m_devices.lock(); }
    const DeviceLibrary& library() const { return m_lib; }

private:
    // Library thread (DeviceLinkEvents.cpp).
    void onEvent(unsigned event, const char* text, int param);
    void onCentreAnswer(unsigned event, const char* text, int id);
    void onNewMessage(const char* text, int device);
    void onMessageRead(const char* text, int id);
    void onStoredMessage(const char* text, int device);
    void onEntryListed(const char* text, int id);
    void onSimInfo(unsigned event, const char* text, int id);
    void post(unsigned msg, platform::WPARAM w, platform::LPARAM l,
              std::shared_ptr<void> payload = nullptr);
    void postRetry(int kind, int rowDevice, std::string text, int failures);

    // Window thread (DeviceLink.cpp, DeviceLinkRetries.cpp).
    void finishDisconnect();
    void onRetryRequest(const RetryRequest& r);
    bool remake(const RetryRequest& r, int failures);
    void dropDeviceRows(int device);
    void onListedEntry(const platform::Message& m);
    void onListingEnded(unsigned msg, int device);
    platform::MessageTarget* frame() { return m_frame; }

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;  // never null: this link when none was given
    platform::MessageTarget* m_sink;
    const DeviceLibrary m_lib;
    SimPhonebook& m_phonebook;
    DeviceLinkPorts& m_ports;
    platform::MessageBoxPort& m_boxes;

    DeviceTable m_devices;  // owns the process-wide lock
    PendingCommandTable m_pending;

    bool m_linkActive = false;
    int m_frameDeviceCount = 0;
    bool m_disconnectPending = false;
    std::vector<std::function<void()>> m_afterDisconnect;
    StartupPoll m_startup;
    SignalPoll m_signal;
    SimFullCheck m_simFull;
    PhonebookEdits m_edits;
    CallRouting m_calls;
    RetryQueue m_retries{m_loop, this, TIMER_RETRY};
    SimUnlock m_unlock;
    // False once the link is destroyed: a done callback of disconnect() may
    // destroy it (the frame's closing work does) before the others ran.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace msgdesk
