// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

#include "CRasDialer.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

namespace wanmate {

constexpr unsigned WM_RAS_PROGRESS = platform::WM_USER + 101;  // 1125: wParam state, lParam error

// How an attempt went, for whoever asked for it besides the dialog (the
// command line): the dial started; it was refused before it started; the
// link came up; it failed after it started. The text says why (UTF-8).
enum class DialEvent { Started, Refused, Connected, Failed };

// What a dial attempt starts from, read from the main window.
struct DialRequest {
    int deviceCount = 0;
    std::string dnsText;      // "%3d.%3d.%3d.%3d"
    std::string initCommand;  // GBK, at most 49 bytes
    std::string dialNumber;   // GBK, at most 19 bytes
    std::function<void(DialEvent, const std::string&)> onEvent = nullptr;
};

// The progress dialog's side, as the attempt drives it. Texts are UTF-8.
class DialProgressView {
public:
    virtual ~DialProgressView() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setButtonText(const std::string& text) = 0;
    virtual void disableButton() = 0;
    virtual void hideWindow() = 0;
    virtual void endDialog(int result) = 0;
};

// One dial attempt, the behaviour of the progress dialog (145): the start
// wait, the device search, the entry, the dial, the progress texts, the
// failure questions and cancel. Every wait is a timer, so the window keeps
// painting.
class DialProgress final : public platform::MessageTarget {
public:
    static constexpr unsigned kStartTimer = 1;
    static constexpr unsigned kSearchTimer = 2;
    static constexpr unsigned kEntryTimer = 3;
    static constexpr unsigned kWaitMs = 1000;
    static constexpr int kSearches = 10;

    DialProgress(platform::MessageLoop& loop, CRasDialer& dialer, platform::MessageBoxPort& box,
                 DialProgressView& view, platform::MessageTarget* parent, DialRequest request);
    ~DialProgress() override;

    // The dialog's initialisation: status text, the process-wide handle,
    // the start timer.
    void start();
    // The button (also Esc).
    void cancel();

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

    // The notifier handed to the dial-up service: it only posts the
    // progress to the dialog initialised last.
    static void rasNotifier(unsigned msg, platform::ras::RASCONNSTATE state,
                            platform::ras::DWORD error);
    // The status text of a state; empty for states not listed.
    static std::string statusTextOf(unsigned state);

    const std::string& statusText() const { return m_statusText; }
    bool quiet() const { return m_quiet; }
    bool finished() const { return m_finished; }
    bool ended() const { return m_ended; }
    int searches() const { return m_searches; }

private:
    void runDialAttempt();
    void search();
    void prepareAndDial();
    void stopWith(const char* text);
    void onProgress(unsigned state, platform::ras::DWORD error);
    void fail(platform::ras::DWORD error);
    void end(int result);
    void report(DialEvent e, const std::string& why = {});

    platform::MessageLoop& m_loop;
    CRasDialer& m_dialer;
    platform::MessageBoxPort& m_box;
    DialProgressView& m_view;
    platform::MessageTarget* m_parent;
    DialRequest m_request;
    std::string m_statusText;
    bool m_quiet = false;
    bool m_finished = false;
    bool m_ended = false;
    int m_searches = 0;
    bool m_started = false;
    bool m_refused = false;
};

}  // namespace wanmate
