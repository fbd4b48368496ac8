// SPDX-License-Identifier: GPL-3.0-or-later
// The control channel: line commands that change a modem from outside.
#include <algorithm>
#include <sstream>

#include "SimServer.h"
#include "SimText.h"
#include "platform/Codepage.h"

namespace zuntosim {

namespace {

bool toInt(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    out = std::stoi(s);
    return true;
}

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// "+cpbw", "AT+CPBW", "CPBW" all name +CPBW; "E" names ATE.
std::string commandName(std::string s) {
    s = upper(s);
    if (s.rfind("AT", 0) == 0 && s.size() > 2) s = s.substr(2);
    if (s.size() > 1 && s[0] != '+' && s[0] != '^' && s[0] != '&' && s.rfind("C", 0) == 0)
        s = "+" + s;
    return s;
}

std::string restOfLine(const std::string& line, int words) {
    std::size_t pos = 0;
    for (int i = 0; i < words; ++i) {
        pos = line.find_first_not_of(' ', pos);
        pos = line.find(' ', pos);
        if (pos == std::string::npos) return {};
    }
    return line.substr(pos + 1);
}

// ussd D CODE [TEXT]: the network answers CODE with TEXT ("\n" a line
// break); without TEXT the code is withdrawn. "*100#>1" is a menu choice.
std::string ussdControl(ModemState& s, const std::vector<std::string>& w, const std::string& line) {
    if (w.size() < 3 || w[2].find_first_not_of("0123456789*#>") != std::string::npos ||
        w[2].front() == '>' || w[2].back() == '>')
        return "ERROR usage: ussd D CODE [TEXT]";
    if (w.size() == 3) return s.ussdMenu.erase(w[2]) ? "OK" : "ERROR no such code";
    std::string text;
    std::string raw = restOfLine(line, 3);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += raw[i];
        }
    }
    if (text.size() > 182) return "ERROR text over 182 characters";
    for (unsigned char c : text)
        if (c >= 0x80 || c == '"') return "ERROR text must be ASCII without quotes";
    s.ussdMenu[w[2]] = text;
    return "OK";
}

}  // namespace

std::string SimServer::control(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty()) return "ERROR empty command";
    const std::string& cmd = w[0];
    if (cmd == "quit") {
        m_quit = true;
        return "OK";
    }
    if (cmd == "sendfail") return sendFailControl(w);
    static const char* known[] = {
        "signal", "fail",   "delay",     "garbage",  "unsolicited", "unplug", "pbfill", "pbclear",
        "pbget",  "status", "sms",       "smsparts", "fill",        "sent",   "call",   "answer",
        "hangup", "ussd",   "nocarrier", "busy",     "silent",      "pin",    "report"};
    if (std::find(std::begin(known), std::end(known), cmd) == std::end(known))
        return "ERROR unknown command " + cmd;
    int d = 0;
    if (w.size() < 2 || !toInt(w[1], d) || !modem(d))
        return w.size() < 2 ? "ERROR missing device" : "ERROR no such device";
    Modem& m = *m_modems[static_cast<std::size_t>(d - 1)];
    ModemState& s = m.state;
    if (m.unplugged) return "ERROR unplugged";
    int n = 0;
    if (cmd == "sms" || cmd == "smsparts" || cmd == "fill" || cmd == "sent")
        return messageControl(m, w, line);
    if (cmd == "nocarrier" || cmd == "busy" || cmd == "silent") return dataControl(m, w);
    if (cmd == "hangup" && (m.dataPid > 0 || m.dialling)) {
        // The network ends the data call (NO CARRIER when the program ends).
        if (m.dataPid > 0) {
            hangUpData(m);
        } else {
            m.dialling = false;
            send(m, "\r\nNO CARRIER\r\n");
        }
        return "OK";
    }
    if (cmd == "call" || cmd == "answer" || cmd == "hangup") return callControl(m, w);
    if (cmd == "report") return reportControl(m, w);
    if (cmd == "signal") {
        if (w.size() != 3 || !toInt(w[2], n) || (n > 31 && n != 99))
            return "ERROR signal takes 0..31 or 99";
        s.signal = n;
    } else if (cmd == "fail") {
        if (w.size() < 4 || w.size() > 5)
            return "ERROR usage: fail D COMMAND ERROR|TIMEOUT [COUNT]";
        Fault f;
        f.command = commandName(w[2]);
        std::string k = upper(w[3]);
        if (k == "ERROR") {
            f.kind = Fault::Kind::Error;
        } else if (k == "TIMEOUT") {
            f.kind = Fault::Kind::Timeout;
        } else if ((k.rfind("CME:", 0) == 0 || k.rfind("CMS:", 0) == 0) &&
                   toInt(k.substr(4), f.code)) {
            f.kind = k[2] == 'E' ? Fault::Kind::CmeError : Fault::Kind::CmsError;
        } else {
            return "ERROR kind is ERROR, TIMEOUT, CME:n or CMS:n";
        }
        if (w.size() == 5 && (!toInt(w[4], f.count) || f.count < 1)) return "ERROR bad count";
        s.faults.push_back(f);
    } else if (cmd == "delay") {
        if (w.size() != 4 || !toInt(w[3], n)) return "ERROR usage: delay D COMMAND MS";
        s.delays[commandName(w[2])] = n;
    } else if (cmd == "garbage") {
        // Line noise: control bytes, bytes no text uses, and some letters.
        std::string junk = std::string("\x00\x13\xff\xfe", 4) + "\x85\xa0#noise!" + "\x7f\x1b";
        m_garbageSeed = m_garbageSeed * 1103515245u + 12345u;
        junk += static_cast<char>(0x80 | (m_garbageSeed >> 16 & 0x7F));
        send(m, junk);
    } else if (cmd == "unsolicited") {
        std::string text = restOfLine(line, 2);
        if (text.empty()) return "ERROR usage: unsolicited D LINE";
        send(m, "\r\n" + text + "\r\n");
    } else if (cmd == "unplug") {
        unplug(m);
    } else if (cmd == "pbfill") {
        if (w.size() != 3 || !toInt(w[2], n) || n > s.phonebookCapacity)
            return "ERROR usage: pbfill D N";
        s.phonebook.clear();
        for (int i = 1; i <= n; ++i) {
            std::u16string name = i % 2 ? u"\u8054\u7CFB\u4EBA" : u"Contact ";
            for (char c : std::to_string(i)) name += static_cast<char16_t>(c);
            s.phonebook[i] = {(i % 3 ? "1390000" : "+861390000") + std::to_string(1000 + i), name};
        }
    } else if (cmd == "ussd") {
        return ussdControl(s, w, line);
    } else if (cmd == "pin") {
        // The SIM asks for CODE from now on (as after a power cycle), or
        // for nothing.
        if (w.size() != 3) return "ERROR usage: pin D CODE|off";
        if (w[2] == "off") {
            s.pin.clear();
            s.simLock = ModemState::SimLock::Ready;
        } else if (w[2].size() >= 4 && w[2].size() <= 8 &&
                   w[2].find_first_not_of("0123456789") == std::string::npos) {
            s.pin = w[2];
            s.simLock = ModemState::SimLock::Pin;
        } else {
            return "ERROR a PIN is 4 to 8 digits";
        }
        s.pinTries = ModemState::kPinTries;
        s.pukTries = ModemState::kPukTries;
    } else if (cmd == "pbclear") {
        s.phonebook.clear();
    } else if (cmd == "pbget") {
        if (w.size() != 3 || !toInt(w[2], n)) return "ERROR usage: pbget D INDEX";
        auto it = s.phonebook.find(n);
        if (it == s.phonebook.end()) return "ERROR empty";
        return "OK " + it->second.number + "," + platform::codepage::ucs2ToUtf8(it->second.name);
    } else if (cmd == "status") {
        return "OK signal=" + std::to_string(s.signal) + " centre=" + s.centre +
               " phonebook=" + std::to_string(s.phonebook.size()) + "/" +
               std::to_string(s.phonebookCapacity) +
               " messages=" + std::to_string(s.messages.size()) + "/" +
               std::to_string(s.messageCapacity) + " charset=" + s.charset +
               " echo=" + (s.echo ? "1" : "0") + " sent=" + std::to_string(s.sent.size()) +
               " call=" +
               (s.call ? std::to_string(s.call->stat(std::chrono::steady_clock::now())) : "none") +
               " volume=" + std::to_string(s.volume) +
               " tones=" + (s.tones.empty() ? "-" : s.tones) + " data=" +
               (m.dataPid > 0 ? "connected"
                : m.dialling  ? "dialling"
                              : "idle") +
               " sim=" +
               (s.simLock == ModemState::SimLock::Pin   ? "PIN"
                : s.simLock == ModemState::SimLock::Puk ? "PUK"
                                                        : "READY") +
               " pin=" + (s.pin.empty() ? "off" : s.pin);
    } else {
        return "ERROR unknown command " + cmd;
    }
    return "OK";
}

}  // namespace zuntosim
