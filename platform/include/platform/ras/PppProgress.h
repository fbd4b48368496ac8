// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>
#include <vector>

#include "platform/ras/Ras.h"

namespace platform::ras {

// Turns the log of one pppd run (its own lines and those of the chat
// script, as printed with `debug` and `chat -v`) into the service's
// progress notifications. The first decisive line settles the outcome;
// pppd's exit status only speaks when no line did, because most failures
// after the modem answered end with the same status.
class PppProgress final {
public:
    struct Notice {
        RASCONNSTATE state;
        DWORD error;
        bool operator==(const Notice&) const = default;
    };

    // The port is being opened.
    std::vector<Notice> begin();
    std::vector<Notice> onLine(std::string_view line);
    // The port is held by another program or cannot be opened.
    std::vector<Notice> portUnavailable() { return fail(ERROR_PORT_OR_DEVICE); }
    // ModemManager keeps the modem; the port stays closed.
    std::vector<Notice> managerRefused() { return fail(ERROR_MODEM_MANAGER_REFUSED); }
    // pppd ended with this exit status.
    std::vector<Notice> onExit(int status);

    bool connected() const { return m_connected; }
    // An outcome (connection or error) has been reported.
    bool settled() const { return m_settled; }
    RASCONNSTATE state() const { return m_state; }
    DWORD error() const { return m_error; }

    // The error an exit status stands for when no line told more.
    static DWORD errorOfExitStatus(int status);

private:
    std::vector<Notice> advance(RASCONNSTATE s);
    std::vector<Notice> fail(DWORD error);

    RASCONNSTATE m_state = RASCS_OpenPort;
    bool m_started = false;
    bool m_connected = false;
    bool m_settled = false;
    bool m_modemAnswered = false;
    DWORD m_error = 0;
};

}  // namespace platform::ras
