// SPDX-License-Identifier: GPL-3.0-or-later
// Supplementary services: USSD (3GPP TS 27.007 7.15). The network answers
// after the modem's OK, with an unsolicited +CUSD.
#include "AtCommandTable.h"
#include "SimText.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;

constexpr int kNotSupported = 4;  // 27.007 9.2
constexpr int kInvalidText = 25;
constexpr int kNoNetwork = 30;
constexpr int kGsm7Dcs = 15;  // 23.038: default alphabet, language unspecified

// A USSD string in the +CSCS character set. Menus keep their line breaks:
// a modem passes them inside the quoted string.
std::string ussdText(const std::string& ascii, const std::string& charset) {
    std::u16string text(ascii.begin(), ascii.end());
    if (charset == "UCS2" || charset == "HEX") return encodeText(text, charset);
    std::string out;
    for (char c : ascii) out += c == '\n' ? c : encodeText(std::u16string(1, c), charset)[0];
    return out;
}

bool hasChoices(const ModemState& s, const std::string& code) {
    auto it = s.ussdMenu.upper_bound(code + ">");
    return it != s.ussdMenu.end() && it->first.rfind(code + ">", 0) == 0;
}

void cusd(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test) {
        r.lines = {"+CUSD: (0-2)"};
        return;
    }
    if (c.kind == K::Read) {
        r.lines = {"+CUSD: " + std::to_string(s.cusdMode)};
        return;
    }
    auto a = splitArgs(c.args);
    std::string n = a.empty() || a[0].empty() ? "0" : a[0];
    if (n != "0" && n != "1" && n != "2") return cmeError(s, r, kNotSupported);
    if (n == "2") {  // cancels the session
        s.ussdSession.clear();
        return;
    }
    s.cusdMode = n[0] - '0';
    if (a.size() < 2) return;
    if (a.size() > 2 && !a[2].empty() && a[2] != std::to_string(kGsm7Dcs))
        return cmeError(s, r, kNotSupported);
    auto text = decodeText(a[1], s.charset);
    if (!text || text->empty() || text->size() > 182) return cmeError(s, r, kInvalidText);
    if (!s.registered) return cmeError(s, r, kNoNetwork);
    std::string request(text->begin(), text->end());
    std::string code = s.ussdSession.empty() ? request : s.ussdSession + ">" + request;
    auto it = s.ussdMenu.find(code);
    std::string answer;
    if (it == s.ussdMenu.end()) {
        s.ussdSession.clear();
        answer = "4";  // not supported by the network
    } else {
        bool more = hasChoices(s, code);
        s.ussdSession = more ? code : std::string();
        answer = std::string(more ? "1" : "0") + ",\"" + ussdText(it->second, s.charset) + "\"," +
                 std::to_string(kGsm7Dcs);
    }
    if (s.cusdMode == 1) r.after.push_back("+CUSD: " + answer);
}

}  // namespace

void registerSupplementaryCommands(AtCommandTable& t) {
    t.add("+CUSD", cusd);
}

}  // namespace zuntosim
