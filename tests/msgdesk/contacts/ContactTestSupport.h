// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "contacts/ContactRecord.h"
#include "contacts/DeviceChooser.h"
#include "contacts/PhonebookDeviceInfo.h"
#include "contacts/PhonebookRequests.h"
#include "device/SimPhonebook.h"
#include "platform/Codepage.h"

namespace contacts_test {

namespace fs = std::filesystem;

// A fresh directory below the system's temporary directory, removed at the
// end of the test.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "contacts-XXXXXX").string();
        char* p = ::mkdtemp(tmpl.data());
        m_path = p ? fs::path(p) : fs::path();
    }
    ~TempDir() {
        std::error_code ec;
        // Give back write permission a test may have taken away.
        fs::permissions(m_path / "data", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

inline std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string gbk(const char* utf8) {
    return platform::codepage::utf8ToGbk(utf8);
}

inline msgdesk::ContactRecord contact(const std::string& name, const std::string& mobile) {
    msgdesk::ContactRecord r;
    r.setName(name);
    r.setMobile(mobile);
    return r;
}

inline std::string recordBytes(const msgdesk::ContactRecord& r) {
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

inline msgdesk::SimPhoneEntry* addSimEntry(msgdesk::SimPhonebook& sims, int device, int index,
                                           const std::string& number, const std::string& name) {
    auto e = std::make_unique<msgdesk::SimPhoneEntry>();
    e->device = device;
    e->index = index;
    e->setNumber(number);
    e->setName(name);
    return sims.AppendSimEntry(std::move(e));
}

// The device table as a test sets it.
struct FakeDevices final : msgdesk::PhonebookDeviceInfo {
    struct Slot {
        int capacity = 0;
        int used = 0;
        bool listed = true;
    };
    int attached = 0;
    std::map<int, Slot> cards;

    int attachedCount() const override { return attached; }
    int phonebookCapacity(int d) const override { return slot(d).capacity; }
    int phonebookUsed(int d) const override { return slot(d).used; }
    bool phonebookListed(int d) const override { return slot(d).listed; }

private:
    Slot slot(int d) const {
        auto it = cards.find(d);
        return it == cards.end() ? Slot{0, 0, false} : it->second;
    }
};

struct ScriptedChooser final : msgdesk::DeviceChooser {
    std::optional<int> answer = 1;
    int asked = 0;
    int offered = 0;
    std::optional<int> chooseDevice(int attachedCount) override {
        ++asked;
        offered = attachedCount;
        return answer;
    }
};

// Records the requests in the order they were made.
struct RecordingRequests final : msgdesk::PhonebookRequests {
    struct Call {
        char kind;  // 's' store, 'd' delete, 'k' keep, 'r' refresh
        int value;  // store flag or refresh target
        msgdesk::SimPhoneEntry* entry;
    };
    std::vector<Call> calls;
    void storeEntry(int flag, msgdesk::SimPhoneEntry* e) override {
        calls.push_back({'s', flag, e});
    }
    void deleteEntry(msgdesk::SimPhoneEntry* e) override { calls.push_back({'d', 0, e}); }
    void keepRecord(msgdesk::SimPhoneEntry* e) override { calls.push_back({'k', 0, e}); }
    void refreshViews(int target) override { calls.push_back({'r', target, nullptr}); }
    int count(char kind) const {
        int n = 0;
        for (auto& c : calls) n += c.kind == kind;
        return n;
    }
};

}  // namespace contacts_test
