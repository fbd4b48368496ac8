// Feeds arbitrary bytes through the line splitter and the reply assembler
// (as a modem's reply to several commands) and every reply parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "at/AtLineSplitter.h"
#include "at/AtReplyAssembler.h"
#include "at/AtText.h"
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
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    static const char* commands[][2] = {{"AT+CSQ", "+CSQ:"},
                                        {"AT+CSCA?", "+CSCA:"},
                                        {"AT+CPBR=?", "+CPBR:"},
                                        {"AT+CPBR=1,250", "+CPBR:"},
                                        {"AT+CPMS?", "+CPMS:"}};
    UnsolicitedRouter router;
    AtReplyAssembler assembler(router);
    AtLineSplitter splitter;
    // Feed in two pieces so lines split across reads are exercised.
    std::size_t half = bytes.size() / 2;
    splitter.feed(std::string_view(bytes).substr(0, half));
    int which = 0;
    auto start = [&] {
        AtCommand c;
        c.text = commands[which % 5][0];
        c.prefixes = {commands[which % 5][1]};
        c.payload = prompt ? std::optional<std::string>("00") : std::nullopt;
        assembler.begin(c);
    };
    start();
    for (int round = 0; round < 2; ++round) {
        while (auto line = splitter.next(prompt)) {
            decodeText(*line, cs);
            decodeNumber(*line, cs, 145);
            splitFields(*line);
            if (assembler.feed(*line) == AtReplyAssembler::Outcome::Complete) {
                AtReply r = assembler.takeReply();
                parseCsq(r.lines);
                parseCsca(r.lines, cs);
                parseCpbrTest(r.lines);
                parseCpbrEntries(r.lines, cs);
                parseCpms(r.lines);
                ++which;
                start();
            } else {
                assembler.takeUnsolicited();
            }
        }
        splitter.feed(std::string_view(bytes).substr(half));
    }
    return 0;
}
