// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the PDU decoder (as octets, or as the hex text a
// modem prints) and to the encoder (as a UTF-8 text), checking that what
// decodes also renders and that encoded texts decode back unchanged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink::pdu;

namespace {

void decodeAndRender(std::string_view hex, bool hasSmsc) {
    DecodeOptions o;
    o.hasSmsc = hasSmsc;
    auto m = decodePdu(hex, o);
    auto json = decodePduToJson(hex, o);
    if (m.ok() != json.ok()) __builtin_trap();
    if (!m) {
        if (m.error().empty()) __builtin_trap();
        return;
    }
    std::string answer = answerText(*m);
    // Exactly the six delimiting quotes, and no NUL in a C string answer.
    std::size_t quotes = 0;
    for (char c : answer) {
        quotes += c == '"';
        if (c == '\0') __builtin_trap();
    }
    if (quotes != 6) __builtin_trap();
}

void encodeAndCheck(std::string_view utf8) {
    SubmitOptions o;
    o.charset = Charset::Utf8;
    auto parts = encodeSubmit("+8613912345678", utf8, o);
    if (!parts) return;
    std::u16string joined;
    for (const auto& p : *parts) {
        auto m = decodePdu(p.hex);
        if (!m || static_cast<std::size_t>(p.tpduLength) != p.hex.size() / 2 - 1) __builtin_trap();
        joined += m->text;
    }
    if (joined != platform::codepage::utf8ToUcs2(utf8)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    bool hasSmsc = (mode & 0x01) == 0;
    switch ((mode >> 1) & 0x03) {
        case 0:
        case 1:  // binary PDU
            decodeAndRender(bytesToHex(rest), hasSmsc);
            break;
        case 2:  // hex text as printed by the modem, possibly broken
            decodeAndRender(
                std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()), hasSmsc);
            break;
        default:
            if (rest.size() <= 2000)
                encodeAndCheck(
                    std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
            break;
    }
    return 0;
}
