// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace wanmate {

// `wanmate --connect [--wait]`, `--disconnect` and `--status` talk to the
// running dialer over a Unix socket in its run directory (private to the
// user: 0700). One request line per connection; the dialer answers with
// lines for the user and a last line "exit N", N being the exit status.
enum class ControlRequest { Connect, ConnectWait, Disconnect, Status };

std::optional<ControlRequest> parseControlRequest(const std::string& line);
const char* controlRequestText(ControlRequest r);

// The dialer's end of one request: lines go to the asking command at
// once; done() sends the exit status and closes. A reply dropped without
// done() says the request ended with status 1.
class ControlReply {
public:
    explicit ControlReply(int fd) : m_fd(fd) {}
    ~ControlReply();
    ControlReply(const ControlReply&) = delete;
    ControlReply& operator=(const ControlReply&) = delete;
    void line(const std::string& text);
    void done(int status);
    bool open() const { return m_fd >= 0; }

private:
    int m_fd;
};
using ControlReplyPtr = std::shared_ptr<ControlReply>;

// The socket the running dialer listens on.
class ControlServer {
public:
    using Handler = std::function<void(ControlRequest, ControlReplyPtr)>;

    ControlServer(std::filesystem::path socket, Handler handler);
    ~ControlServer();
    // Binds the socket (a stale one of an earlier run is replaced: the
    // instance lock says no other dialer of this user runs). False with
    // the reason when the run directory is not safely ours.
    bool listen(std::string* why);
    int fd() const { return m_fd; }
    // The socket is readable: takes one waiting request.
    void onReadable();

private:
    std::filesystem::path m_path;
    Handler m_handler;
    int m_fd = -1;
};

// The command line's end: sends the request, copies the answer to `out`
// and returns the exit status (1, with a message on `err`, when no dialer
// answers).
int runControlClient(const std::filesystem::path& socket, ControlRequest request, std::FILE* out,
                     std::FILE* err);

// The socket's place in a run directory.
inline std::filesystem::path controlSocketIn(const std::filesystem::path& runDir) {
    return runDir / "control";
}

}  // namespace wanmate
