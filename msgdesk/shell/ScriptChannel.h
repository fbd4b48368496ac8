// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace msgdesk {

// How a second start and `msgdesk --send` reach the Msgdesk running on the
// same data folder: a local stream socket named after the user and the
// folder (an abstract name, so nothing is left behind when the program
// dies). One request line, one answer line. Only the same user's
// processes are answered (the peer's credentials are checked).
class ScriptChannel final {
public:
    ScriptChannel() = default;
    ~ScriptChannel();
    ScriptChannel(const ScriptChannel&) = delete;
    ScriptChannel& operator=(const ScriptChannel&) = delete;

    // Starts listening for the folder; false when the name is taken (only
    // the holder of the folder's lock listens) or the socket fails.
    bool listen(const std::filesystem::path& root);
    // The listening descriptor, for the event loop to watch (-1: none).
    int fd() const { return m_fd; }
    // Takes one waiting connection, reads its line (bounded in time and
    // length), writes answer(line) and closes it. Nothing happens when no
    // connection waits or the peer is another user.
    void serveOne(const std::function<std::string(const std::string&)>& answer);

    // Sends one line to the Msgdesk on the folder; its answer, or none
    // when nobody listens or no answer came within timeoutMs. connected
    // tells the two apart (the request may have been taken).
    static std::optional<std::string> ask(const std::filesystem::path& root,
                                          const std::string& line, int timeoutMs,
                                          bool* connected = nullptr);

private:
    int m_fd = -1;
};

}  // namespace msgdesk
