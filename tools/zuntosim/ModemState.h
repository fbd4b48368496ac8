#pragma once
#include <map>
#include <string>
#include <vector>

namespace zuntosim {

// One SIM phonebook position.
struct PhonebookEntry {
    std::string number;  // with '+' for international numbers
    std::u16string name;
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
    std::string phonebookStorage = "SM";

    // Radio and SIM.
    int signal = 20;
    std::string centre = "+8613800100500";
    int phonebookCapacity = 250;
    std::map<int, PhonebookEntry> phonebook;
    int messageCapacity = 30;
    // SIM message store, index -> PDU in hex (the message feature fills it).
    std::map<int, std::string> messages;

    // Injected by the control channel.
    std::vector<Fault> faults;
    std::map<std::string, int> delays;  // command -> ms, for the next one
};

}  // namespace zuntosim
