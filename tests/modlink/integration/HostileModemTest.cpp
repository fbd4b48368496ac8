// SPDX-License-Identifier: LGPL-2.1-or-later
// The library against scripted modems that misbehave, on a pty and on TCP:
// overlong lines, junk streamed into a command, a call that rings before a
// callback is registered.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "EventRecorder.h"
#include "modlink.h"
#include "support/HostileModem.h"

namespace {

using Kind = HostileModem::Kind;

const char* kindName(Kind k) {
    return k == Kind::Pty ? "pty" : "tcp";
}

// 4096 bytes of junk, then blanks and "ERROR": a splitter that cuts the line
// at its buffer size reads the tail as a final result of its own.
std::string overlongJunkLine() {
    return "\r\n" + std::string(4096, 'x') + std::string(899, ' ') + "ERROR\r\n";
}

std::string runTool(const std::string& port, const std::string& args) {
    std::string cmd = "MODLINK_TIMEOUT_MS=1000 " + std::string(ZUNTO_BIN_DIR) +
                      "/modlink-tool --wait 10 --port " + port + " " + args + " 2>&1";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return "popen failed";
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    int st = ::pclose(p);
    return out + "exit " + std::to_string(WIFEXITED(st) ? WEXITSTATUS(st) : -1);
}

void attach(const std::string& ports) {
    ::setenv("MODLINK_PORTS", ports.c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    ::setenv("MODLINK_TIMEOUT_MS", "1000", 1);
}

}  // namespace

// Every answer of `info` after a 5000-byte junk line stays with its command.
TEST(HostileModem, OverlongLineLeavesEveryLaterAnswerRight) {
    for (Kind kind : {Kind::Pty, Kind::Tcp}) {
        SCOPED_TRACE(kindName(kind));
        HostileModem modem(kind, [](const std::string& c) -> std::optional<std::string> {
            if (c == "AT+CSQ") return overlongJunkLine() + HostileModem::ordinaryAnswer(c);
            return std::nullopt;
        });
        ASSERT_TRUE(modem.ok());
        std::string out = runTool(modem.port(), "info");
        EXPECT_NE(out.find("{\"event\":4,\"param\":1,\"text\":\"17\"}"), std::string::npos) << out;
        EXPECT_NE(out.find("{\"event\":258,\"param\":2,\"text\":\"+8613800100500\"}"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("{\"event\":3841,\"param\":3,\"text\":\"\\\"1-250\\\"\"}"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("{\"event\":3842,\"param\":4,\"text\":\"\\\"3/30\\\"\"}"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("exit 0"), std::string::npos) << out;
    }
}

// A modem that streams junk into a command without reply prefixes: the
// command fails clearly, the next one is answered right.
TEST(HostileModem, JunkStreamedIntoAPhonebookWriteFailsIt) {
    for (Kind kind : {Kind::Pty, Kind::Tcp}) {
        SCOPED_TRACE(kindName(kind));
        HostileModem modem(kind, [](const std::string& c) -> std::optional<std::string> {
            if (c.rfind("AT+CPBW=", 0) != 0) return std::nullopt;
            std::string junk;
            for (int i = 0; i < 5000; ++i) junk += "\r\n@@ junk line " + std::to_string(i);
            return junk + "\r\n\r\nOK\r\n";
        });
        ASSERT_TRUE(modem.ok());
        attach(modem.port());
        EventRecorder events;
        ASSERT_EQ(InitModules(), 0);
        RegistCallbackFunction(&EventRecorder::callback, &events);
        int id = SetTelphone(1, 3, "10086", "A");
        ASSERT_GE(id, 0);
        EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)),
                  "ERROR: reply too long");
        ASSERT_GE(GetSignal(1), 0);
        EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "17");
        CloseModules();
        RegistCallbackFunction(nullptr, nullptr);
    }
}

// A call that rings while the program starts, before it registers its
// callback: the next ring announces it, with the caller.
TEST(HostileModem, CallRingingBeforeTheCallbackIsAnnouncedAtTheNextRing) {
    HostileModem modem(Kind::Pty);
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    const std::string ring = "\r\nRING\r\n\r\n+CLIP: \"13912345678\",129\r\n";
    ASSERT_EQ(InitModules(), 0);
    modem.send(ring);
    // Input that came before a command is handled before it is sent.
    ASSERT_GE(GetSignal(1), 0);
    ASSERT_TRUE(modem.waitCommand("AT+CSQ"));
    EventRecorder events;
    RegistCallbackFunction(&EventRecorder::callback, &events);
    EXPECT_FALSE(events.take(MODLINK_EV_INCOMING_CALL, 1, 200).has_value());
    modem.send(ring);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_INCOMING_CALL, 1)), "13912345678");
    modem.send(ring);  // announced once per call
    EXPECT_FALSE(events.take(MODLINK_EV_INCOMING_CALL, 1, 300).has_value());
    CloseModules();
    RegistCallbackFunction(nullptr, nullptr);
}
