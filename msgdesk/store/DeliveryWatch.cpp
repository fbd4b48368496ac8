// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DeliveryWatch.h"

#include "device/WindowMessages.h"

namespace msgdesk {

DeliveryWatch::DeliveryWatch(MailboxStore& store, const platform::Clock& clock,
                             const Settings& settings, const DeviceLibrary& lib)
    : m_store(store), m_clock(clock), m_settings(settings), m_lib(lib) {}

int64_t DeliveryWatch::now() const {
    return platform::localTimeToEpochMs(m_clock.localNow()) / 1000;
}

int DeliveryWatch::sentBoxRow(const LongTexts::Key& key) const {
    const Mailbox& box = m_store.box(SentBox);
    // Newest first: a row sent again later has the same key.
    for (int r = box.size() - 1; r >= 0; --r)
        if (LongTexts::keyOf(box.row(r).rec) == key) return r;
    return -1;
}

void DeliveryWatch::start() {
    auto exists = [this](const LongTexts::Key& k) { return sentBoxRow(k) >= 0; };
    if (m_store.deliveryReports().prune(now(), exists) > 0) m_store.saveDeliveryReports();
}

bool DeliveryWatch::applySetting() {
    if (!m_lib.SetStatusReports) return false;
    m_lib.SetStatusReports(m_settings.StatusReport != 0 ? 1 : 0);
    return true;
}

bool DeliveryWatch::handleMessage(const platform::Message& m) {
    if (m.msg == UM_SENDREFS) {
        const auto* refs = reinterpret_cast<const answers::SendRefs*>(m.lParam);
        if (refs) m_refs[static_cast<int64_t>(m.wParam)] = *refs;
        return true;
    }
    if (m.msg == UM_STATUSREPORT) {
        if (const auto* r = reinterpret_cast<const answers::StatusReport*>(m.lParam)) onReport(*r);
        return true;
    }
    return false;
}

void DeliveryWatch::handedOver(int64_t sendId) {
    // The library encodes at the hand-over, with the setting it was given.
    m_asked[sendId] = m_settings.StatusReport != 0 && m_lib.SetStatusReports != nullptr;
    m_refs.erase(sendId);
}

void DeliveryWatch::sent(int64_t sendId, const MessageRecord& sentRow) {
    auto asked = m_asked.find(sendId);
    auto refs = m_refs.find(sendId);
    const bool track = asked != m_asked.end() && asked->second && refs != m_refs.end();
    if (track) {
        m_store.deliveryReports().track(LongTexts::keyOf(sentRow), refs->second.device,
                                        refs->second.refs, now());
        m_store.saveDeliveryReports();
        const int row = sentBoxRow(LongTexts::keyOf(sentRow));
        if (row >= 0) m_store.box(SentBox).setIcon(row, m_store.box(SentBox).row(row).rec.Icon);
    }
    if (asked != m_asked.end()) m_asked.erase(asked);
    if (refs != m_refs.end()) m_refs.erase(refs);
}

void DeliveryWatch::onReport(const answers::StatusReport& r) {
    auto& reports = m_store.deliveryReports();
    LongTexts::Key key;
    auto outcome = reports.apply(
        r, [this](const LongTexts::Key& k) { return sentBoxRow(k) >= 0; }, &key);
    if (outcome == DeliveryReports::Outcome::Unknown) return;
    m_store.saveDeliveryReports();
    if (outcome != DeliveryReports::Outcome::Matched) return;
    // Drawn again: the list marks the row and the preview shows the state.
    const int row = sentBoxRow(key);
    if (row >= 0) m_store.box(SentBox).setIcon(row, m_store.box(SentBox).row(row).rec.Icon);
}

}  // namespace msgdesk
