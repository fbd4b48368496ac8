// SPDX-License-Identifier: LGPL-2.1-or-later
// modlink-tool: drives modems through the device library from a shell.
// Every callback event is printed as one JSON line
// {"event":N,"param":P,"text":"..."} (text in UTF-8, or null).
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "ToolCommands.h"
#include "ToolEvents.h"
#include "engine/Json.h"
#include "engine/Link.h"
#include "modlink.h"
#include "ops/Requests.h"
#include "platform/Codepage.h"
#include "smspdu/PduJson.h"

using modlink::jsonString;
using modlink::tool::ToolEvents;

namespace {

int usage() {
    std::cerr
        << "usage: modlink-tool [--port PATH|tcp:HOST:PORT]... [--device D] [--wait SECONDS]\n"
           "                    ports | info | phonebook list |\n"
           "                    phonebook write INDEX NUMBER NAME | phonebook delete INDEX |\n"
           "                    at \"COMMAND\" | pin status | pin enter |\n"
           "                    sms list | sms read INDEX | sms delete INDEX |\n"
           "                    sms send NUMBER TEXT |\n"
           "                    call dial NUMBER | call answer | call hangup | call status |\n"
           "                    call dtmf DIGITS | ussd CODE |\n"
           "                    pdu decode HEX | pdu encode NUMBER TEXT\n";
    return 2;
}

bool toInt(const std::string& s, int& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end || v < 0 || v > 1000000) return false;
    out = static_cast<int>(v);
    return true;
}

int refused(const std::string& what) {
    std::cout << "{\"error\":" << jsonString(what + " refused") << "}" << std::endl;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> ports, args;
    int device = 0, waitSeconds = 120;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--port" && i + 1 < argc)
            ports.push_back(argv[++i]);
        else if (a == "--device" && i + 1 < argc) {
            if (!toInt(argv[++i], device)) return usage();
        } else if (a == "--wait" && i + 1 < argc) {
            if (!toInt(argv[++i], waitSeconds)) return usage();
        } else if (a == "--help" || a == "-h")
            return usage();
        else
            args.push_back(a);
    }
    if (args.empty()) return usage();
    // The codec needs no modem.
    if (args[0] == "pdu") {
        if (args.size() == 3 && args[1] == "decode") {
            auto json = modlink::pdu::decodePduToJson(args[2]);
            if (!json) {
                std::cerr << "modlink-tool: " << json.error() << "\n";
                return 1;
            }
            std::cout << json.value() << std::endl;
            return 0;
        }
        if (args.size() == 4 && args[1] == "encode") {
            auto lines = modlink::pdu::encodePduLines(args[2], args[3]);
            if (!lines) {
                std::cerr << "modlink-tool: " << lines.error() << "\n";
                return 1;
            }
            std::cout << lines.value() << std::flush;
            return 0;
        }
        return usage();
    }
    if (!ports.empty()) {
        std::string list;
        for (auto& p : ports) list += (list.empty() ? "" : ",") + p;
        ::setenv("MODLINK_PORTS", list.c_str(), 1);
        ::setenv("MODLINK_USB", "0", 1);
    }
    ToolEvents events;
    if (InitModules() != 0) {
        if (GetManagerRefusals() > 0)
            std::cout << "{\"error\":\"ModemManager would not let go of the modem (not "
                         "authorised, or another program holds it); MODLINK_TRACE says why\"}"
                      << std::endl;
        else
            std::cout << "{\"error\":\"a modem port cannot be opened (in use by another "
                         "program?) or no modem answers\"}"
                      << std::endl;
        return 1;
    }
    RegistCallbackFunction(&ToolEvents::callback, &events);
    const std::string& cmd = args[0];
    int rc = 0;
    auto finish = [&] {
        if (!events.wait(waitSeconds)) {
            std::cout << "{\"error\":\"no answer in time\"}" << std::endl;
            rc = 1;
        }
        if (events.anyError()) rc = 1;
    };
    if (cmd == "ports" && args.size() == 1) {
        rc = modlink::tool::portsCommand(events, device, waitSeconds);
    } else if (cmd == "pin" && args.size() >= 2) {
        rc = modlink::tool::pinCommand(events, args, device, waitSeconds);
        if (rc == 2) {
            CloseModules();
            return usage();
        }
    } else if (cmd == "info" && args.size() == 1) {
        for (int d : modlink::tool::devicesOf(device)) {
            if (GetSignal(d) >= 0) events.expectSignal(d);
            for (int id : {GetGSMCenter(d), GetSimInfo(d, 1), GetSimInfo(d, 2)})
                if (id >= 0) events.expectAnswer(id);
        }
        finish();
    } else if (cmd == "phonebook" && args.size() >= 2) {
        int d = device ? device : 1, index = 0;
        int id = -1;
        if (args[1] == "list" && args.size() == 2) {
            for (int dd : modlink::tool::devicesOf(device))
                if ((id = GetSavedTelphone(dd)) >= 0) events.expectAnswer(id);
        } else if (args[1] == "write" && args.size() == 5 && toInt(args[2], index)) {
            std::string name = platform::codepage::utf8ToGbk(args[4]);
            if ((id = SetTelphone(d, index, args[3].c_str(), name.c_str())) < 0)
                rc = refused("phonebook write");
            else
                events.expectAnswer(id);
        } else if (args[1] == "delete" && args.size() == 3 && toInt(args[2], index)) {
            if ((id = DelTelphone(d, index)) < 0)
                rc = refused("phonebook delete");
            else
                events.expectAnswer(id);
        } else {
            CloseModules();
            return usage();
        }
        finish();
    } else if (cmd == "sms" && args.size() >= 2) {
        int d = device ? device : 1, index = 0, id = -1;
        if (args[1] == "list" && args.size() == 2) {
            // The listing's events carry the device, not the id.
            for (int dd : modlink::tool::devicesOf(device))
                if (GetExistedMessage(dd) >= 0) events.expectAnswer(dd);
        } else if (args[1] == "read" && args.size() == 3 && toInt(args[2], index)) {
            id = GetSMSMessage(d, index);
        } else if (args[1] == "delete" && args.size() == 3 && toInt(args[2], index)) {
            id = DelSMSMessage(d, index);
        } else if (args[1] == "send" && args.size() == 4) {
            std::string text = platform::codepage::utf8ToGbk(args[3]);
            id = SendSMSMessage(args[2].c_str(), text.c_str());
        } else {
            CloseModules();
            return usage();
        }
        if (args[1] != "list") {
            if (id < 0)
                rc = refused("sms " + args[1]);
            else
                events.expectAnswer(id);
        }
        if (rc == 0) finish();
    } else if (cmd == "call" && args.size() >= 2) {
        int d = device ? device : 1, id = -1;
        if (args[1] == "dial" && args.size() == 3)
            id = DialUp(d, args[2].c_str());
        else if (args[1] == "answer" && args.size() == 2)
            id = AttachPhone(d);
        else if (args[1] == "hangup" && args.size() == 2)
            id = UnattachPhone(d);
        else if (args[1] == "status" && args.size() == 2)
            id = QureyPhoneStatus(d);
        else if (args[1] == "dtmf" && args.size() == 3)
            id = DialExt(d, args[2].c_str());
        else {
            CloseModules();
            return usage();
        }
        if (id < 0) {
            rc = refused("call " + args[1]);
        } else {
            events.expectAnswer(id);
            finish();
        }
    } else if (cmd == "ussd" && args.size() == 2) {
        // Event 4101 carries the network's answer ("m","text").
        std::string code = platform::codepage::utf8ToGbk(args[1]);
        int id = SendUssd(device ? device : 1, code.c_str());
        if (id < 0) {
            rc = refused("ussd");
        } else {
            events.expectAnswer(id);
            finish();
        }
    } else if (cmd == "at" && args.size() == 2) {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        int d = device ? device : 1;
        std::string text = args[1];
        if (text.size() < 2 || strncasecmp(text.c_str(), "AT", 2) != 0) text = "AT" + text;
        int id = modlink::requests::raw(d, text, [&](const modlink::at::AtReply& r) {
            std::string lines;
            for (const auto& l : r.lines) lines += (lines.empty() ? "" : ",") + jsonString(l);
            events.print(
                "{\"device\":" + std::to_string(d) + ",\"command\":" + jsonString(text) +
                ",\"lines\":[" + lines + "],\"result\":" +
                jsonString(r.finalLine.empty() ? modlink::at::statusName(r.status) : r.finalLine) +
                "}");
            std::lock_guard lock(m);
            done = true;
            rc = r.ok() ? 0 : 1;
            cv.notify_all();
        });
        if (id < 0) {
            rc = refused("at");
        } else {
            std::unique_lock lock(m);
            if (!cv.wait_for(lock, std::chrono::seconds(waitSeconds), [&] { return done; })) rc = 1;
        }
    } else {
        CloseModules();
        return usage();
    }
    CloseModules();
    return rc;
}
