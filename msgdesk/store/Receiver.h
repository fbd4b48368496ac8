#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "device/DeviceLibrary.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "device/ReceivedSms.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Notification.h"
#include "shell/Settings.h"
#include "store/MailboxStore.h"

namespace msgdesk {

// Receiving on the window thread: files the messages the device link read
// from the SIM cards into the InBox or the SIM message cache, deletes SIM
// copies and plays the new-message sound.
//
// Handles UM_SIMRECORD, UM_DELETESIMMESSAGE, UM_SIMMESSAGES (at the frame),
// UM_KEEPRECORD with wParam 1 and UM_NEWMESSAGE.
//
// A received message is saved to the InBox file (synced) before its SIM copy
// may be deleted, so a crash at any moment leaves it in the file or on the
// SIM. If the program dies after the save but before the deletion, the SIM
// listing at the next start finds it again; with SaveInCard 0 a listed
// message equal to an InBox row (number, date, time and text) is then
// deleted from the SIM instead of being kept as a SIM-resident copy, so the
// InBox never holds it twice.
class Receiver final {
public:
    struct Ports {
        // The contact name for a number (GBK); empty when none.
        std::function<std::string(const std::string& number)> lookupName;
        // Posts to the open device dialog, if any (UM_SIMMESSAGES(0, 0)).
        std::function<void(const platform::Message&)> postToDeviceDialog;
        // Plays a wav file asynchronously; unset: platform::PlaySoundAsync.
        std::function<bool(const std::string& path)> playSound;
        // Shows the desktop notification of a new message; unset: none.
        std::function<void(const platform::Notification&)> notify;
    };

    Receiver(platform::MessageLoop& loop, platform::MessageTarget* frame, const DeviceLibrary& lib,
             DeviceTable& devices, PendingCommandTable& pending, MailboxStore& store,
             const Settings& settings, platform::MessageBoxPort& boxes, Ports ports);

    // Runs the handler when the message is one of receiving's; false otherwise.
    bool handleMessage(const platform::Message& m, std::intptr_t* result = nullptr);

    void onSimRecord(const ReceivedSms& sms);
    void deleteSimMessage(int device, int index);
    void onSimMessages(int result, int id);
    void keepRecord(const MessageRecord& rec);
    void onNewMessage(platform::WPARAM w);

    // "sounds/msg.wav" below the current directory, else beside the program;
    // empty when neither exists.
    static std::string soundPath();
    // The InBox record of a received message (Status "NEW").
    MessageRecord inboxRecord(const ReceivedSms& sms) const;
    // Messages seen again by the listing and deleted as already filed.
    int duplicatesDeleted() const { return m_duplicates; }

private:
    void fileNew(const ReceivedSms& sms);
    void onListed(const ReceivedSms& sms);
    void addSimCopy(const ReceivedSms& sms);
    bool inInbox(const MessageRecord& rec) const;
    void post(unsigned msg, platform::WPARAM w, platform::LPARAM l);
    void box(unsigned stringId);

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
    const DeviceLibrary& m_lib;
    DeviceTable& m_devices;
    PendingCommandTable& m_pending;
    MailboxStore& m_store;
    const Settings& m_settings;
    platform::MessageBoxPort& m_boxes;
    Ports m_ports;
    int m_duplicates = 0;
};

}  // namespace msgdesk
