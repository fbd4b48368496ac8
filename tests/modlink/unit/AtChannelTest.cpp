// SPDX-License-Identifier: LGPL-2.1-or-later
// The AT channel over a socket pair, with a scripted modem on the far end:
// the prompt and payload of message commands, ESC after a time-out at the
// prompt, unsolicited handlers, stale input.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "engine/AtChannel.h"
#include "support/SocketPairModem.h"
#include "transport/FdTransport.h"

using namespace modlink;

namespace {

// The channel on the near end of a socket pair; the test plays the modem.
class ScriptedModem : public support::SocketPairModem {
public:
    ScriptedModem() {
        m_wake = ::eventfd(0, EFD_NONBLOCK);
        m_channel =
            std::make_unique<AtChannel>(std::make_unique<FdTransport>(takeNearEnd(), "pair", true),
                                        m_router, m_wake, m_stop, m_device);
    }
    ~ScriptedModem() {
        joinPeer();
        m_channel.reset();
        ::close(m_wake);
    }

    at::UnsolicitedRouter m_router;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_device{1};
    int m_wake = -1;
    std::unique_ptr<AtChannel> m_channel;
};

at::AtCommand cmd(std::string text, std::vector<std::string> prefixes, int ms = 2000) {
    at::AtCommand c;
    c.text = std::move(text);
    c.prefixes = std::move(prefixes);
    c.timeout = std::chrono::milliseconds(ms);
    return c;
}

}  // namespace

TEST(AtChannel, PayloadGoesAfterThePromptWithCtrlZ) {
    ScriptedModem m;
    std::string command, payload;
    m.peer([&] {
        command = m.readUntil('\r');
        m.write("\r\n> ");
        payload = m.readUntil('\x1A');
        m.write("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    });
    auto c = cmd("AT+CMGS=5", {"+CMGS:"});
    c.payload = "0011AB";
    bool handled = false;
    c.handler = [&](const at::AtReply& r) { handled = r.ok(); };
    auto r = m.m_channel->execute(c);
    m.joinPeer();
    EXPECT_EQ(command, "AT+CMGS=5\r");
    EXPECT_EQ(payload, "0011AB\x1A");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, std::vector<std::string>{"+CMGS: 7"});
    EXPECT_TRUE(handled);
}

TEST(AtChannel, TimeoutAtThePromptSendsEscape) {
    ScriptedModem m;
    std::string after;
    m.peer([&] {
        m.readUntil('\r');
        m.write("\r\n> ");
        after = m.readUntil('\x1B');
    });
    auto c = cmd("AT+CMGS=5", {"+CMGS:"}, 200);
    c.payload = "00";
    auto r = m.m_channel->execute(c);
    m.joinPeer();
    EXPECT_EQ(r.status, at::AtStatus::Timeout);
    EXPECT_EQ(after, "00\x1A\x1B");
}

TEST(AtChannel, UnsolicitedHandlersRunDuringACommand) {
    ScriptedModem m;
    std::vector<std::vector<std::string>> seen;
    m.m_router.add("+CMTI:", 0, [&](const std::vector<std::string>& l) { seen.push_back(l); });
    m.m_router.add("+CMT:", 1, [&](const std::vector<std::string>& l) { seen.push_back(l); });
    m.peer([&] {
        m.readUntil('\r');
        m.write("\r\n+CMTI: \"SM\",4\r\n+CSQ: 9,99\r\n+CMT: ,24\r\n0791A8\r\nOK\r\n");
    });
    auto r = m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}));
    m.joinPeer();
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, std::vector<std::string>{"+CSQ: 9,99"});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::vector<std::string>{"+CMTI: \"SM\",4"});
    EXPECT_EQ(seen[1], (std::vector<std::string>{"+CMT: ,24", "0791A8"}));
}

TEST(AtChannel, InputFromBeforeTheCommandIsNotItsReply) {
    ScriptedModem m;
    m.write("\r\nOK\r\n");  // a stray OK, e.g. of a command another program sent
    m.peer([&] {
        m.readUntil('\r');
        m.write("\r\n+CSQ: 3,99\r\n\r\nOK\r\n");
    });
    auto r = m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}));
    m.joinPeer();
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, std::vector<std::string>{"+CSQ: 3,99"});
}

TEST(AtChannel, ClosedPortIsUnplugged) {
    ScriptedModem m;
    ::shutdown(m.farEnd(), SHUT_RDWR);
    auto r = m.m_channel->execute(cmd("AT", {}));
    EXPECT_EQ(r.status, at::AtStatus::Unplugged);
    EXPECT_FALSE(m.m_channel->alive());
}

// After a time-out the modem may still owe the final result: when it comes
// right after the probe, the probe's own OK follows and must not answer the
// next command.
TEST(AtChannel, ProbeAnswerAfterALateReplyIsNotTheNextCommandsReply) {
    ScriptedModem m;
    std::string probe;
    m.peer([&] {
        m.readUntil('\r');  // the command that times out
        probe = m.readUntil('\r');
        m.write("\r\nOK\r\n");  // its late final result
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m.write("\r\nOK\r\n");  // the probe's own
        m.readUntil('\r');
        m.write("\r\n+CSQ: 5,99\r\n\r\nOK\r\n");
    });
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}, 100)).status, at::AtStatus::Timeout);
    auto r = m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}));
    m.joinPeer();
    EXPECT_EQ(probe, "AT\r");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, std::vector<std::string>{"+CSQ: 5,99"});
}

// A probe that times out too leaves the channel out of step: the next
// command is not sent until the owed replies are in.
TEST(AtChannel, CommandWaitsUntilATimedOutProbeIsAnswered) {
    ScriptedModem m;
    m.peer([&] {
        m.readUntil('\r');
        m.readUntil('\r');  // the probe, answered too late
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        m.write("\r\nOK\r\n\r\nOK\r\n");
        m.readUntil('\r');
        m.write("\r\n+CSQ: 6,99\r\n\r\nOK\r\n");
    });
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}, 100)).status, at::AtStatus::Timeout);
    auto r = m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}));
    m.joinPeer();
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, std::vector<std::string>{"+CSQ: 6,99"});
    EXPECT_TRUE(m.m_channel->alive());
}

// The library runs verbose (ATV1): a "4" that is an information line must
// not end the command as ERROR; after ATV0 it does.
TEST(AtChannel, NumericResultsOnlyAfterV0) {
    ScriptedModem m;
    m.peer([&] {
        m.readUntil('\r');  // ATV1
        m.write("\r\nOK\r\n");
        m.readUntil('\r');
        m.write("\r\n4\r\n0\r\n\r\nOK\r\n");
        m.readUntil('\r');  // ATV0: its own result is numeric already
        m.write("0\r");
        m.readUntil('\r');
        m.write("4\r");
    });
    EXPECT_TRUE(m.m_channel->execute(cmd("ATV1", {})).ok());
    auto r = m.m_channel->execute(cmd("AT+CGSN", {}));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.lines, (std::vector<std::string>{"4", "0"}));
    EXPECT_TRUE(m.m_channel->execute(cmd("ATV0", {})).ok());
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CGSN", {})).status, at::AtStatus::Error);
    m.joinPeer();
}

// A modem that streams junk during a command without prefixes: the
// command fails clearly once the bound is passed, and what it kept is gone.
TEST(AtChannel, StreamingJunkFailsTheCommandPastTheBound) {
    ScriptedModem m;
    m.peer([&] {
        m.readUntil('\r');
        std::string burst;
        for (int i = 0; i < 100; ++i) burst += "junk junk junk junk junk junk\r\n";
        for (std::size_t sent = 0; sent <= at::AtReplyAssembler::kMaxLines; sent += 100) {
            pollfd p{m.farEnd(), POLLOUT, 0};
            ::poll(&p, 1, 1000);
            m.write(burst);
        }
        m.write("OK\r\n");
    });
    auto r = m.m_channel->execute(cmd("AT+CPBW=1", {}, 5000));
    m.joinPeer();
    EXPECT_EQ(r.status, at::AtStatus::Overflow);
    EXPECT_TRUE(r.lines.empty());
    EXPECT_TRUE(m.m_channel->alive());
}

// The counter of time-outs in a row: a silent command and a silent probe
// are two, an answered probe starts again from nought, so the pattern
// twice over leaves the device alive and the commands after it work.
TEST(AtChannel, TwoTimeoutsAnOkAndTwoMoreLeaveTheDeviceAlive) {
    ScriptedModem m;
    std::vector<std::string> seen;
    m.peer([&] {
        for (bool answer : {false, false, true, false, false, true, true}) {
            std::string line = m.readUntil('\r');
            seen.push_back(line);
            if (answer) m.write("\r\nOK\r\n");
        }
    });
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}, 100)).status, at::AtStatus::Timeout);
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CREG?", {"+CREG:"}, 100)).status, at::AtStatus::Timeout);
    auto r = m.m_channel->execute(cmd("AT+CPIN?", {"+CPIN:"}));
    m.joinPeer();
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(m.m_channel->alive());
    EXPECT_EQ(seen, (std::vector<std::string>{"AT+CSQ\r", "AT\r", "AT\r", "AT+CREG?\r", "AT\r",
                                              "AT\r", "AT+CPIN?\r"}));
}

// Exactly the third silent command in a row (here the second probe) marks
// the device lost: nothing more is sent and the next command is refused.
TEST(AtChannel, ThreeTimeoutsInARowMarkTheDeviceLost) {
    ScriptedModem m;
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CSQ", {"+CSQ:"}, 100)).status, at::AtStatus::Timeout);
    EXPECT_TRUE(m.m_channel->alive());
    EXPECT_EQ(m.m_channel->execute(cmd("AT+CREG?", {"+CREG:"}, 100)).status,
              at::AtStatus::Unplugged);
    EXPECT_FALSE(m.m_channel->alive());
    EXPECT_EQ(m.sentCommands(), (std::vector<std::string>{"AT+CSQ", "AT", "AT"}));
    EXPECT_EQ(m.m_channel->execute(cmd("AT", {})).status, at::AtStatus::Unplugged);
    EXPECT_TRUE(m.sentCommands().empty());
}
