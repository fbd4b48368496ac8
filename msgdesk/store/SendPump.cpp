// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SendPump.h"

#include <cstdio>
#include <string>

#include "device/WindowMessages.h"
#include "store/MessageList.h"

namespace msgdesk {

SendPump::SendPump(platform::MessageLoop& loop, platform::MessageTarget* frame,
                   const DeviceLibrary& lib, const DeviceTable& devices, MailboxStore& store,
                   const platform::Clock& clock, const Settings& settings, Ports ports)
    : m_loop(loop),
      m_frame(frame),
      m_lib(lib),
      m_devices(devices),
      m_store(store),
      m_clock(clock),
      m_settings(settings),
      m_ports(std::move(ports)) {}

bool SendPump::handleMessage(const platform::Message& m, std::intptr_t* result) {
    if (result) *result = 0;
    switch (m.msg) {
        case UM_SENDQUEUE:
            pump();
            return true;
        case UM_SENDRESULT:
            onResult(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            return true;
        default:
            return false;
    }
}

int SendPump::attempts(int row) const {
    int n = 0;
    return ParseDecimal(m_store.box(OutBox).row(row).attempts, n) ? n : 0;
}

void SendPump::pump() {
    if (!m_lib.SendSMSMessage || m_sending) return;
    // Sending before every attached device has its SMS centre number would
    // hand messages to a device that cannot send them yet.
    const int count = m_devices.deviceCount();
    for (int d = 1; d <= count; ++d)
        if (!m_devices.removed(d) && !m_devices.simLocked(d) && !m_devices.centreRead(d)) return;

    m_ok = m_failed = m_timedOut = 0;
    m_resendWanted = false;
    Mailbox& out = m_store.box(OutBox);
    m_batchSize = out.size();
    const int limit = m_settings.Resend;
    int handedOver = 0;
    for (int r = 0; r < out.size(); ++r) {
        if (attempts(r) >= limit) {
            m_resendWanted = true;
            --m_batchSize;
            continue;
        }
        const MessageRecord& rec = out.row(r).rec;
        const std::string number = rec.number();
        const std::string text = rec.text();
        const int id = m_lib.SendSMSMessage(number.c_str(), text.c_str());
        if (id == -1) {
            // Refused: waits for the next batch without counting as a failure.
            m_resendWanted = true;
            --m_batchSize;
            continue;
        }
        MessageRecord sent = rec;
        // Status keeps what fits (6 digits) as the file's mark of a message
        // in flight; the full id stays beside the row for the result.
        sent.setStatus(std::to_string(id));
        m_store.ReplaceMessage(sent, OutBox, r);
        out.setSendId(r, id);
        if (m_ports.handedOver) m_ports.handedOver(id);
        ++handedOver;
    }
    // The ids handed over are on disk before the pump returns: after a crash
    // a row still carrying one is sent again, as it may or may not have left.
    if (handedOver > 0) m_store.saveNow(OutBox);
    if (m_batchSize > 0) {
        m_sending = true;
        post(UM_STATUSPANE, PANE_ACTIVITY, 1);
        if (m_ports.startAnimation) m_ports.startAnimation();
    } else {
        m_batchSize = 0;
        m_sending = false;
    }
}

int SendPump::findRow(int sendId) const {
    const Mailbox& out = m_store.box(OutBox);
    for (int r = 0; r < out.size(); ++r)
        if (out.row(r).sendId == sendId) return r;
    return -1;
}

void SendPump::onResult(int code, int sendId) {
    Mailbox& out = m_store.box(OutBox);
    const int row = findRow(sendId);
    const int limit = m_settings.Resend;
    if (code == RESULT_OK) {
        if (row >= 0) {
            const MessageRecord& src = out.row(row).rec;
            MessageRecord rec;
            rec.setNumber(src.number());
            rec.setContact(src.contact());
            rec.setText(src.text());
            const platform::LocalTime t = m_clock.localNow();
            char date[64];
            char time[64];
            std::snprintf(date, sizeof date, "%4ld-%02ld-%02ld", static_cast<long>(t.year),
                          static_cast<long>(t.month), static_cast<long>(t.day));
            // The hour is padded with a blank, not a zero.
            std::snprintf(time, sizeof time, "%2ld:%02ld:%02ld", static_cast<long>(t.hour),
                          static_cast<long>(t.minute), static_cast<long>(t.second));
            rec.setDate(date);
            rec.setTime(time);
            m_store.AppendMessage(rec, SentBox);
            out.removeRows({row});
            // On disk before the handler returns, SentBox first: a crash
            // between the two saves leaves the message in both boxes (sent
            // again at most once), never in neither.
            m_store.saveNow(SentBox);
            if (m_ports.sent) m_ports.sent(sendId, rec);
            m_store.saveNow(OutBox);
            ++m_sentTotal;
            ++m_ok;
        }
    } else if (code == RESULT_TIMEOUT) {
        if (row >= 0) {
            out.setStatus(row, "");
            out.setSendId(row, MailboxRow::kNoSendId);
            out.setAttempts(row, std::to_string(limit));
            out.setIcon(row, kIconTimedOut);
            m_store.saveNow(OutBox);  // no longer in flight
        }
        ++m_timedOut;
    } else {
        // ERROR, and any other answer: a failed attempt, so the batch ends.
        if (row >= 0) {
            out.setStatus(row, "");
            out.setSendId(row, MailboxRow::kNoSendId);
            const int n = attempts(row) + 1;
            out.setAttempts(row, std::to_string(n));
            if (n >= limit) out.setIcon(row, kIconGivenUp);
            m_store.saveNow(OutBox);
        }
        ++m_failed;
    }
    endBatchIfComplete(true);
    post(UM_STATUSPANE, PANE_ACTIVITY, 2);
    post(UM_STATUSPANE, PANE_MAILBOX, 1);
}

void SendPump::endBatchIfComplete(bool pumpNow) {
    if (!m_sending || m_ok + m_failed + m_timedOut < m_batchSize) return;
    m_sending = false;
    if (!m_resendWanted && m_ok >= m_batchSize) return;
    if (pumpNow)
        pump();
    else
        post(UM_SENDQUEUE, 0, 0);
}

void SendPump::clearSendBatch() {
    m_sending = false;
    Mailbox& out = m_store.box(OutBox);
    for (int r = 0; r < out.size(); ++r) out.setSendId(r, MailboxRow::kNoSendId);
}

void SendPump::lowerBatchSize() {
    if (!m_sending) return;
    --m_batchSize;
    // No further result may come for this batch: end it here, and let the
    // next batch start from the frame's queue, not inside the caller's loop.
    endBatchIfComplete(false);
}

void SendPump::resend(const std::vector<int>& outboxRows) {
    Mailbox& out = m_store.box(OutBox);
    for (int r : outboxRows) {
        if (!out.validRow(r)) continue;
        out.setAttempts(r, std::string());
        out.setIcon(r, 0);
    }
    pump();
}

void SendPump::appendComposed(const std::vector<MessageRecord>& rows) {
    if (rows.empty()) return;
    // A batch left without results must not block the new messages.
    if (m_store.box(OutBox).size() == 0) m_sending = false;
    m_store.AppendMessages(rows, OutBox);
    if (m_ports.linkActive && m_ports.linkActive()) {
        m_resendWanted = true;
        post(UM_SENDQUEUE, 0, 0);
    }
}

std::pair<int, int> SendPump::sendTotals() const {
    const Mailbox& out = m_store.box(OutBox);
    const int limit = m_settings.Resend;
    int givenUp = 0;
    for (int r = 0; r < out.size(); ++r)
        if (attempts(r) >= limit) ++givenUp;
    return {m_sentTotal, givenUp};
}

void SendPump::post(unsigned msg, platform::WPARAM w, platform::LPARAM l) {
    m_loop.post(m_frame, platform::Message{msg, w, l, nullptr});
}

}  // namespace msgdesk
