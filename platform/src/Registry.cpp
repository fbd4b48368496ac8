#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace platform {

using Node = RegistryStore::Node;

namespace {

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x < 0x80) x = static_cast<unsigned char>(std::tolower(x));
        if (y < 0x80) y = static_cast<unsigned char>(std::tolower(y));
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> splitPath(const std::string& key) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : key) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

Node* child(Node* n, std::string_view name) {
    for (auto& c : n->children)
        if (iequals(c->name, name)) return c.get();
    return nullptr;
}

Node* find(Node* root, const std::string& key, bool create) {
    Node* n = root;
    for (auto& p : splitPath(key)) {
        Node* c = child(n, p);
        if (!c) {
            if (!create) return nullptr;
            n->children.push_back(std::make_unique<Node>());
            c = n->children.back().get();
            c->name = p;
        }
        n = c;
    }
    return n;
}

RegValue* findValue(Node* n, std::string_view name) {
    for (auto& [k, v] : n->values)
        if (iequals(k, name)) return &v;
    return nullptr;
}

bool validUtf8Text(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return false;
        size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
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
                for (int i = 3; i >= 0; --i) x = (x << 8) | static_cast<unsigned char>(v.data[static_cast<size_t>(i)]);
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
            if (line.rfind("Windows Registry Editor Version 5.00", 0) != 0 && line.rfind("\xEF\xBB\xBFWindows Registry", 0) != 0)
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

RegistryStore::RegistryStore(std::filesystem::path file) : m_file(std::move(file)), m_root(std::make_unique<Node>()) {}

std::filesystem::path RegistryStore::defaultPath(Hive hive) {
    std::filesystem::path dir;
    if (const char* d = std::getenv("KELVO_REGISTRY_DIR"); d && *d) {
        dir = d;
    } else if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) {
        dir = std::filesystem::path(x) / "kelvo";
    } else {
        const char* home = std::getenv("HOME");
        dir = std::filesystem::path(home && *home ? home : "/tmp") / ".config" / "kelvo";
    }
    return dir / (hive == Hive::CurrentUser ? "user.reg" : "machine.reg");
}

RegistryStore& RegistryStore::forHive(Hive hive) {
    static RegistryStore user(defaultPath(Hive::CurrentUser));
    static RegistryStore machine(defaultPath(Hive::LocalMachine));
    return hive == Hive::CurrentUser ? user : machine;
}

namespace {
// An flock on a companion file, so the hive file itself can be replaced by
// rename while others wait.
class FileLock {
public:
    FileLock(const std::filesystem::path& file, bool exclusive) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        m_fd = ::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0) ::flock(m_fd, exclusive ? LOCK_EX : LOCK_SH);
    }
    ~FileLock() {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};
}  // namespace

void RegistryStore::loadLocked() {
    std::ifstream in(m_file, std::ios::binary);
    if (!in) {
        m_root = std::make_unique<Node>();
        return;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string err;
    auto root = parseRegistryText(ss.str(), &err);
    if (!root) {
        std::time_t now = std::time(nullptr);
        auto aside = m_file;
        aside += ".corrupt-" + std::to_string(static_cast<long long>(now));
        std::error_code ec;
        std::filesystem::rename(m_file, aside, ec);
        std::fprintf(stderr, "registry: %s is damaged (%s); kept as %s, starting empty\n",
                     m_file.string().c_str(), err.c_str(), aside.string().c_str());
        root = std::make_unique<Node>();
    }
    m_root = std::move(root);
}

bool RegistryStore::saveLocked() {
    std::string text = writeRegistryText(*m_root);
    auto tmp = m_file;
    tmp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t off = 0;
    while (off < text.size()) {
        ssize_t w = ::write(fd, text.data() + off, text.size() - off);
        if (w <= 0) {
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        off += static_cast<size_t>(w);
    }
    bool ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(tmp.c_str(), m_file.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

template <class F>
auto RegistryStore::withLock(bool write, F&& f) {
    FileLock lock(m_file, write);
    loadLocked();
    return f();
}

bool RegistryStore::keyExists(const std::string& key) {
    return withLock(false, [&] { return find(m_root.get(), key, false) != nullptr; });
}

bool RegistryStore::createKey(const std::string& key) {
    if (splitPath(key).empty()) return false;
    return withLock(true, [&] {
        if (find(m_root.get(), key, false)) return true;
        find(m_root.get(), key, true);
        return saveLocked();
    });
}

bool RegistryStore::deleteKey(const std::string& key) {
    auto parts = splitPath(key);
    if (parts.empty()) return false;
    return withLock(true, [&] {
        std::string last = parts.back();
        parts.pop_back();
        Node* parent = m_root.get();
        for (auto& p : parts) {
            parent = child(parent, p);
            if (!parent) return false;
        }
        for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
            if (iequals((*it)->name, last)) {
                parent->children.erase(it);
                return saveLocked();
            }
        }
        return false;
    });
}

std::optional<std::string> RegistryStore::enumSubKey(const std::string& key, size_t index) {
    return withLock(false, [&]() -> std::optional<std::string> {
        Node* n = find(m_root.get(), key, false);
        if (!n || index >= n->children.size()) return std::nullopt;
        return n->children[index]->name;
    });
}

std::optional<RegValue> RegistryStore::queryValue(const std::string& key, const std::string& name) {
    return withLock(false, [&]() -> std::optional<RegValue> {
        Node* n = find(m_root.get(), key, false);
        if (!n) return std::nullopt;
        RegValue* v = findValue(n, name);
        if (!v) return std::nullopt;
        return *v;
    });
}

bool RegistryStore::setValue(const std::string& key, const std::string& name, const RegValue& v) {
    if (splitPath(key).empty()) return false;
    return withLock(true, [&] {
        Node* n = find(m_root.get(), key, true);
        if (RegValue* old = findValue(n, name))
            *old = v;
        else
            n->values.emplace_back(name, v);
        return saveLocked();
    });
}

bool RegistryStore::deleteValue(const std::string& key, const std::string& name) {
    return withLock(true, [&] {
        Node* n = find(m_root.get(), key, false);
        if (!n) return false;
        for (auto it = n->values.begin(); it != n->values.end(); ++it) {
            if (iequals(it->first, name)) {
                n->values.erase(it);
                return saveLocked();
            }
        }
        return false;
    });
}

std::optional<uint32_t> RegistryStore::getDword(const std::string& key, const std::string& name) {
    auto v = queryValue(key, name);
    if (!v || v->type != RegType::Dword || v->data.size() != 4) return std::nullopt;
    uint32_t x = 0;
    for (int i = 3; i >= 0; --i) x = (x << 8) | static_cast<unsigned char>(v->data[static_cast<size_t>(i)]);
    return x;
}

bool RegistryStore::setDword(const std::string& key, const std::string& name, uint32_t x) {
    RegValue v{RegType::Dword, {}};
    for (int k = 0; k < 4; ++k) v.data += static_cast<char>((x >> (8 * k)) & 0xFF);
    return setValue(key, name, v);
}

std::optional<std::string> RegistryStore::getString(const std::string& key, const std::string& name) {
    auto v = queryValue(key, name);
    if (!v || v->type != RegType::Sz) return std::nullopt;
    size_t nul = v->data.find('\0');
    return nul == std::string::npos ? v->data : v->data.substr(0, nul);
}

bool RegistryStore::setString(const std::string& key, const std::string& name, const std::string& s) {
    return setValue(key, name, RegValue{RegType::Sz, s + '\0'});
}

}  // namespace platform
