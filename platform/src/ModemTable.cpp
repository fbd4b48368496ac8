// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ModemTable.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/InstallLayout.h"

namespace platform::usb {

namespace {

std::optional<uint16_t> hex16(const std::string& s) {
    if (s.size() != 4 || s.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return static_cast<uint16_t>(std::strtoul(s.c_str(), nullptr, 16));
}

std::optional<int> interfaceNumber(const std::string& s) {
    if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int n = std::atoi(s.c_str());
    if (n > ModemTable::kMaxInterface) return std::nullopt;
    return n;
}

// One line without its comment; the reason when it does not parse.
std::optional<KnownModem> parseLine(const std::string& line, std::string& why) {
    std::istringstream in(line);
    std::string ids, word;
    in >> ids;
    auto colon = ids.find(':');
    auto vendor = colon == std::string::npos ? std::nullopt : hex16(ids.substr(0, colon));
    auto product = colon == std::string::npos ? std::nullopt : hex16(ids.substr(colon + 1));
    if (!vendor || !product) {
        why = "expected vendor:product in hex, got \"" + ids + "\"";
        return std::nullopt;
    }
    KnownModem m;
    m.vendor = *vendor;
    m.product = *product;
    bool haveAt = false;
    while (in >> word) {
        if (word.rfind("at=", 0) == 0) {
            haveAt = true;
            std::string list = word.substr(3);
            if (list == "any") continue;
            std::istringstream items(list);
            std::string item;
            while (std::getline(items, item, ',')) {
                auto n = interfaceNumber(item);
                if (!n) {
                    why = "bad AT interface \"" + item + "\"";
                    return std::nullopt;
                }
                m.atInterfaces.push_back(*n);
            }
            if (m.atInterfaces.empty()) {
                why = "empty at=";
                return std::nullopt;
            }
        } else if (word.rfind("data=", 0) == 0) {
            auto n = interfaceNumber(word.substr(5));
            if (!n) {
                why = "bad data interface \"" + word.substr(5) + "\"";
                return std::nullopt;
            }
            m.dataInterface = *n;
        } else {
            std::string rest;
            std::getline(in, rest);
            m.name = word + rest;
            break;
        }
    }
    if (!haveAt) {
        why = "no at= field";
        return std::nullopt;
    }
    while (!m.name.empty() && (m.name.back() == ' ' || m.name.back() == '\t')) m.name.pop_back();
    return m;
}

}  // namespace

ModemTable ModemTable::parse(const std::string& text) {
    ModemTable t;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        auto where = "line " + std::to_string(number) + ": ";
        if (line.size() > kMaxLine) {
            t.m_errors.push_back(where + "longer than " + std::to_string(kMaxLine) + " bytes");
            continue;
        }
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::string why;
        auto m = parseLine(line, why);
        if (!m) {
            t.m_errors.push_back(where + why);
            continue;
        }
        if (t.find(m->vendor, m->product)) {
            t.m_errors.push_back(where + "a second entry for " + line.substr(0, line.find(' ')) +
                                 " is ignored");
            continue;
        }
        t.m_modems.push_back(std::move(*m));
    }
    return t;
}

ModemTable ModemTable::load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ModemTable t;
        t.m_errors.push_back(file.string() + ": cannot be read");
        return t;
    }
    std::ostringstream all;
    all << in.rdbuf();
    auto t = parse(all.str());
    for (auto& e : t.m_errors) e = file.string() + ": " + e;
    return t;
}

std::filesystem::path ModemTable::defaultPath() {
    if (const char* env = std::getenv("MODLINK_MODEM_TABLE"); env && *env) return env;
    std::error_code ec;
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModemTable::defaultPath), &info) && info.dli_fname) {
        auto beside = std::filesystem::path(info.dli_fname).parent_path() / "modems.table";
        if (std::filesystem::exists(beside, ec)) return beside;
    }
    return std::filesystem::path(installedLibraryDir()) / "modems.table";
}

const KnownModem* ModemTable::find(uint16_t vendor, uint16_t product) const {
    for (const auto& m : m_modems)
        if (m.vendor == vendor && m.product == product) return &m;
    return nullptr;
}

}  // namespace platform::usb
