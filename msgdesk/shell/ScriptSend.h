// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "compose/ComposeController.h"
#include "platform/Clock.h"

namespace msgdesk {

// Sending from scripts: `msgdesk --send NUMBER TEXT` and the requests the
// running program answers on its ScriptChannel.
//
// Requests are one line: "RAISE" (a second start: show the window) or
// "SEND <number> <text>", both fields GBK as hex ("-" when empty). Answers:
// "OK" / "OK <OutBox row>", or "ERR InvalidNumber" / "ERR TextTooLong" /
// "ERR Unknown".
namespace script {

inline constexpr const char* kRaise = "RAISE";
std::string sendRequest(const std::string& numberGbk, const std::string& textGbk);

// The running program's answer to a request line: SEND is filed through
// the compose core (ComposeController::sendText), RAISE calls raise.
std::string answer(
    const std::string& line,
    const std::function<ComposeController::Sent(const std::string&, const std::string&)>& send,
    const std::function<void()>& raise);

// The session bus interface: Send(s number, s text) -> (u row) on this
// name, object and interface; a refusal is the error named here.
inline constexpr const char* kBusName = "org.kelvo.Msgdesk";
inline constexpr const char* kBusPath = "/org/kelvo/Msgdesk";
inline constexpr const char* kBusInterface = "org.kelvo.Msgdesk1";
// "org.kelvo.Msgdesk1.Error.InvalidNumber" or ".TextTooLong"; empty for Ok.
std::string busErrorName(ComposeCheck c);
// The refusal's one-line text (English, as the command line says it).
std::string refusalText(ComposeCheck c, const std::string& numberGbk, const std::string& textGbk);

// A text in the locale's encoding (the command line, standard input) in
// its stored form (GBK, four-byte GB18030 for what GBK lacks); none when
// its bytes are not text of that encoding.
std::optional<std::string> localeTextToGbk(const std::string& bytes);

struct Outcome {
    int exitCode = 0;     // 0 done, 2 refused, 1 failed
    std::string message;  // one line for the terminal
};

// `msgdesk --send`: refuses what the compose dialog would refuse (exit 2);
// hands the message to the Msgdesk running on root; with none running,
// takes the folder's lock and appends the row to the OutBox file (sent at
// the next start). A Msgdesk that holds the folder but does not answer
// within waitMs ends it with exit 1, nothing appended.
Outcome runSend(const std::filesystem::path& root, const std::string& numberGbk,
                const std::string& textGbk, const platform::Clock& clock, int waitMs = 5000);

// The offline half: appends rec to data/OutBox.db through a temporary file
// and a rename (a trailing piece shorter than a record is dropped, as a
// load drops it). The caller holds the folder's lock. Returns the row it
// became, or -1 with the reason in error.
int appendToOutBoxFile(const std::filesystem::path& root, const MessageRecord& rec,
                       std::string& error);

}  // namespace script
}  // namespace msgdesk
