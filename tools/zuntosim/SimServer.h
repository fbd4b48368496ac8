// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AtCommandTable.h"
#include "ModemState.h"

namespace zuntosim {

struct SimOptions {
    int devices = 1;
    bool tcp = false;
    int tcpBase = 0;  // 0: ports chosen by the system
    std::string linkPrefix;
    int controlPort = -1;  // -1: none; 0: chosen by the system
    std::string logPath;
    std::string phonebookFile;
    int phonebookCapacity = 250;
    int messageCapacity = 30;
    int sendLatencyMs = 0;  // how long the network takes to accept a message
    // How long after a submit that asked for one its status report comes.
    int reportDelayMs = 1000;
    // Run by /bin/sh when a data dial connects, with the modem's data on its
    // standard input and output: the network side of the link.
    std::string dataCommand =
        "pppd notty nodetach noauth local silent nodefaultroute 10.64.64.1:10.64.64.2 "
        "ms-dns 10.64.64.1";
};

// The simulated modems and their ports, the control channels and the log,
// served by one thread in one poll() loop.
class SimServer final {
public:
    SimServer() = default;
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Creates the ports and prints "device D PATH" per modem (and
    // "control tcp:127.0.0.1:PORT" when asked for a control port).
    bool start(const SimOptions& options, std::string& error);
    // Serves until "quit", or end of standard input when there is no
    // control port (a script that gives a control port may close stdin).
    int run();
    // Executes one control line; the answer is "OK[ detail]" or
    // "ERROR <reason>".
    std::string control(const std::string& line);

    ModemState* modem(int number);

private:
    // In data mode either side may run ahead of the other by this much
    // before we stop reading it, so buffers stay bounded.
    static constexpr std::size_t kDataBuffer = 64 * 1024;

    // A status report the network sends back for a submit with TP-SRR.
    struct DueReport {
        std::chrono::steady_clock::time_point at;
        int reference = 0;
        std::string number;
        int status = 0;  // TP-ST
        std::chrono::system_clock::time_point submitted;
    };
    struct Modem {
        int number = 0;
        ModemState state;
        int master = -1;     // pty master
        int slaveKeep = -1;  // our own slave descriptor, so the master never hangs up
        int listenFd = -1;   // tcp
        int connFd = -1;
        std::string path;
        std::string input;
        std::deque<std::string> pending;  // command lines waiting behind a delayed reply
        bool busy = false;
        std::chrono::steady_clock::time_point dueAt;
        std::string dueBytes;
        std::string out;  // bytes not yet written
        bool unplugged = false;
        // AT+CMGS/AT+CMGW: the TPDU length while the "> " prompt takes the
        // PDU, the PDU so far, and the <stat> a written message gets; stuck:
        // a send the network never answers leaves the modem taking input as
        // message text until ESC.
        std::string promptCommand;
        int promptStat = 2;
        int promptLength = -1;
        std::string promptText;
        bool stuck = false;
        std::chrono::steady_clock::time_point nextRing;
        // Data mode: the data command's process (group) and our end of its
        // socket; bytes for it not yet written; a data dial left unanswered.
        pid_t dataPid = -1;
        int dataFd = -1;
        std::string dataOut;
        long long dataUp = 0, dataDown = 0;
        bool dialling = false;
        // Status reports the network still owes, in the order they fall due.
        std::vector<DueReport> reports;
        int ioFd() const { return master >= 0 ? master : connFd; }
    };
    struct ControlClient {
        int fd = -1;
        std::string input;
    };

    bool openPty(Modem& m, std::string& error);
    bool openTcp(Modem& m, int port, std::string& error);
    void onInput(Modem& m, const std::string& bytes);
    void processLine(Modem& m, const std::string& line);
    void send(Modem& m, const std::string& bytes);
    void flush(Modem& m);
    void unplug(Modem& m);
    void log(int device, const char* dir, const std::string& text);
    // AT+CMGS/AT+CMGW: false when the command is refused at once.
    bool beginPrompt(Modem& m, const SimCommand& cmd);
    void submitPrompt(Modem& m);
    void sendStored(Modem& m, const SimCommand& cmd);  // AT+CMSS
    // Hands a PDU to the network and answers "<prefix>: <mr>" (or fails as
    // the control channel arranged); a stored message then counts as sent.
    void toNetwork(Modem& m, const std::string& hex, const std::string& number,
                   const std::string& prefix, int storedIndex);
    void reply(Modem& m, const std::string& bytes, int delayMs);
    void ring(Modem& m);
    // Data mode (SimServerData.cpp).
    void startData(Modem& m, const std::string& dial);
    void dataFromModem(Modem& m, const char* bytes, std::size_t n);
    void dataFromNetwork(Modem& m);
    void flushData(Modem& m);
    void hangUpData(Modem& m);  // ends the data command; NO CARRIER follows
    void reapData(Modem& m, bool wait);
    std::string dataControl(Modem& m, const std::vector<std::string>& w);
    void ringDue(std::chrono::steady_clock::time_point now, int& timeout);
    // Status reports (SimServerReports.cpp): scheduled after a submit that
    // asked for one, handed over as +CNMI's <ds> asks when due.
    void scheduleReport(Modem& m, const std::string& pduHex, int reference);
    void reportsDue(std::chrono::steady_clock::time_point now, int& timeout);
    void deliverReport(Modem& m, const DueReport& r);
    std::string reportControl(Modem& m, const std::vector<std::string>& w);
    std::string messageControl(Modem& m, const std::vector<std::string>& w,
                               const std::string& line);
    std::string callControl(Modem& m, const std::vector<std::string>& w);
    std::string sendFailControl(const std::vector<std::string>& w);
    void handleControlInput(std::string& buffer, const std::string& data, int replyFd);

    AtCommandTable m_table;
    std::vector<std::unique_ptr<Modem>> m_modems;
    int m_controlListen = -1;
    std::vector<ControlClient> m_controlClients;
    std::FILE* m_log = nullptr;
    bool m_quit = false;
    bool m_stdinEndsRun = true;
    int m_sendLatencyMs = 0;
    int m_reportDelayMs = 1000;
    std::string m_dataCommand;
    // Sends to these numbers fail: ERROR (+CMS ERROR: 500) or TIMEOUT.
    struct SendFault {
        bool timeout = false;
        int count = 1;
    };
    std::map<std::string, SendFault> m_sendFaults;
    unsigned m_garbageSeed = 1;
};

}  // namespace zuntosim
