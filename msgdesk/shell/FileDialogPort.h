// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <deque>
#include <string>
#include <vector>

namespace msgdesk {

// The file choosers of export and import; the windows layer shows real
// ones, tests script the answers. Texts are UTF-8; an empty answer means
// the user cancelled. The save chooser never asks about replacing a file:
// the caller does, through its message box.
class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;
    virtual std::string saveFileName(const std::string& title, const std::string& filter,
                                     const std::string& suggestedName) = 0;
    virtual std::string openFileName(const std::string& title, const std::string& filter) = 0;
};

// Answers from a script, recording the titles asked with.
class ScriptedFileDialog final : public FileDialogPort {
public:
    std::string saveFileName(const std::string& title, const std::string&,
                             const std::string& suggested) override {
        asked.push_back(title + "|" + suggested);
        return next();
    }
    std::string openFileName(const std::string& title, const std::string&) override {
        asked.push_back(title);
        return next();
    }
    std::deque<std::string> answers;
    std::vector<std::string> asked;

private:
    std::string next() {
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace msgdesk
