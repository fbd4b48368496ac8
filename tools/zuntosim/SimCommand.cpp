// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimCommand.h"

#include <cctype>

namespace zuntosim {

namespace {
std::string upper(std::string_view s) {
    std::string o(s);
    for (auto& c : o) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return o;
}
}  // namespace

bool parseCommandLine(std::string_view line, std::vector<SimCommand>& out) {
    out.clear();
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.size() < 2 || std::toupper(static_cast<unsigned char>(line[0])) != 'A' ||
        std::toupper(static_cast<unsigned char>(line[1])) != 'T')
        return false;
    std::size_t i = 2;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == ';') {
            ++i;
            continue;
        }
        SimCommand cmd;
        if (c == '+' || c == '^' || c == '$' || c == '%') {
            std::size_t j = i + 1;
            while (j < line.size() &&
                   (std::isalnum(static_cast<unsigned char>(line[j])) || line[j] == '_'))
                ++j;
            cmd.name = upper(line.substr(i, j - i));
            // The arguments run to the next ';' outside quotes.
            std::size_t k = j;
            bool quoted = false;
            while (k < line.size() && (quoted || line[k] != ';')) {
                if (line[k] == '"') quoted = !quoted;
                ++k;
            }
            std::string_view rest = line.substr(j, k - j);
            if (rest.substr(0, 2) == "=?") {
                cmd.kind = SimCommand::Kind::Test;
            } else if (!rest.empty() && rest[0] == '=') {
                cmd.kind = SimCommand::Kind::Set;
                cmd.args = std::string(rest.substr(1));
            } else if (!rest.empty() && rest[0] == '?') {
                cmd.kind = SimCommand::Kind::Read;
            }
            i = k;
        } else if (std::toupper(static_cast<unsigned char>(c)) == 'D') {
            // Dial takes the rest of the line, ';' included.
            cmd.name = "D";
            cmd.args = std::string(line.substr(i + 1));
            i = line.size();
        } else {
            std::size_t j = i;
            if (c == '&' && j + 1 < line.size()) ++j;
            cmd.name = upper(line.substr(i, j - i + 1));
            ++j;
            std::size_t k = j;
            if (k < line.size() && line[k] == '?') {
                cmd.kind = SimCommand::Kind::Read;
                ++k;
            } else {
                if (k < line.size() && line[k] == '=') {
                    cmd.kind = SimCommand::Kind::Set;
                    ++k;
                }
                while (k < line.size() && std::isdigit(static_cast<unsigned char>(line[k]))) ++k;
                cmd.args = std::string(line.substr(j, k - j));
                if (!cmd.args.empty() && cmd.args[0] == '=') cmd.args.erase(0, 1);
            }
            i = k;
        }
        out.push_back(std::move(cmd));
    }
    return true;
}

bool parseCount(std::string_view s, int& out) {
    if (s.empty() || s.size() > 6) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

std::vector<std::string> splitArgs(std::string_view s) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : s) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
            continue;
        }
        if (c == ',' && !quoted) {
            out.push_back(cur);
            cur.clear();
            continue;
        }
        if (!quoted && c == ' ') continue;
        cur += c;
        any = true;
    }
    if (any || !out.empty()) out.push_back(cur);
    return out;
}

}  // namespace zuntosim
