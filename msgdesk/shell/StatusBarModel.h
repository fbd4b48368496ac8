// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <functional>
#include <string>

#include "platform/Clock.h"

namespace msgdesk {

// What the status bar shows, pane by pane, and the rules of UM_STATUSPANE.
// Texts are written only while the bar is visible; the progress bar moves
// regardless. Sources are asked at the moment of the update.
class StatusBarModel final {
public:
    struct MailboxCount {
        bool hasList = false;  // false while the tree's root is selected
        int mailbox = 0;       // 0..4
        int rows = 0;
        int newRows = 0;  // InBox rows whose Status begins with "NEW"
    };
    struct Sources {
        std::function<MailboxCount()> mailboxCount;
        // Message capacity and count of a device 1..16.
        std::function<std::pair<int, int>(int device)> simMessages;
        // Messages sent since start, and OutBox rows given up (Attempts = Resend).
        std::function<std::pair<int, int>()> sendTotals;
    };
    // The window side: a pane's text changed, the progress bar moved.
    struct View {
        std::function<void(int pane, const std::string& utf8)> setText;
        std::function<void(int position)> setProgress;
    };

    StatusBarModel(const platform::Clock& clock, Sources sources, View view);

    // UM_STATUSPANE(pane, kind).
    void update(int pane, long kind);

    void setVisible(bool v) { m_visible = v; }
    bool visible() const { return m_visible; }
    // Text of pane 50010..50014 as last written.
    const std::string& text(int pane) const;
    int progress() const { return m_progress; }

private:
    void write(int pane, const std::string& text);

    const platform::Clock& m_clock;
    Sources m_sources;
    View m_view;
    bool m_visible = true;
    int m_progress = 0;
    std::array<std::string, 5> m_texts{" ", " ", " ", " ", " "};
};

}  // namespace msgdesk
