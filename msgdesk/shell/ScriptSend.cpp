// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ScriptSend.h"

#include <iconv.h>
#include <langinfo.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "compose/ComposeIds.h"
#include "contacts/ContactFiles.h"
#include "device/SimPhonebook.h"
#include "platform/Codepage.h"
#include "shell/InstanceLock.h"
#include "shell/ScriptChannel.h"
#include "store/AtomicFile.h"
#include "store/HexField.h"
#include "store/MessageList.h"

namespace msgdesk::script {

namespace {

// The offline send has nobody to show a message box to; the checks before
// it leave none to show.
class NoMessageBox final : public platform::MessageBoxPort {
public:
    int show(const platform::MessageBoxRequest&) override { return platform::IDOK; }
};

}  // namespace

std::string busErrorName(ComposeCheck c) {
    switch (c) {
        case ComposeCheck::InvalidNumber:
            return std::string(kBusInterface) + ".Error.InvalidNumber";
        case ComposeCheck::TextTooLong:
            return std::string(kBusInterface) + ".Error.TextTooLong";
        default:
            return {};
    }
}

std::string refusalText(ComposeCheck c, const std::string& numberGbk, const std::string& textGbk) {
    if (c == ComposeCheck::InvalidNumber)
        return "invalid number \"" + platform::codepage::gbkToUtf8(numberGbk) +
               "\" (digits, +, * and #, at most " + std::to_string(compose::kNumberLimit) + ")";
    return "text too long: " + std::to_string(textGbk.size()) + " bytes, at most " +
           std::to_string(compose::kTextLimit) + " (a Chinese character takes two)";
}

std::string sendRequest(const std::string& numberGbk, const std::string& textGbk) {
    return "SEND " + hexField(numberGbk) + " " + hexField(textGbk);
}

std::string answer(
    const std::string& line,
    const std::function<ComposeController::Sent(const std::string&, const std::string&)>& send,
    const std::function<void()>& raise) {
    if (line == kRaise) {
        if (raise) raise();
        return "OK";
    }
    std::istringstream in(line);
    std::string verb, number, text, extra;
    std::string numberGbk, textGbk;
    if (!(in >> verb >> number >> text) || (in >> extra) || verb != "SEND" ||
        !unhexField(number, numberGbk) || !unhexField(text, textGbk) || !send)
        return "ERR Unknown";
    const ComposeController::Sent sent = send(numberGbk, textGbk);
    switch (sent.check) {
        case ComposeCheck::InvalidNumber:
            return "ERR InvalidNumber";
        case ComposeCheck::TextTooLong:
            return "ERR TextTooLong";
        default:
            return sent.row >= 0 ? "OK " + std::to_string(sent.row) : "ERR Unknown";
    }
}

std::optional<std::string> localeTextToGbk(const std::string& bytes) {
    const char* codeset = nl_langinfo(CODESET);
    std::string utf8;
    if (!codeset || std::string_view(codeset) == "UTF-8") {
        utf8 = bytes;
    } else {
        iconv_t cd = iconv_open("UTF-8", codeset);
        if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        std::string in = bytes;
        utf8.assign(in.size() * 4 + 16, '\0');
        char* ip = in.data();
        size_t il = in.size();
        char* op = utf8.data();
        size_t ol = utf8.size();
        const size_t rc = iconv(cd, &ip, &il, &op, &ol);
        iconv_close(cd);
        if (rc == static_cast<size_t>(-1)) return std::nullopt;
        utf8.resize(utf8.size() - ol);
    }
    // Round trip: a byte that is no UTF-8 (or a character with no stored
    // form at all) would come back changed; such a text is refused rather
    // than sent altered.
    std::string gbk = platform::codepage::utf8ToGbk(utf8);
    if (platform::codepage::gbkToUtf8(gbk) != utf8) return std::nullopt;
    return gbk;
}

int appendToOutBoxFile(const std::filesystem::path& root, const MessageRecord& rec,
                       std::string& error) {
    const std::filesystem::path file = root / "data" / "OutBox.db";
    std::string bytes;
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !readWholeFile(file, bytes, error)) return -1;
    bytes.resize(bytes.size() / sizeof(MessageRecord) * sizeof(MessageRecord));
    const int row = static_cast<int>(bytes.size() / sizeof(MessageRecord));
    MessageRecord onDisk = rec;
    onDisk.Icon = 0;
    bytes.append(reinterpret_cast<const char*>(&onDisk), sizeof onDisk);
    if (!writeFileAtomically(file, bytes, error, FileAccess::Private)) return -1;
    return row;
}

Outcome runSend(const std::filesystem::path& root, const std::string& numberGbk,
                const std::string& textGbk, const platform::Clock& clock, int waitMs) {
    const ComposeCheck check = CheckComposedMessage(numberGbk, textGbk);
    if (check != ComposeCheck::Ok) return {2, "msgdesk: " + refusalText(check, numberGbk, textGbk)};
    const std::string shownNumber = platform::codepage::gbkToUtf8(numberGbk);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    InstanceLock lock(root);
    for (;;) {
        bool connected = false;
        const std::optional<std::string> reply =
            ScriptChannel::ask(root, sendRequest(numberGbk, textGbk), waitMs, &connected);
        if (reply) {
            int row = -1;
            if (reply->rfind("OK ", 0) == 0 && ParseDecimal(reply->substr(3), row))
                return {0, "msgdesk: handed to the running Msgdesk: to " + shownNumber +
                               ", OutBox row " + std::to_string(row + 1) + ", sending"};
            if (*reply == "ERR InvalidNumber")
                return {2,
                        "msgdesk: " + refusalText(ComposeCheck::InvalidNumber, numberGbk, textGbk)};
            if (*reply == "ERR TextTooLong")
                return {2,
                        "msgdesk: " + refusalText(ComposeCheck::TextTooLong, numberGbk, textGbk)};
            return {1, "msgdesk: the running Msgdesk did not take the message (" + *reply + ")"};
        }
        // Connected but no answer: it may have filed the message, so it is
        // not filed a second time here.
        if (connected)
            return {1, "msgdesk: the running Msgdesk did not answer; look in its OutBox"};
        if (lock.tryLock()) break;
        // Held but not listening: a Msgdesk starting or closing. Ask again.
        if (std::chrono::steady_clock::now() >= end)
            return {1, "msgdesk: a Msgdesk holds " + root.string() + " but does not answer"};
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ContactBook book;
    LoadContacts(book, ContactFiles{root}.file());
    SimPhonebook sims;
    NoMessageBox box;
    const std::vector<MessageRecord> rows =
        ComposeController::composedRows(book, sims, numberGbk, textGbk, clock.localNow(), box);
    if (rows.empty())
        return {2, "msgdesk: " + refusalText(ComposeCheck::InvalidNumber, numberGbk, textGbk)};
    std::string error;
    const int row = appendToOutBoxFile(root, rows.front(), error);
    if (row < 0) return {1, "msgdesk: cannot write the OutBox: " + error};
    return {0, "msgdesk: Msgdesk is not running; to " + shownNumber + ", OutBox row " +
                   std::to_string(row + 1) + ", will be sent at its next start"};
}

}  // namespace msgdesk::script
