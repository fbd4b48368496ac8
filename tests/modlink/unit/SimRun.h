// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
// Runs one AT command line through the simulator's command table, as its
// server does: each command of the line in turn, stopping at a failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AtCommandTable.h"
#include "SimCommand.h"

namespace zuntosim {

inline SimReply runLine(const AtCommandTable& t, ModemState& s, const std::string& line) {
    std::vector<SimCommand> cmds;
    SimReply all;
    EXPECT_TRUE(parseCommandLine(line, cmds)) << line;
    for (const auto& c : cmds) {
        SimReply r;
        t.run(s, c, r);
        all.lines.insert(all.lines.end(), r.lines.begin(), r.lines.end());
        all.after.insert(all.after.end(), r.after.begin(), r.after.end());
        all.final = r.final;
        if (r.failed()) break;
    }
    return all;
}

}  // namespace zuntosim
