// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegistryText.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "RegistryTree.h"

namespace platform {

using regtree::find;
using regtree::findValue;
using Node = RegistryNode;

namespace {

bool validUtf8Text(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return false;
        size_t n = c < 0x80             ? 1
                   : (c & 0xE0) == 0xC0 ? 2
                   : (c & 0xF0) == 0xE0 ? 3
                   : (c & 0xF8) == 0xF0 ? 4
                                        : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::string quote(std::string_view s) {
    std::string o = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') o += '\\';
        o += c;
    }
    return o + "\"";
}

std::string hexBytes(std::string_view d) {
    std::string o;
    char b[4];
    for (size_t i = 0; i < d.size(); ++i) {
        std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(d[i]));
        if (i) o += ',';
        o += b;
    }
    return o;
}

void writeNode(const Node& n, const std::string& path, std::string& out) {
    if (!path.empty()) {
        out += "\n[" + path + "]\n";
        for (auto& [name, v] : n.values) {
            out += name.empty() ? "@" : quote(name);
            out += '=';
            if (v.type == RegType::Dword && v.data.size() == 4) {
                uint32_t x = 0;
                for (int i = 3; i >= 0; --i)
                    x = (x << 8) | static_cast<unsigned char>(v.data[static_cast<size_t>(i)]);
                char b[16];
                std::snprintf(b, sizeof b, "dword:%08x", x);
                out += b;
            } else if (v.type == RegType::Sz && !v.data.empty() && v.data.back() == '\0' &&
                       validUtf8Text(std::string_view(v.data).substr(0, v.data.size() - 1))) {
                out += quote(std::string_view(v.data).substr(0, v.data.size() - 1));
            } else if (v.type == RegType::Binary) {
                out += "hex:" + hexBytes(v.data);
            } else {
                char t[16];
                std::snprintf(t, sizeof t, "hex(%x):", static_cast<unsigned>(v.type));
                out += t + hexBytes(v.data);
            }
            out += '\n';
        }
    }
    for (auto& c : n.children) writeNode(*c, path.empty() ? c->name : path + "\\" + c->name, out);
}

bool parseQuoted(std::string_view line, size_t& i, std::string& out) {
    if (i >= line.size() || line[i] != '"') return false;
    ++i;
    while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\') {
            if (++i >= line.size()) return false;
        }
        out += line[i++];
    }
    if (i >= line.size()) return false;
    ++i;
    return true;
}

bool parseHex(std::string_view s, std::string& out) {
    std::string digits;
    for (char c : s) {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!digits.empty()) {
                if (digits.size() > 2) return false;
                out += static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16));
                digits.clear();
            }
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else {
            return false;
        }
    }
    if (!digits.empty()) {
        if (digits.size() > 2) return false;
        out += static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16));
    }
    return true;
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

}  // namespace

std::unique_ptr<Node> parseRegistryText(const std::string& text, std::string* error) {
    auto root = std::make_unique<Node>();
    Node* cur = nullptr;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) -> std::unique_ptr<Node> {
        if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
        return nullptr;
    };
    bool header = false;
    while (std::getline(in, line)) {
        ++lineNo;
        line = trimRight(line);
        if (line.empty() || line[0] == ';') continue;
        if (!header) {
            if (line.rfind("Windows Registry Editor Version 5.00", 0) != 0 &&
                line.rfind("\xEF\xBB\xBFWindows Registry", 0) != 0)
                return fail("missing header");
            header = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) return fail("bad key line");
            cur = find(root.get(), line.substr(1, line.size() - 2), true);
            continue;
        }
        if (!cur) return fail("value outside a key");
        size_t i = 0;
        std::string name;
        if (line[0] == '@') {
            i = 1;
        } else if (!parseQuoted(line, i, name)) {
            return fail("bad value name");
        }
        if (i >= line.size() || line[i] != '=') return fail("missing '='");
        // Hex data may continue on the next line after a trailing backslash.
        if (line.compare(i + 1, 3, "hex") == 0) {
            while (!line.empty() && line.back() == '\\') {
                line.pop_back();
                std::string next;
                if (!std::getline(in, next)) return fail("unfinished continuation");
                ++lineNo;
                size_t s = next.find_first_not_of(" \t");
                line += trimRight(s == std::string::npos ? std::string() : next.substr(s));
            }
        }
        std::string_view rhs = std::string_view(line).substr(i + 1);
        RegValue v;
        if (rhs.rfind("dword:", 0) == 0) {
            std::string_view h = rhs.substr(6);
            if (h.size() != 8) return fail("bad dword");
            for (char c : h)
                if (!std::isxdigit(static_cast<unsigned char>(c))) return fail("bad dword");
            uint32_t x = static_cast<uint32_t>(std::strtoul(std::string(h).c_str(), nullptr, 16));
            v.type = RegType::Dword;
            for (int k = 0; k < 4; ++k) v.data += static_cast<char>((x >> (8 * k)) & 0xFF);
        } else if (!rhs.empty() && rhs[0] == '"') {
            size_t j = 0;
            std::string s;
            if (!parseQuoted(rhs, j, s) || j != rhs.size()) return fail("bad string");
            v.type = RegType::Sz;
            v.data = s + '\0';
        } else if (rhs.rfind("hex:", 0) == 0) {
            v.type = RegType::Binary;
            if (!parseHex(rhs.substr(4), v.data)) return fail("bad hex");
        } else if (rhs.rfind("hex(", 0) == 0) {
            size_t close = rhs.find("):");
            if (close == std::string_view::npos || close <= 4) return fail("bad hex type");
            std::string t(rhs.substr(4, close - 4));
            char* end = nullptr;
            unsigned long ty = std::strtoul(t.c_str(), &end, 16);
            if (*end || ty > 0xFFFF) return fail("bad hex type");
            v.type = static_cast<RegType>(ty);
            if (!parseHex(rhs.substr(close + 2), v.data)) return fail("bad hex");
        } else {
            return fail("unknown value kind");
        }
        if (RegValue* old = findValue(cur, name))
            *old = v;
        else
            cur->values.emplace_back(name, v);
    }
    if (!header && lineNo > 0 && !text.empty()) {
        // A file with only blank lines counts as empty.
        for (char c : text)
            if (!std::isspace(static_cast<unsigned char>(c))) return fail("missing header");
    }
    return root;
}

std::string writeRegistryText(const Node& root) {
    std::string out = "Windows Registry Editor Version 5.00\n";
    writeNode(root, "", out);
    return out;
}

}  // namespace platform
