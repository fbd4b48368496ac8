// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/PduJson.h"

#include <cstdio>

#include "platform/Codepage.h"
#include "smspdu/Hex.h"
#include "smspdu/PduEncoder.h"

namespace modlink::pdu {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

const char* typeName(MessageType t) {
    switch (t) {
        case MessageType::Submit:
            return "submit";
        case MessageType::StatusReport:
            return "status-report";
        default:
            return "deliver";
    }
}

const char* encodingName(Encoding e) {
    switch (e) {
        case Encoding::Ucs2:
            return "ucs2";
        case Encoding::Data8:
            return "8bit";
        default:
            return "gsm7";
    }
}

}  // namespace

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string isoTimestamp(const Timestamp& ts) {
    int minutes = ts.tzQuarters * 15;
    int off = minutes < 0 ? -minutes : minutes;
    // Two-digit years: the 1990s for 90..99, when GSM messaging began; 20yy otherwise.
    int yy = ts.year % 100;
    return (yy >= 90 ? "19" : "20") + twoDigits(yy) + "-" + twoDigits(ts.month % 100) + "-" +
           twoDigits(ts.day % 100) + "T" + twoDigits(ts.hour % 100) + ":" +
           twoDigits(ts.minute % 100) + ":" + twoDigits(ts.second % 100) +
           (minutes < 0 ? "-" : "+") + twoDigits(off / 60) + ":" + twoDigits(off % 60);
}

std::string messageToJson(const SmsMessage& m) {
    std::string j = "{\"type\":" + jsonString(typeName(m.type));
    j += ",\"smsc\":" + jsonString(m.smsc.number);
    j += ",\"number\":" + jsonString(m.address.number);
    if (m.timestamp) j += ",\"timestamp\":" + jsonString(isoTimestamp(*m.timestamp));
    j += ",\"encoding\":" + jsonString(encodingName(m.encoding));
    if (m.encoding == Encoding::Data8) {
        j += ",\"data\":" + jsonString(bytesToHex(m.data));
    } else {
        j += ",\"text\":" + jsonString(platform::codepage::ucs2ToUtf8(m.text));
    }
    if (m.concat) {
        j += ",\"concat\":{\"ref\":" + std::to_string(m.concat->ref) +
             ",\"part\":" + std::to_string(m.concat->part) +
             ",\"total\":" + std::to_string(m.concat->total) + "}";
    }
    if (m.type == MessageType::Submit) {
        j += ",\"reference\":" + std::to_string(m.reference);
        if (m.validityRelative) j += ",\"validity\":" + std::to_string(*m.validityRelative);
    } else if (m.type == MessageType::StatusReport) {
        j += ",\"reference\":" + std::to_string(m.reference);
        j += ",\"status\":" + std::to_string(m.status);
        if (m.discharge) j += ",\"discharge\":" + jsonString(isoTimestamp(*m.discharge));
    }
    return j + "}";
}

Result<std::string> decodePduToJson(std::string_view hex, const DecodeOptions& options) {
    auto m = decodePdu(hex, options);
    if (!m) return Error{m.error()};
    return messageToJson(*m);
}

Result<std::string> encodePduLines(std::string_view number, std::string_view utf8Text) {
    SubmitOptions o;
    o.charset = Charset::Utf8;
    auto parts = encodeSubmit(number, utf8Text, o);
    if (!parts) return Error{parts.error()};
    std::string out;
    for (const auto& p : *parts) out += p.hex + "\n";
    return out;
}

}  // namespace modlink::pdu
