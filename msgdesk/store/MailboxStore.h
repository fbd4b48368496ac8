// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/MessageLoop.h"
#include "store/DeliveryReports.h"
#include "store/LongTexts.h"
#include "store/Mailbox.h"
#include "store/SimMessageCache.h"

namespace msgdesk {

// The five mailboxes, their files and the SIM message cache. Window thread
// only: records from the device link's thread reach it through messages
// posted to the main frame.
//
// Saving: every mailbox is written at the 30-minute timer and at shutdown,
// and also within 2 s of any change of a stored field (changes within those
// 2 s share one save), so a crash loses at most the last two seconds.
class MailboxStore final : public platform::MessageTarget, private MailboxObserver {
public:
    using PostFn = std::function<void(platform::Message)>;

    static constexpr unsigned kTimerPeriodicSave = 1;
    static constexpr unsigned kPeriodicSaveMs = 1800000;
    static constexpr unsigned kTimerChangeSave = 2;
    static constexpr unsigned kChangeSaveMs = 2000;

    // baseDir holds data/ and backup/; postToFrame posts to the main frame.
    MailboxStore(platform::MessageLoop& loop, std::filesystem::path baseDir, PostFn postToFrame);
    ~MailboxStore() override;

    Mailbox& box(MailboxId id) { return *m_boxes[static_cast<size_t>(id)]; }
    const Mailbox& box(MailboxId id) const { return *m_boxes[static_cast<size_t>(id)]; }
    SimMessageCache& simCache() { return m_sim; }
    // The whole texts of the mailbox's joined long messages ("<box>.long").
    LongTexts& longTexts(MailboxId id) { return m_long[static_cast<size_t>(id)]; }
    const LongTexts& longTexts(MailboxId id) const { return m_long[static_cast<size_t>(id)]; }
    // Writes a mailbox's long texts now (atomically, synced).
    bool saveLongTexts(MailboxId id);
    const std::filesystem::path& baseDir() const { return m_base; }
    // The SentBox's delivery reports ("SentBox.reports"), loaded with it.
    DeliveryReports& deliveryReports() { return m_reports; }
    const DeliveryReports& deliveryReports() const { return m_reports; }
    // Writes them now (atomically, synced); false on failure.
    bool saveDeliveryReports();

    // Start of the message list: BackupMailboxes, then the 30-minute timer.
    void start();
    // For each mailbox 0..4: copy its file over the backup, then load it.
    void BackupMailboxes();
    // Saves 0..4 in order; returns how many saves failed.
    int SaveAllMailboxes();
    // End of the message list: stop the timers, empty the SIM cache, save.
    void shutdown();

    // Appends a copy of rec (row icon rec.Icon, Attempts empty) to mailbox
    // 0..4 and posts the count refresh (UM_STATUSPANE 50010, 1); other ids
    // do nothing.
    void AppendMessage(const MessageRecord& rec, int mailbox);
    // As AppendMessage for many records, with one count refresh.
    void AppendMessages(const std::vector<MessageRecord>& recs, int mailbox);
    // Icon 0 and columns 1..6 from rec when row is a row of mailbox.
    void ReplaceMessage(const MessageRecord& rec, int mailbox, int row);
    // Posts UM_STATUSPANE(50010, 1).
    void PostCountRefresh();
    // Writes one mailbox now (atomically, synced to disk) instead of within
    // 2 s: receiving must have a message on disk before its SIM copy goes,
    // and a send result must be on disk before a crash could resend it.
    bool saveNow(MailboxId id) { return save(id); }

    bool dirty(MailboxId id) const { return m_dirty[static_cast<size_t>(id)]; }

    std::intptr_t onMessage(const platform::Message&) override { return 0; }
    void onTimer(unsigned id) override;

private:
    void contentChanged(const Mailbox& box) override;
    bool save(MailboxId id);

    platform::MessageLoop& m_loop;
    std::filesystem::path m_base;
    PostFn m_post;
    std::array<std::unique_ptr<Mailbox>, kMailboxCount> m_boxes;
    std::array<bool, kMailboxCount> m_dirty{};
    SimMessageCache m_sim;
    std::array<LongTexts, kMailboxCount> m_long;
    DeliveryReports m_reports;
};

}  // namespace msgdesk
