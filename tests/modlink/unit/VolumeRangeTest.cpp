// SPDX-License-Identifier: LGPL-2.1-or-later
// SetVolume against a modem that claims a very wide +CLVL range: the level
// is mapped into it without integer overflow.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "engine/EventSink.h"
#include "engine/Link.h"
#include "ops/Requests.h"
#include "support/HostileModem.h"

using namespace modlink;

namespace {

struct Answers {
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::string> volume;
};

int MODLINK_CALL record(unsigned event, const char* text, void* context, int) {
    auto* a = static_cast<Answers*>(context);
    if (event != MODLINK_EV_VOLUME) return 0;
    std::lock_guard l(a->m);
    a->volume.push_back(text ? text : "(null)");
    a->cv.notify_all();
    return 0;
}

}  // namespace

TEST(VolumeRange, WideRangeFromTheModemMapsWithoutOverflow) {
    HostileModem modem(HostileModem::Kind::Tcp,
                       [](const std::string& c) -> std::optional<std::string> {
                           if (c == "AT+CLVL=?") return "\r\n+CLVL: (0-2147483647)\r\n\r\nOK\r\n";
                           return std::nullopt;  // a plain modem's answer
                       });
    ASSERT_TRUE(modem.ok());
    ::setenv("MODLINK_PORTS", modem.port().c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    Answers answers;
    EventSink::instance().set(&record, &answers);
    EXPECT_EQ(Link::instance().open(), 0);
    EXPECT_GE(requests::setVolume(1, 90), 0);
    EXPECT_GE(requests::setVolume(1, 50), 0);
    {
        std::unique_lock l(answers.m);
        answers.cv.wait_for(l, std::chrono::seconds(5), [&] { return answers.volume.size() >= 2; });
    }
    Link::instance().close();
    EventSink::instance().set(nullptr, nullptr);
    ::unsetenv("MODLINK_PORTS");
    ::unsetenv("MODLINK_USB");
    EXPECT_EQ(answers.volume, (std::vector<std::string>{"OK", "OK"}));
    std::vector<std::string> set;
    for (const auto& c : modem.commands())
        if (c.rfind("AT+CLVL=", 0) == 0 && c != "AT+CLVL=?") set.push_back(c.substr(8));
    EXPECT_EQ(set, (std::vector<std::string>{"2147483647", "1073741824"}));
}
