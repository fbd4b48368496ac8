// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppProgress.h"

namespace platform::ras {

namespace {

bool startsWith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}
bool contains(std::string_view s, std::string_view p) {
    return s.find(p) != std::string_view::npos;
}

// chat shows received carriage returns and line feeds as ^M / ^J.
std::string_view stripControls(std::string_view s) {
    while (startsWith(s, "^M") || startsWith(s, "^J")) s.remove_prefix(2);
    return s;
}

}  // namespace

std::vector<PppProgress::Notice> PppProgress::begin() {
    if (m_started) return {};
    m_started = true;
    return {{RASCS_OpenPort, 0}};
}

std::vector<PppProgress::Notice> PppProgress::advance(RASCONNSTATE s) {
    if (m_settled || s <= m_state) return {};
    m_state = s;
    if (s == RASCS_Connected) {
        m_connected = true;
        m_settled = true;
    }
    return {{s, 0}};
}

std::vector<PppProgress::Notice> PppProgress::fail(DWORD error) {
    if (m_settled) return {};
    m_settled = true;
    m_error = error;
    return {{m_state, error}};
}

std::vector<PppProgress::Notice> PppProgress::onLine(std::string_view raw) {
    if (m_settled) return {};
    std::string_view line = stripControls(raw);
    // The port cannot be had: pppd's own lock, or open() failed.
    if (contains(line, " is locked by pid ") || startsWith(line, "Failed to open ") ||
        startsWith(line, "Can't get terminal parameters"))
        return fail(ERROR_PORT_OR_DEVICE);
    // chat: an abort string matched, or the wait timed out.
    if (startsWith(line, "Failed (")) {
        if (contains(line, "NO CARRIER")) return fail(ERROR_NO_CARRIER);
        if (contains(line, "BUSY")) return fail(ERROR_LINE_BUSY);
        if (contains(line, "NO ANSWER")) return fail(ERROR_NO_ANSWER);
        if (contains(line, "NO DIALTONE")) return fail(ERROR_NO_CARRIER);
        return fail(ERROR_FROM_DEVICE);  // ERROR and other abort strings
    }
    if (line == "Failed")  // time-out: a silent modem is a device fault
        return fail(m_modemAnswered ? ERROR_NO_ANSWER : ERROR_PORT_OR_DEVICE);
    if (line == " -- got it") m_modemAnswered = true;
    if (contains(line, "LCP: timeout sending Config-Requests") ||
        contains(line, "IPCP: timeout sending Config-Requests"))
        return fail(ERROR_PPP_TIMEOUT);
    if (startsWith(line, "PAP authentication failed") ||
        startsWith(line, "CHAP authentication failed") || startsWith(line, "No auth is possible"))
        return fail(ERROR_AUTHENTICATION_FAILURE);
    if (startsWith(line, "LCP terminated by peer")) return fail(ERROR_PPP_LCP_TERMINATED);
    if (startsWith(line, "Modem hangup") || startsWith(line, "Hangup (SIGHUP)"))
        return fail(ERROR_PORT_DISCONNECTED);
    if (startsWith(line, "This system lacks kernel support for PPP"))
        return fail(ERROR_FROM_DEVICE);

    if (startsWith(line, "send (AT")) return advance(RASCS_ConnectDevice);
    if (startsWith(line, "CONNECT") || startsWith(line, "Serial connection established."))
        return advance(RASCS_DeviceConnected);
    if (startsWith(line, "rcvd [LCP ConfAck") || startsWith(line, "PAP authentication succeeded") ||
        startsWith(line, "CHAP authentication succeeded"))
        return advance(RASCS_Authenticate);
    if (startsWith(line, "sent [IPCP ConfReq")) return advance(RASCS_Projected);
    if (startsWith(line, "local  IP address")) return advance(RASCS_Connected);
    return {};
}

DWORD PppProgress::errorOfExitStatus(int status) {
    switch (status) {
        case 0:
            return 0;
        case 5:
            return ERROR_USER_DISCONNECTION;  // ended by a signal
        case 6:
        case 7:
            return ERROR_PORT_OR_DEVICE;  // lock / open of the port
        case 8:
            return ERROR_FROM_DEVICE;  // connect script failed
        case 10:
        case 15:
            return ERROR_PPP_TIMEOUT;  // negotiation, no echo replies
        case 11:
        case 19:
            return ERROR_AUTHENTICATION_FAILURE;
        case 16:
            return ERROR_PORT_DISCONNECTED;  // the modem hung up
        default:
            return ERROR_FROM_DEVICE;
    }
}

std::vector<PppProgress::Notice> PppProgress::onExit(int status) {
    if (m_settled) return {};
    // The run ended without a decisive line: the link is down, for the
    // reason the status gives (or none, when pppd said it ended normally).
    m_settled = true;
    DWORD error = errorOfExitStatus(status);
    if (error == 0) error = ERROR_PORT_DISCONNECTED;
    m_error = error;
    return {{RASCS_Disconnected, error}};
}

}  // namespace platform::ras
