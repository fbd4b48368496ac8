// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "device/DeviceLibrary.h"
#include "device/DeviceTable.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "store/MailboxStore.h"
#include "types/Settings.h"

namespace msgdesk {

// The send pump of the main frame: hands the OutBox rows to SendSMSMessage
// in batches, keeps each send id in the row's Status, and on UM_SENDRESULT
// moves sent rows to the SentBox or counts the failure in the row's
// Attempts until the Resend setting is used up (icon 17; icon 18 after a
// time-out). Window thread only.
//
// Handles UM_SENDQUEUE and UM_SENDRESULT. A result other than OK, ERROR and
// TIMEOUT (code 0) counts as a failed attempt, so the batch still ends.
//
// Durability: a batch's hand-over saves the OutBox (the send ids in Status)
// before pump() returns, and a result saves the SentBox and the OutBox before
// onResult() returns (atomic write and fsync each). So after a crash only a
// message handed to a modem without its result yet can go out twice: its row
// still carries an id and the first batch sends it again.
class SendPump final {
public:
    static constexpr int kIconGivenUp = 17;
    static constexpr int kIconTimedOut = 18;

    struct Ports {
        // The device link is up.
        std::function<bool()> linkActive;
        // Starts the send animation (SendAnimation::start()).
        std::function<void()> startAnimation;
        // A row went to the library with this send id; and the row it became
        // in the SentBox once the send was OK (delivery reports).
        std::function<void(int64_t sendId)> handedOver;
        std::function<void(int64_t sendId, const MessageRecord& sentRow)> sent;
    };

    SendPump(platform::MessageLoop& loop, platform::MessageTarget* frame, const DeviceLibrary& lib,
             const DeviceTable& devices, MailboxStore& store, const platform::Clock& clock,
             const Settings& settings, Ports ports);

    // Runs the handler when the message is one of the pump's; false otherwise.
    bool handleMessage(const platform::Message& m, std::intptr_t* result = nullptr);

    // UM_SENDQUEUE.
    void pump();
    // UM_SENDRESULT.
    void onResult(int code, int sendId);
    // The resend command on these OutBox rows: Attempts and icon cleared,
    // then a batch at once.
    void resend(const std::vector<int>& outboxRows);
    // The compose dialog's rows, one per recipient: appended to the OutBox;
    // an empty OutBox first clears a batch left without results; with the
    // link up a batch is asked for (UM_SENDQUEUE posted).
    void appendComposed(const std::vector<MessageRecord>& rows);

    // A batch is outstanding.
    bool sendBatchRunning() const { return m_sending; }
    // The link closed: no batch is outstanding any more, and the send ids
    // handed out mean nothing to the library now (Status keeps its mark, so
    // the rows are sent again).
    void clearSendBatch();
    // A queued message was taken back (DelMsgInBuff): one result fewer to
    // wait for. When that was the last one, the batch ends.
    void lowerBatchSize();
    // All results of the batch are in (the send animation stops).
    bool batchComplete() const { return m_ok + m_failed + m_timedOut >= m_batchSize; }
    // Messages sent since start, and OutBox rows given up (Attempts at the
    // Resend limit): the result text 60025.
    std::pair<int, int> sendTotals() const;

    int batchSize() const { return m_batchSize; }
    bool resendWanted() const { return m_resendWanted; }
    void setResendWanted(bool v) { m_resendWanted = v; }
    int sentTotal() const { return m_sentTotal; }

private:
    int findRow(int sendId) const;
    int attempts(int row) const;
    void endBatchIfComplete(bool pumpNow);
    void post(unsigned msg, platform::WPARAM w, platform::LPARAM l);

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
    const DeviceLibrary& m_lib;
    const DeviceTable& m_devices;
    MailboxStore& m_store;
    const platform::Clock& m_clock;
    const Settings& m_settings;
    Ports m_ports;

    bool m_sending = false;
    int m_batchSize = 0;
    int m_ok = 0;
    int m_failed = 0;
    int m_timedOut = 0;
    bool m_resendWanted = true;
    int m_sentTotal = 0;
};

}  // namespace msgdesk
