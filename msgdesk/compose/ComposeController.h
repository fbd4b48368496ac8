// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "compose/ComposeSession.h"
#include "compose/ComposeText.h"
#include "platform/Clock.h"
#include "store/MailboxStore.h"

namespace msgdesk {

// The main frame's side of a compose request (UM_COMPOSE): opens the
// dialog on a new session and files what it gives back: one OutBox row per
// recipient on send (through the send pump), one PublicBox row per
// recipient on save, and an opened draft put back unchanged on cancel.
// Window thread only.
class ComposeController final {
public:
    struct Ports {
        // Runs the modal dialog on the session; returns how it closed
        // (1009, 1001, 2). Empty: the dialog is cancelled.
        std::function<int(ComposeSession&)> runDialog;
        // The send pump takes the composed OutBox rows (it clears a stale
        // batch when the OutBox was empty, and asks for a batch while the
        // link is up).
        std::function<void(const std::vector<MessageRecord>&)> sendRows;
        // UM_STATUSPANE(50010, 1) to the main frame.
        std::function<void()> postCountRefresh;
    };

    ComposeController(const ContactBook& book, const SimPhonebook& sims, MailboxStore& store,
                      const platform::Clock& clock, platform::MessageBoxPort& messageBox,
                      Ports ports);

    // UM_COMPOSE.
    void onCompose(const platform::Message& m);
    // The same for a request already read.
    void compose(ComposeRequest request);
    // One message to one number without the dialog, filed as its send
    // button files it (recipient as the dialog makes it from a preset
    // number, OutBox row, send pump). Refused, with nothing filed, when
    // CheckComposedMessage refuses it. row: the OutBox row it went to.
    struct Sent {
        ComposeCheck check = ComposeCheck::Ok;
        int row = -1;
    };
    Sent sendText(const std::string& numberGbk, const std::string& textGbk);
    // The OutBox row that send files for one number and text at `now`, as
    // the dialog makes it (the contact's name when the number is a
    // contact's). Empty when the dialog would refuse it.
    static std::vector<MessageRecord> composedRows(const ContactBook& book,
                                                   const SimPhonebook& sims,
                                                   const std::string& numberGbk,
                                                   const std::string& textGbk,
                                                   const platform::LocalTime& now,
                                                   platform::MessageBoxPort& messageBox);
    // The program is closing (before the final save): a draft whose dialog
    // is still open goes back to the PublicBox now, or it would be lost; a
    // dialog that returns afterwards files nothing.
    void shutdown();

private:
    static std::vector<MessageRecord> rowsOf(const ComposeSession& s, bool draft,
                                             const platform::LocalTime& now);
    void putDraftBack(const ComposeRequest& r);

    const ContactBook& m_book;
    const SimPhonebook& m_sims;
    MailboxStore& m_store;
    const platform::Clock& m_clock;
    platform::MessageBoxPort& m_messageBox;
    Ports m_ports;
    const ComposeRequest* m_open = nullptr;  // the request of the open dialog
    bool m_shutDown = false;
};

// Date and time texts of composed rows: "%4ld-%02ld-%02ld" for OutBox rows,
// "%04ld-%02ld-%02ld" for drafts, "%02ld:%02ld:%02ld" for both.
std::string ComposeDate(const platform::LocalTime& t, bool zeroPadYear);
std::string ComposeTime(const platform::LocalTime& t);

}  // namespace msgdesk
