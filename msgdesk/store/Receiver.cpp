// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Receiver.h"

#include <filesystem>
#include <string_view>

#include "device/WindowMessages.h"
#include "platform/InstallLayout.h"
#include "platform/Sound.h"
#include "res/StringTable.h"
#include "store/CountryCodeLookup.h"
#include "store/KeptLongMessage.h"
#include "store/NewMessageNotice.h"

namespace msgdesk {

namespace {
constexpr unsigned IDS_PROGRAM_ERROR = 60010;
constexpr unsigned IDS_SIM_DELETE_FAILED = 60012;

int leadingDecimal(std::string_view s) {
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        if (v > 100000000) break;
        v = v * 10 + (c - '0');
    }
    return v;
}
}  // namespace

Receiver::Receiver(platform::MessageLoop& loop, platform::MessageTarget* frame,
                   const DeviceLibrary& lib, DeviceTable& devices, PendingCommandTable& pending,
                   MailboxStore& store, const Settings& settings, platform::MessageBoxPort& boxes,
                   Ports ports)
    : m_loop(loop),
      m_frame(frame),
      m_lib(lib),
      m_devices(devices),
      m_pending(pending),
      m_store(store),
      m_settings(settings),
      m_boxes(boxes),
      m_ports(std::move(ports)),
      m_journal(store.baseDir() / "data"),
      m_parts(store.baseDir() / "data") {}

bool Receiver::handleMessage(const platform::Message& m, std::intptr_t* result) {
    if (result) *result = 0;
    switch (m.msg) {
        case UM_SIMRECORD:
            if (auto* sms = reinterpret_cast<const ReceivedSms*>(m.lParam)) onSimRecord(*sms);
            return true;
        case UM_DELETESIMMESSAGE:
            deleteSimMessage(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            return true;
        case UM_SIMMESSAGES:
            onSimMessages(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            return true;
        case UM_KEEPRECORD: {
            bool kept = false;
            if (m.wParam == KEEP_RECORD) {
                if (auto* rec = reinterpret_cast<const MessageRecord*>(m.lParam))
                    kept = keepRecord(*rec);
            } else if (m.wParam == KEEP_LONG_MESSAGE) {
                if (auto* k = reinterpret_cast<const KeptLongMessage*>(m.lParam))
                    kept = keepLongMessage(k->rec, k->whole);
            } else {
                return false;  // KEEP_SIM_ENTRY is the phonebook's kept copy
            }
            if (result) *result = kept ? 1 : 0;
            return true;
        }
        case UM_NEWMESSAGE:
            onNewMessage(m.wParam);
            return true;
        default:
            return false;
    }
}

MessageRecord Receiver::inboxRecord(const ReceivedSms& sms) const {
    MessageRecord rec;
    rec.setNumber(sms.number);
    if (m_ports.lookupName)
        rec.setContact(lookupNameWithCountryCode(sms.number, m_ports.lookupName));
    rec.setText(sms.body);
    rec.setDate(sms.date);
    rec.setTime(sms.time);
    rec.setStatus("NEW");
    return rec;
}

void Receiver::onSimRecord(const ReceivedSms& sms) {
    // The device went away (removed, or the link closed) while the record
    // was on its way: its SIM copy is no longer known to be anywhere.
    const bool attached = m_devices.attached(sms.device);
    if (sms.fromSimListing) {
        if (attached) onListed(sms);
    } else {
        fileNew(sms, attached);
    }
}

PendingDeleteJournal::Entry Receiver::journalEntry(const ReceivedSms& sms) {
    return PendingDeleteJournal::Entry{sms.number, sms.date, sms.time, sms.body};
}

void Receiver::fileNew(const ReceivedSms& sms, bool attached) {
    // An empty answer files nothing; deleting the SIM copy then could only
    // lose a message that was not read, so it stays.
    if (!sms.hasText) return;
    if (sms.partTotal > 1) {
        filePart(sms, attached);
        return;
    }
    const MessageRecord rec = inboxRecord(sms);
    // A text whose stored form passes the Text field (many four-byte
    // characters) has its whole on disk beside the mailbox first, as a
    // joined long message does; should that fail, the SIM copy stays.
    const bool whole = sms.body == rec.text() || saveWholeText(LongTexts::keyOf(rec), sms.body);
    m_store.AppendMessage(rec, InBox);
    const bool onDisk = m_store.saveNow(InBox) && whole;
    if (m_ports.notify) m_ports.notify(NewMessageNotice(rec));
    post(UM_NEWMESSAGE, 0, 0);
    post(UM_STATUSPANE, PANE_MAILBOX, 1);
    if (m_settings.SaveInCard == 0 && onDisk) {
        // On disk first, then named for deletion: a crash in between keeps
        // the SIM copy, never loses the message.
        m_journal.add(journalEntry(sms));
        // A message read for a device that went away is filed all the same;
        // the journal deletes its SIM copy when the device is listed again.
        if (attached) deleteFiled(sms);
    } else if (attached) {
        addSimCopy(sms);  // kept by the setting, or because the save failed
    }
    post(UM_STATUSPANE, PANE_ACTIVITY, 226);
}

void Receiver::deleteFiled(const ReceivedSms& sms) {
    m_deleting[{sms.device, sms.simIndex}] = journalEntry(sms);
    post(UM_DELETESIMMESSAGE, static_cast<platform::WPARAM>(sms.device), sms.simIndex);
}

void Receiver::onListed(const ReceivedSms& sms) {
    if (!sms.hasText) return;
    if (sms.partTotal > 1 && m_settings.SaveInCard == 0 && m_parts.contains(partOf(sms)) &&
        !m_journal.contains(journalEntry(sms))) {
        // Stored in the assembly, then the program stopped before naming
        // it for deletion: it is kept there, so its SIM copy goes.
        m_journal.add(journalEntry(sms));
    }
    if (m_journal.contains(journalEntry(sms))) {
        // Filed before the program stopped, deletion never confirmed.
        ++m_duplicates;
        deleteFiled(sms);
        return;
    }
    addSimCopy(sms);
}

void Receiver::addSimCopy(const ReceivedSms& sms) {
    if (!sms.hasText) return;
    MessageRecord rec = inboxRecord(sms);
    rec.Icon = sms.device;
    rec.setStatus(std::to_string(sms.simIndex) + "/" + std::to_string(sms.device));
    SimMessageCache::PartTag tag;
    // A part keeps its body for joining; a whole message too when its Text
    // cannot hold it.
    if (sms.partTotal > 1 || sms.body != rec.text())
        tag = {sms.partRef, sms.partNo, sms.partTotal, sms.body};
    if (!m_store.simCache().AddSimMessage(rec, std::move(tag))) return;  // device outside 1..16
    m_devices.addMessageCount(sms.device, 1);
    if (m_ports.postToDeviceDialog)
        m_ports.postToDeviceDialog(platform::Message{UM_SIMMESSAGES, 0, 0, nullptr});
}

void Receiver::deleteSimMessage(int device, int index, int failures) {
    if (!m_lib.DelSMSMessage) {
        box(IDS_PROGRAM_ERROR);
        return;
    }
    const int id = m_lib.DelSMSMessage(device, index);
    if (id == -1) {
        box(IDS_SIM_DELETE_FAILED);
        return;
    }
    // The answer is looked up on this thread (UM_SIMMESSAGES), so it cannot
    // miss the row even when it comes before this line runs.
    m_pending.addRetry(id, device, std::to_string(index), failures);
}

void Receiver::onSimMessages(int result, int id) {
    auto row = m_pending.find(id);
    if (result == RESULT_OK) {
        if (row && m_store.simCache().RemoveSimMessageByKey(row->text + "/" +
                                                            std::to_string(row->device))) {
            std::lock_guard g(m_devices.lock());
            m_devices.addMessageCount(row->device, -1);
        }
        if (row) {
            auto it = m_deleting.find({row->device, leadingDecimal(row->text)});
            if (it != m_deleting.end()) {
                m_journal.remove(it->second);
                m_deleting.erase(it);
            }
        }
        m_loop.send(m_frame, platform::Message{UM_STATUSPANE, PANE_MAILBOX, 1, nullptr});
        if (m_ports.postToDeviceDialog)
            m_ports.postToDeviceDialog(platform::Message{UM_SIMMESSAGES, 0, 0, nullptr});
    } else if (result == RESULT_ERROR && row && m_ports.retry) {
        // Asked again after a growing pause, a bounded number of times; a
        // journal entry given up on deletes the message at the next listing.
        const int device = row->device;
        const int index = leadingDecimal(row->text);
        std::weak_ptr<bool> alive = m_alive;
        m_ports.retry(device, row->failures + 1, [this, alive, device, index](int failures) {
            if (alive.expired()) return true;
            deleteSimMessage(device, index, failures);
            return true;  // a refusal is reported (60012), not retried
        });
    }
    m_pending.remove(id);
}

bool Receiver::keepRecord(const MessageRecord& rec) {
    m_store.AppendMessage(rec, InBox);
    // The dialogs delete the SIM copy next: have the kept one on disk first.
    return m_store.saveNow(InBox);
}

bool Receiver::keepLongMessage(const MessageRecord& rec, const std::string& whole) {
    if (whole == rec.text()) return keepRecord(rec);
    // The whole text on disk before its row, as when parts are joined: the
    // row never stands on disk without the rest of its text.
    return saveWholeText(LongTexts::keyOf(rec), whole) && keepRecord(rec);
}

bool Receiver::saveWholeText(const LongTexts::Key& key, const std::string& whole) {
    LongTexts& side = m_store.longTexts(InBox);
    side.add(key, whole);
    if (m_store.saveLongTexts(InBox)) return true;
    side.take(key, whole);
    return false;
}

void Receiver::onNewMessage(platform::WPARAM w) {
    if (w != 0 || m_settings.Sound != 0) return;
    const std::string path = soundPath();
    if (path.empty()) return;
    if (m_ports.playSound)
        m_ports.playSound(path);
    else
        platform::PlaySoundAsync(path);
}

std::string Receiver::soundPath() {
    std::error_code ec;
    const std::filesystem::path here = "sounds/msg.wav";
    if (std::filesystem::exists(here, ec)) return here.string();
    const std::filesystem::path beside =
        std::filesystem::path(platform::resourceDir()) / "sounds" / "msg.wav";
    if (std::filesystem::exists(beside, ec)) return beside.string();
    return {};
}

void Receiver::post(unsigned msg, platform::WPARAM w, platform::LPARAM l) {
    m_loop.post(m_frame, platform::Message{msg, w, l, nullptr});
}

void Receiver::box(unsigned stringId) {
    platform::MessageBoxRequest r;
    r.stringId = stringId;
    r.text = LoadStr(stringId);
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = platform::MbIcon::Exclamation;
    m_boxes.show(r);
}

}  // namespace msgdesk
