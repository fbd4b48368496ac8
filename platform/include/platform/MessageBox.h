// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class MbIcon { None, Information, Exclamation, Stop };
enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum MbResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// What a message box shows: the string id it came from (0 for none), the
// finished UTF-8 text, caption, icon and buttons.
struct MessageBoxRequest {
    unsigned stringId = 0;
    std::string text;
    std::string caption;
    MbIcon icon = MbIcon::None;
    MbButtons buttons = MbButtons::Ok;
    // Shown on its own, not over the program's window.
    bool ownerless = false;
};

// Every message box of both programs goes through this port; the windows
// layer shows a real one, tests script the answers.
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    virtual int show(const MessageBoxRequest& r) = 0;
};

// Records what was shown and answers from a script (then with the default:
// OK, or Yes for Yes/No questions).
class ScriptedMessageBox final : public MessageBoxPort {
public:
    int show(const MessageBoxRequest& r) override {
        shown.push_back(r);
        // What happens while the box is up: a real box runs the event loop
        // here, so posted messages and timers are delivered before it answers.
        if (whileOpen) whileOpen(r);
        if (!answers.empty()) {
            int a = answers.front();
            answers.pop_front();
            return a;
        }
        return (r.buttons == MbButtons::YesNo || r.buttons == MbButtons::YesNoCancel) ? IDYES
                                                                                      : IDOK;
    }
    std::vector<MessageBoxRequest> shown;
    std::deque<int> answers;
    std::function<void(const MessageBoxRequest&)> whileOpen;
};

}  // namespace platform
