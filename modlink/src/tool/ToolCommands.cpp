// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ToolCommands.h"

#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>

#include "engine/Json.h"
#include "engine/Link.h"
#include "modlink.h"
#include "ops/Requests.h"

namespace modlink::tool {

namespace {

std::string usbId(unsigned vendor, unsigned product) {
    if (vendor == 0 && product == 0) return {};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04x:%04x", vendor & 0xFFFF, product & 0xFFFF);
    return buf;
}

// One raw command's first information line, the "+CGMI: " form's prefix
// dropped; empty when it fails or gives none.
std::string ask(int device, const std::string& text, int waitSeconds) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::string answer;
    int id = requests::raw(device, text, [&](const at::AtReply& r) {
        std::lock_guard lock(m);
        if (r.ok() && !r.lines.empty()) {
            answer = r.lines.front();
            if (answer.rfind(text.substr(2) + ":", 0) == 0) answer = answer.substr(text.size() - 1);
            auto b = answer.find_first_not_of(" \"");
            auto e = answer.find_last_not_of(" \"");
            answer = b == std::string::npos ? "" : answer.substr(b, e - b + 1);
        }
        done = true;
        cv.notify_all();
    });
    if (id < 0) return {};
    std::unique_lock lock(m);
    cv.wait_for(lock, std::chrono::seconds(waitSeconds), [&] { return done; });
    return answer;
}

// Waits until the device's queue has run what is in it now (the state
// announcements made at registration).
void settle(int device, int waitSeconds) {
    ask(device, "AT", waitSeconds);
}

// One code: from the terminal without echo, else one line of stdin.
std::optional<std::string> readCode(const std::string& prompt) {
    std::string line;
    if (::isatty(STDIN_FILENO)) {
        std::cerr << prompt << std::flush;
        termios old{};
        ::tcgetattr(STDIN_FILENO, &old);
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        bool ok = static_cast<bool>(std::getline(std::cin, line));
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::cerr << "\n";
        if (!ok) return std::nullopt;
    } else if (!std::getline(std::cin, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

std::vector<int> devicesOf(int chosen) {
    int n = 0;
    GetActiveDeviceCount(&n);
    std::vector<int> out;
    for (int d = 1; d <= n; ++d)
        if (chosen == 0 || chosen == d) out.push_back(d);
    return out;
}

int portsCommand(ToolEvents& events, int device, int waitSeconds) {
    for (int d : devicesOf(device)) {
        auto w = Link::instance().device(d);
        if (!w) continue;
        const auto& o = w->origin();
        events.print("{\"device\":" + std::to_string(d) + ",\"port\":" + jsonString(w->portName()) +
                     ",\"usb\":" + jsonString(usbId(o.vendor, o.product)) +
                     ",\"maker\":" + jsonString(ask(d, "AT+CGMI", waitSeconds)) +
                     ",\"model\":" + jsonString(ask(d, "AT+CGMM", waitSeconds)) +
                     ",\"found\":" + jsonString(o.how.empty() ? "named" : o.how) + "}");
    }
    for (const auto& u : Link::instance().unusedPorts())
        events.print("{\"unused\":" + jsonString(u.path) +
                     ",\"usb\":" + jsonString(usbId(u.vendor, u.product)) +
                     ",\"why\":" + jsonString(u.why) + "}");
    return 0;
}

int pinCommand(ToolEvents& events, const std::vector<std::string>& args, int device,
               int waitSeconds) {
    if (args.size() == 2 && args[1] == "status") {
        for (int d : devicesOf(device)) {
            settle(d, waitSeconds);
            std::string state = events.simState(d);
            events.print("{\"device\":" + std::to_string(d) +
                         ",\"sim\":" + jsonString(state.empty() ? "READY" : state) + "}");
        }
        return 0;
    }
    if (args.size() != 2 || args[1] != "enter") return 2;
    int d = device ? device : 1;
    settle(d, waitSeconds);
    std::string state = events.simState(d);
    if (state.empty() || state == "SIM not inserted") {
        events.print("{\"device\":" + std::to_string(d) + ",\"error\":" +
                     jsonString(state.empty() ? "the SIM wants no PIN" : state) + "}");
        return 1;
    }
    bool puk = state.rfind("SIM PUK", 0) == 0;
    std::string which = "device " + std::to_string(d);
    auto code = readCode(puk ? "PUK for " + which + ": " : "PIN for " + which + ": ");
    std::optional<std::string> newPin;
    if (code && puk) {
        newPin = readCode("new PIN: ");
        if (!newPin) code.reset();
    }
    if (!code) {
        events.print("{\"error\":\"no code given\"}");
        return 1;
    }
    int id = EnterSimPin(d, code->c_str(), newPin ? newPin->c_str() : nullptr);
    // Not kept longer than needed.
    std::fill(code->begin(), code->end(), '\0');
    if (newPin) std::fill(newPin->begin(), newPin->end(), '\0');
    if (id < 0) {
        events.print("{\"error\":\"pin enter refused: a PIN is 4 to 8 digits\"}");
        return 1;
    }
    events.expectAnswer(id);
    if (!events.wait(waitSeconds)) {
        events.print("{\"error\":\"no answer in time\"}");
        return 1;
    }
    // A wrong code's new state follows its answer.
    settle(d, waitSeconds);
    return events.anyError() ? 1 : 0;
}

}  // namespace modlink::tool
