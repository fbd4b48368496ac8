// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialProgress.h"

#include <mutex>

#include "WanmateMessages.h"
#include "res/Texts.h"

namespace wanmate {

using namespace platform::ras;

namespace {
// The process-wide handle of the progress dialog initialised last; the
// notifier runs on a thread of the service and reads it under the lock.
std::mutex g_handleMutex;
platform::MessageLoop* g_loop = nullptr;
platform::MessageTarget* g_dialog = nullptr;
}  // namespace

DialProgress::DialProgress(platform::MessageLoop& loop, CRasDialer& dialer,
                           platform::MessageBoxPort& box, DialProgressView& view,
                           platform::MessageTarget* parent, DialRequest request)
    : m_loop(loop),
      m_dialer(dialer),
      m_box(box),
      m_view(view),
      m_parent(parent),
      m_request(std::move(request)) {}

DialProgress::~DialProgress() {
    {
        std::lock_guard lk(g_handleMutex);
        if (g_dialog == this) g_dialog = nullptr;
    }
    m_loop.forget(this);
}

void DialProgress::rasNotifier(unsigned, RASCONNSTATE state, DWORD error) {
    std::lock_guard lk(g_handleMutex);
    if (g_dialog)
        g_loop->post(g_dialog, WM_RAS_PROGRESS, state, static_cast<platform::LPARAM>(error));
}

void DialProgress::start() {
    m_quiet = false;
    m_finished = false;
    m_statusText = text::kInitialising;
    m_view.setStatusText(m_statusText);
    {
        std::lock_guard lk(g_handleMutex);
        g_loop = &m_loop;
        g_dialog = this;
    }
    m_loop.setTimer(this, kStartTimer, kWaitMs);
}

void DialProgress::onTimer(unsigned id) {
    m_loop.killTimer(this, id);
    if (m_ended) return;
    if (id == kStartTimer) {
        runDialAttempt();
    } else if (id == kSearchTimer) {
        if (m_searches >= kSearches) {
            m_quiet = true;
            m_statusText = text::kReplugDevice;
            m_view.setButtonText(text::kOk);
            m_view.setStatusText(m_statusText);
            report(DialEvent::Refused, m_statusText);
        } else {
            search();
        }
    } else if (id == kEntryTimer) {
        // A refusal is shown by the dialer; the dialog stays.
        if (m_dialer.Dial())
            report(DialEvent::Started);
        else
            report(DialEvent::Refused, m_dialer.refusal());
    }
}

void DialProgress::runDialAttempt() {
    m_quiet = false;
    if (m_request.deviceCount == 0) return stopWith(text::kReplugDevice);
    if (m_dialer.GetConnectionStatus() == ConnectionStatus::Connected)
        return stopWith(text::kAlreadyConnected);
    m_searches = 0;
    search();
}

void DialProgress::search() {
    ++m_searches;
    if (m_dialer.FindModemDevice() > 0) return prepareAndDial();
    m_loop.setTimer(this, kSearchTimer, kWaitMs);
}

void DialProgress::prepareAndDial() {
    m_dialer.SetNotifier(&DialProgress::rasNotifier);
    m_dialer.SetRefusalHandler([this](const std::string& why) { report(DialEvent::Refused, why); });
    m_dialer.SetPhoneNumber(m_request.dialNumber.empty() ? std::string("*99#")
                                                         : m_request.dialNumber);
    m_dialer.PrepareModem(m_request.initCommand);
    m_dialer.SetDnsAddress(m_request.dnsText);
    if (!m_dialer.CreateEntry(kEntryName)) return stopWith(text::kEntryFailed);
    // The service takes a moment to see a rewritten entry.
    m_loop.setTimer(this, kEntryTimer, kWaitMs);
}

void DialProgress::stopWith(const char* t) {
    m_statusText = t;
    m_view.setButtonText(text::kOk);
    m_view.setStatusText(m_statusText);
    m_finished = true;
    report(DialEvent::Refused, m_statusText);
}

void DialProgress::report(DialEvent e, const std::string& why) {
    if (e == DialEvent::Started) m_started = true;
    // Cancelling or failing before the dial started is a refusal.
    if (e == DialEvent::Failed && !m_started) e = DialEvent::Refused;
    if (e == DialEvent::Refused) {
        if (m_refused) return;  // told before its box showed
        m_refused = true;
    }
    if (m_request.onEvent) m_request.onEvent(e, why);
}

std::string DialProgress::statusTextOf(unsigned state) {
    switch (state) {
        case RASCS_OpenPort:
            return text::kOpeningPort;
        case RASCS_ConnectDevice:
            return text::kConnectingDevice;
        case RASCS_DeviceConnected:
        case RASCS_AllDevicesConnected:
            return text::kDeviceConnected;
        case RASCS_Authenticate:
            return text::kAuthenticating;
        case RASCS_AuthNotify:
        case RASCS_AuthProject:
        case RASCS_Authenticated:
        case RASCS_Projected:
            return text::kRegistering;
        default:
            return {};
    }
}

std::intptr_t DialProgress::onMessage(const platform::Message& m) {
    if (m.msg != WM_RAS_PROGRESS) return 0;
    onProgress(static_cast<unsigned>(m.wParam), static_cast<DWORD>(m.lParam));
    return 0;
}

void DialProgress::onProgress(unsigned state, DWORD error) {
    if (m_ended) return;
    if (state & 0x2000) {
        // A link that went down before it came up, with a reason, is a
        // failure like any other: the user hears why and may dial again.
        if (state == RASCS_Disconnected && error != 0) return fail(error);
        if (state == RASCS_Connected)
            report(DialEvent::Connected);
        else
            report(DialEvent::Failed, "the link went down");
        return end(platform::IDOK);
    }
    std::string t = statusTextOf(state);
    if (state == RASCS_ConnectDevice) m_view.disableButton();
    if (error == 0) {
        m_statusText = t;
        m_view.setStatusText(m_statusText);
        return;
    }
    fail(error);
}

void DialProgress::fail(DWORD error) {
    m_dialer.HangUp();
    // The dialog ends with this failure: progress that arrives while its
    // box is open (the link's last states) must not fail it a second time.
    m_ended = true;
    std::string msg;
    if (!m_dialer.errorText(error, msg)) msg = text::kUnknownError;
    report(DialEvent::Failed, msg);
    if (error == ERROR_MODEM_MANAGER_REFUSED) {
        // Dialling again would meet the same refusal: no redial question.
        m_box.show({0, text::kManagerRefused, text::kConnectError, platform::MbIcon::None,
                    platform::MbButtons::Ok});
        return end(0);
    }
    if (error == ERROR_PORT_OR_DEVICE) {
        m_box.show({0, msg + text::kReplugAfterError, text::kConnectError, platform::MbIcon::None,
                    platform::MbButtons::Ok});
        return end(0);
    }
    int answer = m_box.show({0, msg + text::kRedialQuestion, text::kConnectError,
                             platform::MbIcon::None, platform::MbButtons::YesNo});
    if (answer == platform::IDYES) {
        if (m_parent) m_loop.post(m_parent, WM_DIAL_REQUEST);
    } else {
        m_quiet = true;
    }
    end(0);
}

void DialProgress::cancel() {
    if (m_ended) return;
    m_view.hideWindow();
    if (!m_finished) m_dialer.HangUp();
    report(DialEvent::Failed, "cancelled");
    end(platform::IDCANCEL);
}

void DialProgress::end(int result) {
    m_ended = true;
    m_loop.forget(this);
    {
        std::lock_guard lk(g_handleMutex);
        if (g_dialog == this) g_dialog = nullptr;
    }
    m_view.endDialog(result);
}

}  // namespace wanmate
