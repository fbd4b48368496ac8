// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <map>

#include "device/DeviceLibrary.h"
#include "device/ReportAnswers.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "store/MailboxStore.h"
#include "types/Settings.h"

namespace msgdesk {

// Delivery reports on the window thread: remembers which sends asked for a
// report and where their parts went (UM_SENDREFS), enters each sent row in
// the SentBox's DeliveryReports once it is OK, and files the reports that
// come back (UM_STATUSREPORT), redrawing the row. Every change of the
// reports is on disk before the handler returns.
class DeliveryWatch final {
public:
    DeliveryWatch(MailboxStore& store, const platform::Clock& clock, const Settings& settings,
                  const DeviceLibrary& lib);

    // Drops the entries whose rows are gone and those pending too long.
    void start();
    bool handleMessage(const platform::Message& m);

    // From the send pump.
    void handedOver(int64_t sendId);
    void sent(int64_t sendId, const MessageRecord& sentRow);

    // The library asks for reports (SetStatusReports) as the setting says;
    // false when it cannot (an older library).
    bool applySetting();

private:
    int64_t now() const;
    int sentBoxRow(const LongTexts::Key& key) const;
    void onReport(const answers::StatusReport& r);

    MailboxStore& m_store;
    const platform::Clock& m_clock;
    const Settings& m_settings;
    const DeviceLibrary& m_lib;
    std::map<int64_t, bool> m_asked;              // send id -> asked for a report
    std::map<int64_t, answers::SendRefs> m_refs;  // send id -> device, references
};

}  // namespace msgdesk
