// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes through the line splitter and the reply assembler
// (as a modem's reply to several commands) and every reply parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "at/AtFinalResult.h"
#include "at/AtLineSplitter.h"
#include "at/AtReplyAssembler.h"
#include "at/AtText.h"
#include "at/CdsParser.h"
#include "at/CmglParser.h"
#include "at/CpbrParser.h"
#include "at/CpmsParser.h"
#include "at/CscaParser.h"
#include "at/CsqParser.h"
#include "at/NameCodec.h"

using namespace modlink::at;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const Charset sets[] = {Charset::Ucs2, Charset::Gsm, Charset::Ira, Charset::Hex};
    Charset cs = sets[data[0] % 4];
    bool prompt = data[0] & 0x10;
    bool numeric = data[0] & 0x20;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    static const char* commands[][2] = {{"AT+CSQ", "+CSQ:"},     {"AT+CSCA?", "+CSCA:"},
                                        {"AT+CPBR=?", "+CPBR:"}, {"AT+CPBR=1,250", "+CPBR:"},
                                        {"AT+CPMS?", "+CPMS:"},  {"AT+CMGR=1", ""}};
    UnsolicitedRouter router;
    AtReplyAssembler assembler(router);
    AtLineSplitter splitter;
    // Feed in two pieces so lines split across reads are exercised.
    std::size_t half = bytes.size() / 2;
    splitter.feed(std::string_view(bytes).substr(0, half));
    int which = 0;
    auto start = [&] {
        AtCommand c;
        c.text = commands[which % 6][0];
        if (*commands[which % 6][1]) c.prefixes = {commands[which % 6][1]};
        c.payload = prompt ? std::optional<std::string>("00") : std::nullopt;
        assembler.begin(c, numeric);
    };
    start();
    for (int round = 0; round < 2; ++round) {
        while (auto line = splitter.next(prompt)) {
            decodeText(*line, cs);
            decodeNumber(*line, cs, 145);
            splitFields(*line);
            decodeNumberAsGiven(*line, cs, 145);
            numericResultsAfter(*line);
            parseCdsi(*line);
            parseCusd(*line, cs == Charset::Ucs2);
            if (assembler.feed(*line) == AtReplyAssembler::Outcome::Complete) {
                AtReply r = assembler.takeReply();
                parseCsq(r.lines);
                parseCsca(r.lines, cs);
                parseCpbrTest(r.lines);
                std::vector<std::string> notes;
                parseCpbrEntries(r.lines, cs, nullptr, &notes);
                parseCmgr(r.lines);
                parseCmgl(r.lines);
                parseCpms(r.lines);
                parseCds(r.lines);
                ++which;
                start();
            } else {
                assembler.takeUnsolicited();
            }
        }
        splitter.takeDiscarded();
        splitter.feed(std::string_view(bytes).substr(half));
    }
    return 0;
}
