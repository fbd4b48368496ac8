// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessDialogs.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "shell/MainFrameCore.h"
#include "types/Commands.h"

namespace headless {

namespace {

std::vector<unsigned>* g_boxes = nullptr;
std::vector<std::pair<int, std::string>> g_edits;

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

void printRows(const msgdesk::SimMessageModel& m) {
    for (const auto& r : m.rows())
        std::printf("simrow %s %s\n", r.rec.number().c_str(), r.rec.status().c_str());
}

}  // namespace

void installDialogScripts(msgdesk::MainFrameCore&, std::vector<unsigned>* boxesShown) {
    g_boxes = boxesShown;
}

bool dialogCommand(msgdesk::MainFrameCore& core, const std::string& line) {
    using msgdesk::cmd::SimMessages;
    const auto w = words(line);
    if (w.empty()) return false;
    if (w[0] == "simlist" && w.size() == 2) {
        if (!core.commandEnabled(SimMessages)) {
            std::printf("simlist disabled\n");
            return true;
        }
        core.simMessageDialogHook = [w](msgdesk::SimMessageModel& m) {
            m.setFilter(std::atoi(w[1].c_str()));
            printRows(m);
            std::printf("simlist %s\n", m.countText().c_str());
            return 2;
        };
        core.command(SimMessages);
    } else if (w[0] == "simdelete" && w.size() == 4) {
        const int answer = w[3] == "yes" ? 1 : w[3] == "no" ? 1044 : 2;
        core.keepOnComputerHook = [answer] { return answer; };
        core.simMessageDialogHook = [w](msgdesk::SimMessageModel& m) {
            m.setFilter(std::atoi(w[1].c_str()));
            std::vector<int> rows;
            for (int i = 0; i < std::atoi(w[2].c_str()); ++i) rows.push_back(i);
            m.setSelection(rows);
            const size_t listed = m.rows().size();
            m.deleteSelected();
            std::printf("simdelete rows=%zu\n", listed);
            return 2;
        };
        core.command(SimMessages);
    } else if (w[0] == "centre" && w.size() == 3) {
        g_edits.emplace_back(std::atoi(w[1].c_str()), w[2]);
    } else if (w[0] == "properties" && w.size() == 2) {
        const int result = w[1] == "ok" ? 1 : 2;
        core.settingsDialogHook = [result](msgdesk::PropertiesModel& m) {
            for (const auto& [row, number] : g_edits)
                if (m.beginEdit(row)) m.endEdit(row, number);
            std::printf("properties modified=%d\n", m.modified() ? 1 : 0);
            return result;
        };
        core.command(msgdesk::cmd::Settings);
        g_edits.clear();
    } else if (w[0] == "centres") {
        std::string out;
        for (int d = 1; d <= core.link().deviceCount(); ++d)
            out += (d > 1 ? "," : "") + core.link().devices().centreNumber(d);
        std::printf("centres %s\n", out.c_str());
    } else if (w[0] == "boxes") {
        std::string out;
        for (unsigned id : *g_boxes) out += (out.empty() ? "" : ",") + std::to_string(id);
        std::printf("boxes %s\n", out.c_str());
    } else {
        return false;
    }
    return true;
}

}  // namespace headless
