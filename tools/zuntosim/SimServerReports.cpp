// SPDX-License-Identifier: GPL-3.0-or-later
// The network's status reports (3GPP TS 23.040 9.2.2.3) for submits with
// TP-SRR, routed as +CNMI's <ds> asks (27.005 3.4.1): 1 as +CDS with the
// PDU, 2 stored on the SIM and announced with +CDSI, 0 not at all.
#include <ctime>

#include "SimServer.h"
#include "SimSms.h"
#include "smspdu/SmsPdu.h"

namespace zuntosim {

using namespace std::chrono;

namespace {

constexpr int kDelivered = 0x00;
constexpr int kIncompatibleDestination = 0x41;

modlink::pdu::Timestamp stampOf(system_clock::time_point t) {
    std::time_t tt = system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return {tm.tm_year % 100,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(tm.tm_gmtoff / 900)};
}

// The <ds> of the last AT+CNMI=<mode>,<mt>,<bm>,<ds>,<bfr>.
int reportRouting(const std::string& cnmi) {
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        pos = cnmi.find(',', pos);
        if (pos == std::string::npos) return 0;
        ++pos;
    }
    return std::atoi(cnmi.c_str() + pos);
}

}  // namespace

void SimServer::scheduleReport(Modem& m, const std::string& pduHex, int reference) {
    auto msg = modlink::pdu::decodePdu(pduHex);
    if (!msg || !msg->statusReportRequested) return;
    auto outcome = m.state.reportOutcome;
    if (outcome == ModemState::ReportOutcome::None) {
        log(m.number, "report", "none for reference " + std::to_string(reference));
        return;
    }
    DueReport r;
    r.at = steady_clock::now() + milliseconds(m_reportDelayMs);
    r.reference = reference;
    r.number = msg->address.number;
    r.status =
        outcome == ModemState::ReportOutcome::Delivered ? kDelivered : kIncompatibleDestination;
    r.submitted = system_clock::now();
    m.reports.push_back(std::move(r));
}

void SimServer::reportsDue(steady_clock::time_point now, int& timeout) {
    for (auto& mp : m_modems) {
        Modem& m = *mp;
        if (m.unplugged) {
            m.reports.clear();
            continue;
        }
        // Not into a prompt or a data call: tried again shortly.
        bool hold = m.promptLength >= 0 || m.dataPid > 0 || m.dialling;
        while (!hold && !m.reports.empty() && m.reports.front().at <= now) {
            DueReport r = m.reports.front();
            m.reports.erase(m.reports.begin());
            deliverReport(m, r);
        }
        if (m.reports.empty()) continue;
        auto left = hold ? 100 : duration_cast<milliseconds>(m.reports.front().at - now).count();
        int ms = static_cast<int>(std::max<long long>(0, left));
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
}

void SimServer::deliverReport(Modem& m, const DueReport& r) {
    const int ds = reportRouting(m.state.cnmi);
    if (ds != 1 && ds != 2) {
        log(m.number, "report", "discarded: AT+CNMI asks for none");
        return;
    }
    modlink::pdu::StatusReportRequest rq;
    rq.reference = static_cast<std::uint8_t>(r.reference);
    rq.number = r.number;
    rq.status = static_cast<std::uint8_t>(r.status);
    rq.timestamp = stampOf(r.submitted);
    rq.discharge = stampOf(system_clock::now());
    rq.smsc = kDeliveringCentre;
    auto pdu = modlink::pdu::encodeStatusReport(rq);
    if (!pdu) {
        log(m.number, "report", "cannot encode: " + pdu.error());
        return;
    }
    std::string bytes;
    if (ds == 1) {
        bytes = "\r\n+CDS: " + std::to_string(tpduLength(*pdu)) + "\r\n" + *pdu + "\r\n";
    } else {
        auto index = storeMessages(m.state, {*pdu});
        if (index.empty()) {
            log(m.number, "report", "discarded: SIM full");
            return;
        }
        bytes = "\r\n+CDSI: \"SM\"," + std::to_string(index[0]) + "\r\n";
    }
    // An indication is not sent into the middle of a delayed reply.
    if (m.busy)
        m.dueBytes += bytes;
    else
        send(m, bytes);
}

std::string SimServer::reportControl(Modem& m, const std::vector<std::string>& w) {
    using O = ModemState::ReportOutcome;
    if (w.size() != 3) return "ERROR usage: report D delivered|failed|none";
    if (w[2] == "delivered")
        m.state.reportOutcome = O::Delivered;
    else if (w[2] == "failed")
        m.state.reportOutcome = O::Failed;
    else if (w[2] == "none")
        m.state.reportOutcome = O::None;
    else
        return "ERROR usage: report D delivered|failed|none";
    return "OK";
}

}  // namespace zuntosim
