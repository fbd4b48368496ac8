// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessCompose.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "compose/ComposeIds.h"
#include "compose/ComposeText.h"
#include "platform/Codepage.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

namespace headless {

namespace {

std::vector<std::string> g_steps;

int runScript(msgdesk::ComposeSession& s) {
    using namespace msgdesk::compose;
    std::string extra;
    std::string text = s.presetText();
    int refused = 0;
    int button = IDC_CANCEL;
    for (const std::string& step : g_steps) {
        const size_t sp = step.find(' ');
        const std::string verb = step.substr(0, sp);
        const std::string arg = sp == std::string::npos ? "" : step.substr(sp + 1);
        if (verb == "sim") {
            s.model().setShowSim(true);
        } else if (verb == "pick") {
            if (auto row = s.search(arg)) s.model().addRecipients({*row});
        } else if (verb == "number") {
            extra = arg;
        } else if (verb == "text") {
            // Key by key, as the field takes typed characters.
            for (size_t i = 0; i < arg.size();) {
                const size_t n = platform::codepage::charLength(arg, i);
                const std::string ch = arg.substr(i, n);
                if (msgdesk::AcceptedInsertLength(platform::codepage::messageCost(text), ch, true,
                                                  kTextLimit, text.size()) == ch.size())
                    text += ch;
                else
                    ++refused;
                i += n;
            }
        } else if (verb == "send" || verb == "save") {
            const int b = verb == "send" ? IDC_SEND : IDC_SAVE;
            if (s.close(b, extra, text)) button = b;
            break;
        } else {
            break;  // cancel
        }
    }
    g_steps.clear();
    std::string numbers;
    for (const auto& n : s.model().resultNumbers()) numbers += (numbers.empty() ? "" : ",") + n;
    const int mode = s.request().mode;
    std::printf("dialog mode=%d closed=%d refused=%d recipients=%s\n", mode, button, refused,
                button == IDC_CANCEL ? "" : numbers.c_str());
    return button;
}

}  // namespace

void installComposeScript(msgdesk::MainFrameCore& core) {
    core.composeDialogHook = [](msgdesk::ComposeSession& s) { return runScript(s); };
}

bool composeCommand(msgdesk::MainFrameCore& core, const std::string& line) {
    if (line.rfind("script ", 0) == 0) {
        g_steps.push_back(line.substr(7));
        return true;
    }
    if (line == "new") {
        core.command(msgdesk::cmd::NewMessage);
        std::printf("composed outbox=%d public=%d\n", core.store().box(msgdesk::OutBox).size(),
                    core.store().box(msgdesk::PublicBox).size());
        return true;
    }
    if (line.rfind("draft ", 0) == 0) {
        core.messageList().ShowMailbox(msgdesk::PublicBox);
        core.store().box(msgdesk::PublicBox).selectOnly(std::atoi(line.c_str() + 6));
        core.messageList().onDoubleClick();
        // The request is posted; the dialog runs with the next turn of the loop.
        std::printf("draft opened\n");
        return true;
    }
    if (line.rfind("rows ", 0) == 0) {
        const int box = std::atoi(line.c_str() + 5);
        if (box >= 0 && box < msgdesk::kMailboxCount) {
            const auto& b = core.store().box(static_cast<msgdesk::MailboxId>(box));
            for (int r = 0; r < b.size(); ++r) {
                const auto& rec = b.row(r).rec;
                std::printf("row %s|%s|%s|%s|%s\n", rec.number().c_str(), rec.contact().c_str(),
                            rec.text().c_str(), rec.date().c_str(), rec.time().c_str());
            }
        }
        std::printf("end\n");
        return true;
    }
    return false;
}

}  // namespace headless
