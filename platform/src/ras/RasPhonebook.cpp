// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/RasPhonebook.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/PrivateFiles.h"

namespace platform::ras {

namespace fs = std::filesystem;

namespace {

std::string ipText(const RASIPADDR& a) {
    char b[20];
    std::snprintf(b, sizeof b, "%u.%u.%u.%u", a.a, a.b, a.c, a.d);
    return b;
}

bool parseIp(const std::string& s, RASIPADDR& out) {
    unsigned v[4];
    char tail;
    if (std::sscanf(s.c_str(), "%u.%u.%u.%u%c", &v[0], &v[1], &v[2], &v[3], &tail) != 4)
        return false;
    for (unsigned x : v)
        if (x > 255) return false;
    out = {uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2]), uint8_t(v[3])};
    return true;
}

bool parseDword(const std::string& s, DWORD& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    unsigned long long v = std::strtoull(s.c_str(), &end, 0);
    if (*end || v > 0xFFFFFFFFull) return false;
    out = static_cast<DWORD>(v);
    return true;
}

bool clean(const std::string& s) {
    return s.find_first_of("\r\n") == std::string::npos;
}

template <class F>
void eachField(RASENTRYA& e, F&& f) {
    f("Size", e.dwSize);
    f("Options", e.dwfOptions);
    f("CountryID", e.dwCountryID);
    f("CountryCode", e.dwCountryCode);
    f("AreaCode", e.szAreaCode);
    f("PhoneNumber", e.szLocalPhoneNumber);
    f("IpAddress", e.ipaddr);
    f("DnsAddress", e.ipaddrDns);
    f("DnsAltAddress", e.ipaddrDnsAlt);
    f("WinsAddress", e.ipaddrWins);
    f("WinsAltAddress", e.ipaddrWinsAlt);
    f("FrameSize", e.dwFrameSize);
    f("NetProtocols", e.dwfNetProtocols);
    f("FramingProtocol", e.dwFramingProtocol);
    f("Script", e.szScript);
    f("AutodialDll", e.szAutodialDll);
    f("AutodialFunc", e.szAutodialFunc);
    f("DeviceType", e.szDeviceType);
    f("DeviceName", e.szDeviceName);
}

struct Writer {
    std::ostringstream& out;
    void operator()(const char* k, DWORD v) {
        char b[16];
        std::snprintf(b, sizeof b, "0x%08X", v);
        out << k << '=' << b << '\n';
    }
    void operator()(const char* k, const std::string& v) { out << k << '=' << v << '\n'; }
    void operator()(const char* k, const RASIPADDR& v) { out << k << '=' << ipText(v) << '\n'; }
};

struct Reader {
    const std::string& key;
    const std::string& value;
    bool ok = true;
    void operator()(const char* k, DWORD& v) {
        if (key == k) ok = parseDword(value, v);
    }
    void operator()(const char* k, std::string& v) {
        if (key == k) v = value;
    }
    void operator()(const char* k, RASIPADDR& v) {
        if (key == k) ok = parseIp(value, v);
    }
};

}  // namespace

fs::path RasPhonebook::defaultPath() {
    if (const char* d = std::getenv("KELVO_REGISTRY_DIR"); d && *d)
        return fs::path(d) / "rasphone.ini";
    fs::path base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = fs::path(h) / ".config";
    else
        base = "/tmp";
    return base / "kelvo" / "rasphone.ini";
}

std::string RasPhonebook::format(const std::map<std::string, RASENTRYA>& book) {
    std::ostringstream out;
    for (const auto& [name, entry] : book) {
        out << '[' << name << "]\n";
        RASENTRYA e = entry;
        eachField(e, Writer{out});
        out << '\n';
    }
    return out.str();
}

std::optional<std::map<std::string, RASENTRYA>> RasPhonebook::parse(const std::string& text) {
    std::map<std::string, RASENTRYA> book;
    RASENTRYA* current = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']') return std::nullopt;
            current = &book[line.substr(1, line.size() - 2)];
            continue;
        }
        auto eq = line.find('=');
        if (!current || eq == std::string::npos) return std::nullopt;
        Reader r{line.substr(0, eq), line.substr(eq + 1)};
        eachField(*current, r);
        if (!r.ok) return std::nullopt;  // unknown keys are kept for later versions
    }
    return book;
}

std::map<std::string, RASENTRYA> RasPhonebook::load() const {
    std::ifstream in(m_file, std::ios::binary);
    if (!in) return {};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto book = parse(text);
    if (book) return *book;
    std::error_code ec;
    fs::rename(m_file, fs::path(m_file.string() + ".corrupt"), ec);
    std::fprintf(stderr, "ras: damaged phonebook %s kept as .corrupt\n", m_file.c_str());
    return {};
}

bool RasPhonebook::save(const std::map<std::string, RASENTRYA>& book) const {
    std::error_code ec;
    makePrivateDir(m_file.parent_path());  // shared with the settings: the user's only
    fs::path tmp = m_file.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << format(book);
        out.flush();
        if (!out) return false;
    }
    fs::rename(tmp, m_file, ec);
    return !ec;
}

std::optional<RASENTRYA> RasPhonebook::get(const std::string& name) const {
    auto book = load();
    auto it = book.find(name);
    if (it == book.end()) return std::nullopt;
    return it->second;
}

bool RasPhonebook::put(const std::string& name, const RASENTRYA& entry) {
    if (name.empty() || !clean(name) || name.find(']') != std::string::npos) return false;
    RASENTRYA e = entry;
    bool ok = true;
    eachField(e, [&](const char*, auto& v) {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) ok = ok && clean(v);
    });
    if (!ok) return false;
    auto book = load();
    book[name] = entry;
    return save(book);
}

bool RasPhonebook::remove(const std::string& name) {
    auto book = load();
    if (!book.erase(name)) return false;
    return save(book);
}

}  // namespace platform::ras
