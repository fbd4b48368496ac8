// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "store/MessageList.h"

namespace storetest {

namespace fs = std::filesystem;

// A fresh directory removed at the end of the test.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "storetest-XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path / "data", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
};

inline std::string readFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

inline msgdesk::MessageRecord rec(std::string number, std::string text, std::string status = "",
                                  std::string date = "2003-01-09", std::string time = "10:00:00") {
    msgdesk::MessageRecord r;
    r.setNumber(number);
    r.setText(text);
    r.setStatus(status);
    r.setDate(date);
    r.setTime(time);
    return r;
}

inline std::string recordBytes(const msgdesk::MessageRecord& r) {
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

// The main frame as the store sees it: everything posted is recorded.
struct FrameLog {
    std::vector<platform::Message> posted;
    int count(unsigned msg, platform::WPARAM w, platform::LPARAM l) const {
        int n = 0;
        for (const auto& m : posted)
            if (m.msg == msg && m.wParam == w && m.lParam == l) ++n;
        return n;
    }
    int count(unsigned msg) const {
        int n = 0;
        for (const auto& m : posted)
            if (m.msg == msg) ++n;
        return n;
    }
};

// Numbers of a mailbox's rows, top to bottom.
inline std::vector<std::string> numbers(const msgdesk::Mailbox& b) {
    std::vector<std::string> out;
    for (const auto& r : b.rows()) out.push_back(r.rec.number());
    return out;
}

inline std::vector<std::string> statuses(const msgdesk::Mailbox& b) {
    std::vector<std::string> out;
    for (const auto& r : b.rows()) out.push_back(r.rec.status());
    return out;
}

}  // namespace storetest
