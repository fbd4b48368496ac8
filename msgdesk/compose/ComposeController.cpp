// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ComposeController.h"

#include <cstdio>

#include "compose/ComposeIds.h"

namespace msgdesk {

std::string ComposeDate(const platform::LocalTime& t, bool zeroPadYear) {
    char b[64];
    std::snprintf(b, sizeof b, zeroPadYear ? "%04ld-%02ld-%02ld" : "%4ld-%02ld-%02ld",
                  static_cast<long>(t.year), static_cast<long>(t.month), static_cast<long>(t.day));
    return b;
}

std::string ComposeTime(const platform::LocalTime& t) {
    char b[64];
    std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld", static_cast<long>(t.hour),
                  static_cast<long>(t.minute), static_cast<long>(t.second));
    return b;
}

ComposeController::ComposeController(const ContactBook& book, const SimPhonebook& sims,
                                     MailboxStore& store, const platform::Clock& clock,
                                     platform::MessageBoxPort& messageBox, Ports ports)
    : m_book(book),
      m_sims(sims),
      m_store(store),
      m_clock(clock),
      m_messageBox(messageBox),
      m_ports(std::move(ports)) {}

void ComposeController::onCompose(const platform::Message& m) {
    compose(ReadComposeRequest(m));
}

std::vector<MessageRecord> ComposeController::rowsOf(const ComposeSession& s, bool draft,
                                                     const platform::LocalTime& now) {
    const std::string date = ComposeDate(now, draft);
    const std::string time = ComposeTime(now);
    const auto& numbers = s.model().resultNumbers();
    const auto& names = s.model().resultNames();
    std::vector<MessageRecord> rows;
    for (size_t i = 0; i < numbers.size(); ++i) {
        MessageRecord r;
        r.setNumber(numbers[i]);
        r.setContact(names[i]);
        r.setText(s.text());
        r.setDate(date);
        r.setTime(time);
        rows.push_back(r);
    }
    return rows;
}

void ComposeController::putDraftBack(const ComposeRequest& r) {
    // The draft left the PublicBox when it was opened: it goes back as it
    // came, whatever was changed in the dialog.
    const platform::LocalTime now = m_clock.localNow();
    MessageRecord rec;
    rec.setNumber(r.draftNumber);
    rec.setContact(r.draftContact);
    rec.setText(r.draftText);
    rec.setDate(ComposeDate(now, true));
    rec.setTime(ComposeTime(now));
    m_store.AppendMessage(rec, PublicBox);
}

void ComposeController::shutdown() {
    if (m_shutDown) return;
    m_shutDown = true;
    if (m_open && m_open->mode == 3) putDraftBack(*m_open);
}

ComposeController::Sent ComposeController::sendText(const std::string& numberGbk,
                                                    const std::string& textGbk) {
    Sent out;
    out.check = CheckComposedMessage(numberGbk, textGbk);
    if (out.check != ComposeCheck::Ok || m_shutDown) return out;
    const std::vector<MessageRecord> rows =
        composedRows(m_book, m_sims, numberGbk, textGbk, m_clock.localNow(), m_messageBox);
    if (rows.empty()) return out;
    out.row = m_store.box(OutBox).size();
    if (m_ports.sendRows)
        m_ports.sendRows(rows);
    else
        m_store.AppendMessages(rows, OutBox);
    if (m_ports.postCountRefresh) m_ports.postCountRefresh();
    return out;
}

std::vector<MessageRecord> ComposeController::composedRows(const ContactBook& book,
                                                           const SimPhonebook& sims,
                                                           const std::string& numberGbk,
                                                           const std::string& textGbk,
                                                           const platform::LocalTime& now,
                                                           platform::MessageBoxPort& messageBox) {
    if (CheckComposedMessage(numberGbk, textGbk) != ComposeCheck::Ok) return {};
    ComposeRequest request;
    request.mode = 1;
    request.text = numberGbk;
    ComposeSession session(book, sims, std::move(request), messageBox);
    if (!session.close(compose::IDC_SEND, {}, textGbk)) return {};
    return rowsOf(session, false, now);
}

void ComposeController::compose(ComposeRequest request) {
    if (m_shutDown) return;
    ComposeSession session(m_book, m_sims, std::move(request), m_messageBox);
    m_open = &session.request();
    const int how = m_ports.runDialog ? m_ports.runDialog(session) : compose::IDC_CANCEL;
    m_open = nullptr;
    if (m_shutDown) return;  // filed at shutdown, or nowhere left to file
    if (how == compose::IDC_SEND && session.closedWith() == compose::IDC_SEND) {
        std::vector<MessageRecord> rows = rowsOf(session, false, m_clock.localNow());
        if (m_ports.sendRows)
            m_ports.sendRows(rows);
        else
            m_store.AppendMessages(rows, OutBox);
    } else if (how == compose::IDC_SAVE && session.closedWith() == compose::IDC_SAVE) {
        m_store.AppendMessages(rowsOf(session, true, m_clock.localNow()), PublicBox);
    } else if (session.request().mode == 3) {
        putDraftBack(session.request());
    }
    if (m_ports.postCountRefresh) m_ports.postCountRefresh();
}

}  // namespace msgdesk
