// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "RegistryTree.h"
#include "platform/PrivateFiles.h"

namespace platform {

using Node = RegistryStore::Node;
using regtree::child;
using regtree::find;
using regtree::findValue;
using regtree::iequals;
using regtree::splitPath;

RegistryStore::RegistryStore(std::filesystem::path file)
    : m_file(std::move(file)), m_root(std::make_unique<Node>()) {}

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
        // The settings hold numbers and names: their folder is the user's only.
        makePrivateDir(file.parent_path());
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
    for (int i = 3; i >= 0; --i)
        x = (x << 8) | static_cast<unsigned char>(v->data[static_cast<size_t>(i)]);
    return x;
}

bool RegistryStore::setDword(const std::string& key, const std::string& name, uint32_t x) {
    RegValue v{RegType::Dword, {}};
    for (int k = 0; k < 4; ++k) v.data += static_cast<char>((x >> (8 * k)) & 0xFF);
    return setValue(key, name, v);
}

std::optional<std::string> RegistryStore::getString(const std::string& key,
                                                    const std::string& name) {
    auto v = queryValue(key, name);
    if (!v || v->type != RegType::Sz) return std::nullopt;
    size_t nul = v->data.find('\0');
    return nul == std::string::npos ? v->data : v->data.substr(0, nul);
}

bool RegistryStore::setString(const std::string& key, const std::string& name,
                              const std::string& s) {
    return setValue(key, name, RegValue{RegType::Sz, s + '\0'});
}

}  // namespace platform
