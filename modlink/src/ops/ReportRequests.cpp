// SPDX-License-Identifier: LGPL-2.1-or-later
// Status reports (3GPP TS 23.040 9.2.2.3, 27.005 3.4.1): the references of
// sent parts, and the reports the network sends back for them.
#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/AtText.h"
#include "at/CdsParser.h"
#include "at/CmglParser.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "smspdu/SmsPdu.h"

namespace modlink::requests {

namespace {

// Reads the report stored at index, reports it and frees its position; a
// position that holds a message after all is left alone for the listing.
void readStoredReport(int device, int index) {
    Link::instance().submit(
        device,
        [index](AtChannel& ch, DeviceState&, int) {
            auto r = ch.execute(command("AT+CMGR=" + std::to_string(index)));
            auto p = r.ok() ? at::parseCmgr(r.lines) : std::nullopt;
            if (!p) {
                Trace::instance().note(ch.device(), "stored report " + std::to_string(index) +
                                                        " unreadable: " + errorText(r));
                return;
            }
            pdu::DecodeOptions o;
            if (p->length >= 0) o.tpduLength = static_cast<std::size_t>(p->length);
            auto m = pdu::decodePdu(p->pdu, o);
            if (!m || m->type != pdu::MessageType::StatusReport) {
                Trace::instance().note(ch.device(), "+CDSI " + std::to_string(index) +
                                                        " holds no status report; kept");
                return;
            }
            emitStatusReport(*m, ch.device());
            ch.execute(command("AT+CMGD=" + std::to_string(index)));
        },
        nullptr);
}

}  // namespace

std::optional<int> sentReference(const at::AtReply& reply) {
    for (const auto& line : reply.lines) {
        if (!at::startsWithNoCase(line, "+CMGS:") && !at::startsWithNoCase(line, "+CMSS:"))
            continue;
        auto f = at::splitFields(at::afterColon(line));
        if (f.empty()) return std::nullopt;
        auto mr = at::parseInt(f[0].text);
        if (!mr || *mr < 0 || *mr > 255) return std::nullopt;
        return mr;
    }
    return std::nullopt;
}

void emitStatusReport(const pdu::SmsMessage& report, int device) {
    emit(MODLINK_EV_STATUS_REPORT, pdu::statusReportText(report), device);
}

void installStatusReportIndications() {
    Link::instance().addRouterSetup([](DeviceWorker& w) {
        DeviceWorker* worker = &w;
        w.router().add("+CDS:", 1, [worker](const std::vector<std::string>& lines) {
            auto cds = at::parseCds(lines);
            if (!cds) return Trace::instance().note(worker->device(), "malformed +CDS dropped");
            pdu::DecodeOptions o;
            o.tpduLength = static_cast<std::size_t>(cds->length);
            auto m = pdu::decodePdu(cds->pdu, o);
            if (!m || m->type != pdu::MessageType::StatusReport)
                return Trace::instance().note(worker->device(), "+CDS without a status report");
            emitStatusReport(*m, worker->device());
        });
        w.router().add("+CDSI:", 0, [worker](const std::vector<std::string>& lines) {
            if (auto index = at::parseCdsi(lines.front()))
                readStoredReport(worker->device(), *index);
            else
                Trace::instance().note(worker->device(), "malformed +CDSI dropped");
        });
    });
}

}  // namespace modlink::requests
