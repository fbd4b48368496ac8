// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the dialer's core and window tests: a throwaway registry with
// single calls made to fail, a recording settings view, fixed versions and
// fake sysfs USB trees.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "SettingsView.h"
#include "StoreRegistry.h"
#include "platform/OsVersion.h"
#include "platform/Registry.h"
#include "platform/SysfsUsbHost.h"

namespace wanmate::test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/wanmate-test-XXXXXX";
        m_path = mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Both hives in files of a temporary directory. failOpen / failSet /
// failCreate name keys (as passed, case-sensitive) whose calls fail.
class FaultyRegistry final : public RegistryPort {
public:
    explicit FaultyRegistry(const fs::path& dir)
        : user(dir / "user.reg"), machine(dir / "machine.reg"), m_store(user, machine) {}

    bool openKey(Hive h, const std::string& k) override {
        return !failOpen.count(k) && m_store.openKey(h, k);
    }
    bool createKey(Hive h, const std::string& k) override {
        return !failCreate.count(k) && m_store.createKey(h, k);
    }
    std::optional<std::string> enumSubKey(Hive h, const std::string& k, size_t i) override {
        return m_store.enumSubKey(h, k, i);
    }
    std::optional<RegValue> queryValue(Hive h, const std::string& k,
                                       const std::string& n) override {
        return m_store.queryValue(h, k, n);
    }
    bool setValue(Hive h, const std::string& k, const std::string& n, const RegValue& v) override {
        ++sets;
        return !failSet.count(k + "|" + n) && !failSet.count(k) && m_store.setValue(h, k, n, v);
    }
    bool deleteValue(Hive h, const std::string& k, const std::string& n) override {
        return m_store.deleteValue(h, k, n);
    }
    bool deleteKey(Hive h, const std::string& k) override {
        return !failDelete.count(k) && m_store.deleteKey(h, k);
    }

    platform::RegistryStore user;
    platform::RegistryStore machine;
    std::set<std::string> failOpen, failSet, failCreate, failDelete;
    int sets = 0;

private:
    StoreRegistry m_store;
};

class FakeSettingsView final : public SettingsView {
public:
    uint32_t address() const override { return addr; }
    void setAddress(uint32_t a) override { addr = a; }
    void showFields(const SettingsFields& f) override {
        shown = f;
        ++showCount;
    }
    SettingsFields readFields() const override { return controls; }
    void setNumberList(const std::vector<std::string>& n) override { list = n; }

    uint32_t addr = 0x7F7F7F7F;  // not 0, so a reset to 0 shows
    SettingsFields shown;
    SettingsFields controls;
    std::vector<std::string> list;
    int showCount = 0;
};

class FixedVersion final : public platform::VersionSource {
public:
    explicit FixedVersion(std::optional<unsigned> major) : m_major(major) {}
    std::optional<platform::OsVersion> read() override {
        if (!m_major) return std::nullopt;
        return platform::OsVersion{*m_major, 0};
    }

private:
    std::optional<unsigned> m_major;
};

// A sysfs tree of <root>/bus/usb/devices with plain directories.
class SysfsTree {
public:
    explicit SysfsTree(const fs::path& root) : m_root(root) { fs::create_directories(devices()); }
    fs::path root() const { return m_root; }
    fs::path devices() const { return m_root / "bus" / "usb" / "devices"; }

    // A root hub "usbN" (standing for one host controller) or a hub "B-x".
    void hub(const std::string& name, int ports) {
        device(name, 0x1D6B, 0x0002);
        write(name, "maxchild", std::to_string(ports));
        write(name, "bDeviceClass", "09");
    }
    void device(const std::string& name, unsigned vid, unsigned pid) {
        char v[8], p[8];
        snprintf(v, sizeof v, "%04x", vid);
        snprintf(p, sizeof p, "%04x", pid);
        write(name, "idVendor", v);
        write(name, "idProduct", p);
        write(name, "maxchild", "0");
    }
    void modem(const std::string& name, const std::string& tty = "") {
        device(name, 0x1A7C, 0x3D41);
        if (!tty.empty()) fs::create_directories(devices() / name / (name + ":1.0") / tty);
    }
    void unplug(const std::string& name) { fs::remove_all(devices() / name); }

private:
    void write(const std::string& dev, const std::string& attr, const std::string& v) {
        fs::create_directories(devices() / dev);
        std::ofstream(devices() / dev / attr) << v << "\n";
    }
    fs::path m_root;
};

}  // namespace wanmate::test
