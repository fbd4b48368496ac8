// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MailboxStore.h"

#include "device/WindowMessages.h"
#include "store/MailboxFiles.h"

namespace msgdesk {

MailboxStore::MailboxStore(platform::MessageLoop& loop, std::filesystem::path baseDir,
                           PostFn postToFrame)
    : m_loop(loop), m_base(std::move(baseDir)), m_post(std::move(postToFrame)) {
    for (int i = 0; i < kMailboxCount; ++i) {
        m_boxes[static_cast<size_t>(i)] = std::make_unique<Mailbox>(static_cast<MailboxId>(i));
        m_boxes[static_cast<size_t>(i)]->addObserver(this);
    }
}

MailboxStore::~MailboxStore() {
    m_loop.forget(this);
    for (auto& b : m_boxes) b->removeObserver(this);
}

void MailboxStore::start() {
    BackupMailboxes();
    m_loop.setTimer(this, kTimerPeriodicSave, kPeriodicSaveMs);
}

void MailboxStore::BackupMailboxes() {
    for (int i = 0; i < kMailboxCount; ++i) {
        auto id = static_cast<MailboxId>(i);
        BackupMailbox(m_base, id);
        const std::filesystem::path file = MailboxFilePath(m_base, id);
        m_dirty[static_cast<size_t>(i)] = false;
        // A damaged sidecar is set aside by load(); the rows keep their
        // 160 bytes.
        longTexts(id).load(LongTexts::pathFor(file));
        if (id == SentBox) m_reports.load(DeliveryReports::pathFor(file));
        if (LoadMailbox(file, box(id)) < 0 && SetAsideUnreadable(file)) {
            // The messages that could be read are written to a fresh file at
            // once; the unreadable one stays aside, untouched.
            save(id);
        }
    }
}

bool MailboxStore::saveLongTexts(MailboxId id) {
    return longTexts(id).save(LongTexts::pathFor(MailboxFilePath(m_base, id)));
}

bool MailboxStore::saveDeliveryReports() {
    return m_reports.save(DeliveryReports::pathFor(MailboxFilePath(m_base, SentBox)));
}

bool MailboxStore::save(MailboxId id) {
    bool ok = SaveMailbox(MailboxFilePath(m_base, id), box(id)) >= 0;
    if (ok) {
        // A whole text whose row is gone goes with this save.
        std::vector<LongTexts::Key> keys;
        for (const MailboxRow& r : box(id).rows()) keys.push_back(LongTexts::keyOf(r.rec));
        if (longTexts(id).keepOnly(keys) > 0) saveLongTexts(id);
    }
    // A failed save stays due; the next change or the periodic save retries.
    m_dirty[static_cast<size_t>(id)] = !ok;
    return ok;
}

int MailboxStore::SaveAllMailboxes() {
    int failed = 0;
    for (int i = 0; i < kMailboxCount; ++i)
        if (!save(static_cast<MailboxId>(i))) ++failed;
    return failed;
}

void MailboxStore::shutdown() {
    m_loop.killTimer(this, kTimerPeriodicSave);
    m_loop.killTimer(this, kTimerChangeSave);
    m_sim.RemoveSimMessages(17);
    SaveAllMailboxes();
}

void MailboxStore::AppendMessage(const MessageRecord& rec, int mailbox) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    box(static_cast<MailboxId>(mailbox)).append(rec);
    PostCountRefresh();
}

void MailboxStore::AppendMessages(const std::vector<MessageRecord>& recs, int mailbox) {
    if (mailbox < 0 || mailbox >= kMailboxCount || recs.empty()) return;
    box(static_cast<MailboxId>(mailbox)).append(recs);
    PostCountRefresh();
}

void MailboxStore::ReplaceMessage(const MessageRecord& rec, int mailbox, int row) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    box(static_cast<MailboxId>(mailbox)).replace(row, rec);
}

void MailboxStore::PostCountRefresh() {
    if (m_post) m_post(platform::Message{UM_STATUSPANE, PANE_MAILBOX, 1, nullptr});
}

void MailboxStore::contentChanged(const Mailbox& b) {
    m_dirty[static_cast<size_t>(b.id())] = true;
    // Armed by the first change only: a stream of changes cannot put the
    // save off beyond two seconds.
    if (!m_loop.timerActive(this, kTimerChangeSave))
        m_loop.setTimer(this, kTimerChangeSave, kChangeSaveMs);
}

void MailboxStore::onTimer(unsigned id) {
    if (id == kTimerChangeSave) {
        m_loop.killTimer(this, kTimerChangeSave);
        for (int i = 0; i < kMailboxCount; ++i)
            if (m_dirty[static_cast<size_t>(i)]) save(static_cast<MailboxId>(i));
    } else if (id == kTimerPeriodicSave) {
        SaveAllMailboxes();
    }
}

}  // namespace msgdesk
