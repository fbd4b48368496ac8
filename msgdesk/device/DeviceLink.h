#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "contacts/SimPhoneEntry.h"
#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "device/RetryQueue.h"
#include "device/RetryRequest.h"
#include "device/WindowMessages.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

class SimPhonebook;

// The main frame's device link: the callback the device library calls, the
// pending requests, the device table, connecting and disconnecting, the
// start-up, signal and SIM-full timers, and the handlers of the phonebook,
// phone and batch-summary messages.
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
    struct BatchCounter {
        int outstanding = 0;  // accepted requests not yet answered OK
        int failed = 0;       // failed answers since the last summary
    };

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
    int simInitCount() const { return m_simInitCount; }
    int signalCursor() const { return m_signalCursor; }
    bool simFullBlinking() const { return m_blinking; }
    const std::string& callerText() const { return m_callerText; }
    const SimPhoneEntry& keptCopy() const { return m_keptCopy; }
    BatchCounter storeBatch() const;
    BatchCounter deleteBatch() const;
    // Failed requests waiting for timer 109 to be made again.
    size_t pendingRetries() const { return m_retries.size(); }
    // The retries of failed requests; receiving retries its deletions here.
    RetryQueue& retries() { return m_retries; }

    // Shared with later parts (receiving, sending, dialogs).
    DeviceTable& devices() { return m_devices; }
    const DeviceTable& devices() const { return m_devices; }
    PendingCommandTable& pending() { return m_pending; }
    std::recursive_mutex& lock() const { return m_devices.lock(); }
    const DeviceLibrary& library() const { return m_lib; }

private:
    enum PollStep { kInfo1 = 1, kInfo2 = 2, kBook = 4, kMessages = 8 };

    // Library thread (DeviceLinkEvents.cpp).
    void onEvent(unsigned event, const char* text, int param);
    void onCentreAnswer(unsigned event, const char* text, int id);
    void onNewMessage(const char* text, int device);
    void onMessageRead(const char* text, int id);
    void onStoredMessage(const char* text, int device);
    void onEntryDeleted(const char* text, int id);
    void onEntryStored(const char* text, int id);
    void onEntryListed(const char* text, int id);
    void onSimInfo(unsigned event, const char* text, int id);
    void post(unsigned msg, platform::WPARAM w, platform::LPARAM l,
              std::shared_ptr<void> payload = nullptr);
    void postRetry(int kind, int rowDevice, std::string text, int failures);

    // Window thread (DeviceLink.cpp, DeviceLinkHandlers.cpp).
    void startupPoll();
    void signalPoll();
    void simFullCheck();
    void stopBlinking();
    void finishDisconnect();
    void onRetryRequest(const RetryRequest& r);
    bool remake(const RetryRequest& r, int failures);
    void giveUpCentre(int device);
    void dropDeviceRows(int device);
    void onBatchFailure(int kind);
    void onDeleteEntry(SimPhoneEntry* e);
    void onStoreEntry(platform::WPARAM flag, SimPhoneEntry* e);
    void onEntryDone(platform::WPARAM w, SimPhoneEntry* e);
    void onPhoneCommand(platform::WPARAM op, const platform::Message& m);
    void onCallNotify(const platform::Message& m);
    void onPhoneResult(const platform::Message& m);
    void onListedEntry(const platform::Message& m);
    void onListingEnded(unsigned msg, int device);
    int box(unsigned stringId, platform::MbIcon icon,
            platform::MbButtons buttons = platform::MbButtons::Ok);
    int boxText(unsigned stringId, std::string text, platform::MbIcon icon);
    platform::MessageTarget* frame() { return m_frame ? m_frame : this; }

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
    platform::MessageTarget* m_sink;
    const DeviceLibrary m_lib;
    SimPhonebook& m_phonebook;
    DeviceLinkPorts& m_ports;
    platform::MessageBoxPort& m_boxes;

    DeviceTable m_devices;  // owns the process-wide lock
    PendingCommandTable m_pending;
    BatchCounter m_stores;   // under the lock
    BatchCounter m_deletes;  // under the lock

    bool m_linkActive = false;
    int m_frameDeviceCount = 0;
    int m_signalCursor = 1;
    int m_simInitCount = -1;
    bool m_blinking = false;
    int m_phase = 1;
    bool m_disconnectPending = false;
    std::vector<std::function<void()>> m_afterDisconnect;
    int m_pollDone[kMaxDevices + 1] = {};
    int m_centreAsks[kMaxDevices + 1] = {};
    RetryQueue m_retries{m_loop, this, TIMER_RETRY};
    SimPhoneEntry m_keptCopy;
    std::string m_callerText;
    // False once the link is destroyed: a done callback of disconnect() may
    // destroy it (the frame's closing work does) before the others ran.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace msgdesk
