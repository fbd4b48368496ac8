// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "device/DeviceLibrary.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "device/ReceivedSms.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Notification.h"
#include "store/MailboxStore.h"
#include "store/PartAssembly.h"
#include "store/PendingDeleteJournal.h"
#include "types/Settings.h"

namespace msgdesk {

// Receiving on the window thread: files the messages the device link read
// from the SIM cards into the InBox or the SIM message cache, deletes SIM
// copies and plays the new-message sound.
//
// Handles UM_SIMRECORD, UM_DELETESIMMESSAGE, UM_SIMMESSAGES (at the frame),
// UM_KEEPRECORD with wParam KEEP_RECORD or KEEP_LONG_MESSAGE (answering 1
// when the copy is on disk) and UM_NEWMESSAGE.
//
// A received message is saved to the InBox file (synced) before its SIM copy
// may be deleted, so a crash at any moment leaves it in the file or on the
// SIM. With SaveInCard 0 it is then named in the pending-delete journal
// (synced too) until its deletion is confirmed. If the program dies before
// that, the SIM listing at the next start finds it again and deletes it as
// the journal says; every other listed message is kept as a SIM-resident
// copy, even one equal to an InBox row (a copy the user kept on purpose).
//
// A failed deletion is asked again after a growing pause, a bounded number
// of times (Ports::retry). A record read for a device that went away
// meanwhile is not filed into the SIM message cache.
class Receiver final {
public:
    struct Ports {
        // The contact name for a number (GBK); empty when none.
        std::function<std::string(const std::string& number)> lookupName;
        // Posts to the open device dialog, if any (UM_SIMMESSAGES(0, 0)).
        std::function<void(const platform::Message&)> postToDeviceDialog;
        // Plays a wav file asynchronously; unset: platform::PlaySoundAsync.
        std::function<bool(const std::string& path)> playSound;
        // Schedules a failed request again (RetryQueue::schedule); unset:
        // a failed deletion is not asked again.
        std::function<bool(int device, int failures, std::function<bool(int)> attempt)> retry;
        // Shows the desktop notification of a new message; unset: none.
        std::function<void(const platform::Notification&)> notify;
        // Seconds since the epoch; unset: the system clock.
        std::function<std::int64_t()> now;
    };

    // Parts of a long message wait this long for the rest.
    static constexpr std::int64_t kPartsMaxAge = 24 * 3600;

    Receiver(platform::MessageLoop& loop, platform::MessageTarget* frame, const DeviceLibrary& lib,
             DeviceTable& devices, PendingCommandTable& pending, MailboxStore& store,
             const Settings& settings, platform::MessageBoxPort& boxes, Ports ports);

    // Runs the handler when the message is one of receiving's; false otherwise.
    bool handleMessage(const platform::Message& m, std::intptr_t* result = nullptr);

    void onSimRecord(const ReceivedSms& sms);
    void deleteSimMessage(int device, int index, int failures = 0);
    void onSimMessages(int result, int id);
    // Files a kept copy into the InBox and saves it; true when on disk.
    bool keepRecord(const MessageRecord& rec);
    // The same for a joined long message, its whole text into the sidecar
    // first.
    bool keepLongMessage(const MessageRecord& rec, const std::string& whole);
    void onNewMessage(platform::WPARAM w);
    // Files every complete long message waiting in the assembly, and those
    // waiting past kPartsMaxAge (all of them when `all`) as far as they
    // came. Returns how many InBox rows it filed.
    int fileWaitingParts(bool all = false);
    const PartAssembly& parts() const { return m_parts; }

    // "sounds/msg.wav" below the current directory, else beside the program;
    // empty when neither exists.
    static std::string soundPath();
    // The InBox record of a received message (Status "NEW").
    MessageRecord inboxRecord(const ReceivedSms& sms) const;
    // Messages seen again by the listing and deleted as the journal says.
    int duplicatesDeleted() const { return m_duplicates; }
    const PendingDeleteJournal& journal() const { return m_journal; }

private:
    void fileNew(const ReceivedSms& sms, bool attached);
    void filePart(const ReceivedSms& sms, bool attached);
    bool fileGroup(const PartAssembly::Group& g);
    PartAssembly::Part partOf(const ReceivedSms& sms) const;
    std::int64_t now() const;
    // Adds a whole text to the InBox's sidecar and writes it; on failure takes it out again.
    bool saveWholeText(const LongTexts::Key& key, const std::string& whole);
    static PendingDeleteJournal::Entry journalEntry(const ReceivedSms& sms);
    void deleteFiled(const ReceivedSms& sms);
    void onListed(const ReceivedSms& sms);
    void addSimCopy(const ReceivedSms& sms);
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
    PendingDeleteJournal m_journal;
    PartAssembly m_parts;
    // Deletions asked for journal entries, by (device, SIM index).
    std::map<std::pair<int, int>, PendingDeleteJournal::Entry> m_deleting;
    // Retries of deletions wait in the device link's queue, which may
    // outlive this receiver (the store is reopened, the frame closes).
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace msgdesk
