// SPDX-License-Identifier: GPL-3.0-or-later
// zuntosim: simulated Zunto modems on pseudo-terminals or loopback TCP.
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "SimServer.h"

namespace {

void usage() {
    std::cerr << "usage: zuntosim [--devices N] [--tcp [--tcp-base PORT]] [--link PREFIX]\n"
                 "                [--control PORT] [--log FILE] [--phonebook FILE]\n"
                 "                [--phonebook-capacity N] [--message-capacity N]\n"
                 "                [--send-latency MS] [--report-delay MS] [--data-cmd COMMAND]\n"
                 "Prints 'device D PATH' per modem; control commands on standard input.\n";
}

bool intArg(int argc, char** argv, int& i, int& out) {
    if (i + 1 >= argc) return false;
    char* end = nullptr;
    long v = std::strtol(argv[++i], &end, 10);
    if (*end || v < 0 || v > 65535) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    zuntosim::SimOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool ok = true;
        if (a == "--devices")
            ok = intArg(argc, argv, i, o.devices);
        else if (a == "--tcp")
            o.tcp = true;
        else if (a == "--tcp-base")
            ok = intArg(argc, argv, i, o.tcpBase);
        else if (a == "--control")
            ok = intArg(argc, argv, i, o.controlPort);
        else if (a == "--phonebook-capacity")
            ok = intArg(argc, argv, i, o.phonebookCapacity);
        else if (a == "--send-latency")
            ok = intArg(argc, argv, i, o.sendLatencyMs);
        else if (a == "--report-delay")
            ok = intArg(argc, argv, i, o.reportDelayMs);
        else if (a == "--message-capacity")
            ok = intArg(argc, argv, i, o.messageCapacity);
        else if (a == "--link" && i + 1 < argc)
            o.linkPrefix = argv[++i];
        else if (a == "--log" && i + 1 < argc)
            o.logPath = argv[++i];
        else if (a == "--data-cmd" && i + 1 < argc)
            o.dataCommand = argv[++i];
        else if (a == "--phonebook" && i + 1 < argc)
            o.phonebookFile = argv[++i];
        else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else
            ok = false;
        if (!ok) {
            usage();
            return 2;
        }
    }
    if (o.phonebookCapacity < 1 || o.messageCapacity < 1) {
        std::cerr << "zuntosim: capacities must be at least 1\n";
        return 2;
    }
    zuntosim::SimServer server;
    std::string error;
    if (!server.start(o, error)) {
        std::cerr << "zuntosim: " << error << "\n";
        return 1;
    }
    return server.run();
}
