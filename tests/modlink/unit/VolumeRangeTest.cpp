// SetVolume against a modem that claims a very wide +CLVL range: the level
// is mapped into it without integer overflow.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/EventSink.h"
#include "engine/Link.h"
#include "ops/Requests.h"

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
    int ls = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(ls, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(ls, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(ls, 1), 0);
    ASSERT_EQ(::getsockname(ls, reinterpret_cast<sockaddr*>(&addr), &len), 0);

    std::mutex setMutex;
    std::vector<std::string> set;
    std::atomic<bool> stop{false};
    std::thread modem([&] {
        pollfd lp{ls, POLLIN, 0};
        if (::poll(&lp, 1, 5000) <= 0) return;
        int c = ::accept(ls, nullptr, nullptr);
        std::string in;
        char buf[512];
        while (!stop) {
            pollfd p{c, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            in.append(buf, static_cast<std::size_t>(n));
            for (auto cr = in.find('\r'); cr != std::string::npos; cr = in.find('\r')) {
                std::string line = in.substr(0, cr);
                in.erase(0, cr + 1);
                std::string reply = "\r\nOK\r\n";
                if (line == "AT+CLVL=?") {
                    reply = "\r\n+CLVL: (0-2147483647)\r\n\r\nOK\r\n";
                } else if (line.rfind("AT+CLVL=", 0) == 0) {
                    std::lock_guard l(setMutex);
                    set.push_back(line.substr(8));
                }
                [[maybe_unused]] auto w = ::write(c, reply.data(), reply.size());
            }
        }
        ::close(c);
    });

    ::setenv("MODLINK_PORTS", ("tcp:127.0.0.1:" + std::to_string(ntohs(addr.sin_port))).c_str(), 1);
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
    stop = true;
    modem.join();
    ::close(ls);
    ::unsetenv("MODLINK_PORTS");
    ::unsetenv("MODLINK_USB");
    EXPECT_EQ(answers.volume, (std::vector<std::string>{"OK", "OK"}));
    EXPECT_EQ(set, (std::vector<std::string>{"2147483647", "1073741824"}));
}
