// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zuntosim {

// One SIM phonebook position.
struct PhonebookEntry {
    std::string number;  // with '+' for international numbers
    std::u16string name;
};

// The voice call of a modem. An outgoing call walks through dialling and
// alerting to active on its own (+CLCC states, 3GPP TS 27.007 7.18) unless
// the far end answers first; an incoming one rings until answered.
struct SimCall {
    static constexpr int kDiallingMs = 200;
    static constexpr int kAlertingMs = 600;
    bool incoming = false;
    std::string number;
    std::chrono::steady_clock::time_point start;
    bool connected = false;  // answered by either side

    int stat(std::chrono::steady_clock::time_point now) const {
        if (connected) return 0;
        if (incoming) return 4;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
        return ms < kDiallingMs ? 2 : ms < kDiallingMs + kAlertingMs ? 3 : 0;
    }
};

// A fault the control channel arms for the next matching command(s).
struct Fault {
    std::string command;  // "+CPBW", "+CSQ", "E", ...
    enum class Kind { Error, CmeError, CmsError, Timeout } kind = Kind::Error;
    int code = 0;
    int count = 1;
};

// Everything one simulated modem remembers. The command handlers read and
// change it; the server owns one per modem.
struct ModemState {
    // Settings a client changes with AT commands.
    bool echo = true;  // modems power up echoing
    int cmee = 0;
    std::string charset = "IRA";
    int cmgf = 0;
    std::string cnmi = "0,0,0,0,0";
    bool clip = false;
    bool crc = false;  // +CRC=1: rings are "+CRING: VOICE"
    std::string phonebookStorage = "SM";

    // Radio and SIM.
    int signal = 20;
    // Registration (27.007 7.2, 7.3, 10.1.20): what +CREG/+CGREG report
    // (n 0..2) and the +COPS <format> of the operator (0 long, 1 short, 2
    // numeric). The modem stays registered at home in one cell unless
    // AT+COPS=2 deregisters it.
    int cregMode = 0;
    int cgregMode = 0;
    int copsFormat = 2;
    bool registered = true;
    std::string lac = "247D";
    std::string cellId = "0F3C";
    bool attached = true;  // +CGATT, packet domain
    // PDP contexts defined with +CGDCONT (27.007 10.1.1), by context id; a
    // dial-up's init string defines one before ATD*99#.
    struct PdpContext {
        std::string type;  // "IP", "IPV6", "IPV4V6" or "PPP"
        std::string apn;
        std::string address;
        int dataComp = 0;
        int headerComp = 0;
    };
    std::map<int, PdpContext> pdpContexts;

    // Unstructured supplementary service data (27.007 7.15): the network's
    // canned menu, code -> answer; "*100#>1" is choice 1 of the menu "*100#".
    // An answer with choices below it asks for more input (+CUSD: 1).
    int cusdMode = 0;
    std::map<std::string, std::string> ussdMenu = {
        {"*100#", "1 Balance\n2 Data left"},
        {"*100#>1", "Balance: 25.30 CNY"},
        {"*100#>2", "Data left: 512 MB"},
    };
    std::string ussdSession;  // the menu waiting for a choice, or empty
    std::string centre = "+8613800100500";
    int phonebookCapacity = 250;
    std::map<int, PhonebookEntry> phonebook;
    int messageCapacity = 30;
    // SIM message store, index -> PDU in hex (SMSC part first), and each
    // one's 27.005 <stat>: 0 received unread, 1 received read, 2 stored
    // unsent, 3 stored sent.
    std::map<int, std::string> messages;
    std::map<int, int> messageStat;
    // What AT+CMGS handed to the network, in order: PDUs (SMSC part first).
    std::vector<std::string> sent;
    int nextReference = 0;  // TP-MR the network reports back
    // What the status reports of the next submits say (control "report"):
    // TP-ST 0x00 delivered, 0x41 failed (incompatible destination), or none
    // sent at all.
    enum class ReportOutcome { Delivered, Failed, None } reportOutcome = ReportOutcome::Delivered;

    // How the next data dial (ATD*99#) fails, as the control channel asked:
    // NO CARRIER, BUSY, or no answer at all.
    enum class DataFault { None, NoCarrier, Busy, Silent } dataFault = DataFault::None;

    // Voice.
    std::optional<SimCall> call;
    int volume = 3;     // +CLVL, 0..5
    std::string tones;  // +VTS digits sent during calls

    // The SIM's lock (27.007 8.3): with a PIN set it asks for it at power-up
    // and after "pin D CODE"; three wrong PINs block it until the PUK and a
    // new PIN are given.
    enum class SimLock { Ready, Pin, Puk };
    static constexpr int kPinTries = 3;
    static constexpr int kPukTries = 10;
    static constexpr const char* kPuk = "12345678";
    SimLock simLock = SimLock::Ready;
    std::string pin;  // empty: the SIM asks for none
    int pinTries = kPinTries;
    int pukTries = kPukTries;

    // Injected by the control channel.
    std::vector<Fault> faults;
    std::map<std::string, int> delays;  // command -> ms, for the next one
};

}  // namespace zuntosim
