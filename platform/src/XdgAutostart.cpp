// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XdgAutostart.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace platform {

namespace fs = std::filesystem;

namespace {

fs::path configHome() {
    const char* x = std::getenv("XDG_CONFIG_HOME");
    if (x && *x == '/') return x;
    const char* h = std::getenv("HOME");
    return fs::path(h && *h ? h : "/") / ".config";
}

// The Exec key's quoting: reserved characters go in double quotes, with
// '"', '`', '$' and '\' escaped by a backslash (and the backslash of the
// escape doubled again by the string escaping of the value).
std::string execQuoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$') {
            out += "\\\\";
            out += c;
        } else if (c == '\\') {
            out += "\\\\\\\\";
        } else if (c == '%') {
            out += "%%";
        } else if (c == '\n' || c == '\r') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

XdgAutostart::XdgAutostart(std::string name, std::string displayName, std::string icon)
    : m_name(std::move(name)), m_displayName(std::move(displayName)), m_icon(std::move(icon)) {}

fs::path XdgAutostart::entryPath() const {
    return configHome() / "autostart" / (m_name + ".desktop");
}

bool XdgAutostart::present() const {
    std::error_code ec;
    return fs::exists(entryPath(), ec);
}

bool XdgAutostart::install(const std::string& programPath) {
    fs::path file = entryPath();
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) return false;
    fs::path tmp = file;
    tmp += ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << m_displayName << "\n"
            << "Exec=" << execQuoted(programPath) << "\n";
        if (!m_icon.empty()) out << "Icon=" << m_icon << "\n";
        out << "Terminal=false\n"
            << "X-GNOME-Autostart-enabled=true\n";
        out.flush();
        if (!out) {
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, file, ec);
    if (ec) fs::remove(tmp, ec);
    return !ec;
}

bool XdgAutostart::remove() {
    std::error_code ec;
    fs::remove(entryPath(), ec);
    return !ec;
}

std::string programFilePath() {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

}  // namespace platform
