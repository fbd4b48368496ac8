// SPDX-License-Identifier: LGPL-2.1-or-later
// The SIM's state and the tries left, in the forms modems give them.
#include <gtest/gtest.h>

#include "at/CpinParser.h"

using modlink::at::parseCpin;
using modlink::at::parsePinTries;

TEST(CpinParser, StateAndTriesTable) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        const char* code;  // asked for parsePinTries
        std::optional<std::string> state;
        std::optional<int> tries;
    };
    const Row rows[] = {
        {"ready", {"+CPIN: READY"}, "SIM PIN", "READY", std::nullopt},
        {"pin, lower case", {"+CPIN: sim pin"}, "SIM PIN", "SIM PIN", std::nullopt},
        {"quoted", {"+CPIN: \"SIM PUK\""}, "SIM PUK", "SIM PUK", std::nullopt},
        {"no +CPIN line", {"OK"}, "SIM PIN", std::nullopt, std::nullopt},
        {"empty code", {"+CPIN: "}, "SIM PIN", std::nullopt, std::nullopt},
        {"27.007 +CPINR, the PIN's line",
         {"+CPINR: SIM PIN,3,3", "+CPINR: SIM PUK,10,10"},
         "SIM PIN",
         std::nullopt,
         3},
        {"27.007 +CPINR, the PUK's line",
         {"+CPINR: SIM PIN,0,3", "+CPINR: SIM PUK,9,10"},
         "SIM PUK",
         std::nullopt,
         9},
        {"+CPINR without the asked code",
         {"+CPINR: SIM PIN2,3,3"},
         "SIM PIN",
         std::nullopt,
         std::nullopt},
        {"Huawei ^CPIN: pin_times is the 4th field",
         {"^CPIN: SIM PIN,3,10,2,10,3"},
         "SIM PIN",
         std::nullopt,
         2},
        {"Huawei ^CPIN: puk_times the 3rd",
         {"^CPIN: SIM PUK,9,9,0,10,3"},
         "SIM PUK",
         std::nullopt,
         9},
        {"Huawei ^CPIN: too short", {"^CPIN: SIM PIN,3,10"}, "SIM PIN", std::nullopt, std::nullopt},
        {"Quectel +QPINC", {"+QPINC: \"SC\",1,10"}, "SIM PIN", std::nullopt, 1},
        {"Quectel +QPINC, PUK", {"+QPINC: \"SC\",0,8"}, "SIM PUK", std::nullopt, 8},
        {"Quectel +QPINC of PIN2", {"+QPINC: \"P2\",3,10"}, "SIM PIN", std::nullopt, std::nullopt},
        {"99 tries: the last count read", {"+CPINR: SIM PIN,99,99"}, "SIM PIN", std::nullopt, 99},
        {"100 tries: no count", {"+CPINR: SIM PIN,100,3"}, "SIM PIN", std::nullopt, std::nullopt},
        {"negative", {"+CPINR: SIM PIN,-1,3"}, "SIM PIN", std::nullopt, std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(parseCpin(r.lines), r.state);
        EXPECT_EQ(parsePinTries(r.lines, r.code), r.tries);
    }
}
