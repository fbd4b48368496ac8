// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's side of the main window: `wanmate --connect [--wait]`,
// `--disconnect` and `--status` from another process, answered here as the
// tray menu would act. Part of CWanmateDlg, kept apart for size.
#include <QSocketNotifier>
#include <QTimer>
#include <ctime>

#include "CDialProgressDlg.h"
#include "CWanmateDlg.h"

namespace wanmate {

bool CWanmateDlg::startControl(const std::filesystem::path& socket, LinkInfoSource linkInfo,
                               std::string* why) {
    m_linkInfo = std::move(linkInfo);
    auto server = std::make_unique<ControlServer>(
        socket,
        [this](ControlRequest r, ControlReplyPtr reply) { onControl(r, std::move(reply)); });
    if (!server->listen(why)) return false;
    auto* n = new QSocketNotifier(server->fd(), QSocketNotifier::Read, this);
    connect(n, &QSocketNotifier::activated, this, [this] { m_control->onReadable(); });
    m_control = std::move(server);
    return true;
}

void CWanmateDlg::onControl(ControlRequest request, ControlReplyPtr reply) {
    switch (request) {
        case ControlRequest::Connect:
        case ControlRequest::ConnectWait:
            if (m_dialing) {
                reply->line("refused: a dial is under way already");
                return reply->done(1);
            }
            // As the tray menu's 拨号 does; after this handler returns, since
            // the dialog runs its own loop. Requests before it starts share it.
            if (m_dialWaiters.empty()) QTimer::singleShot(0, this, [this] { runDialRequest(); });
            m_dialWaiters.push_back({reply, request == ControlRequest::ConnectWait});
            return;
        case ControlRequest::Disconnect: {
            bool any = m_core->connectionStatus() == ConnectionStatus::Connected;
            if (m_current && m_current->progress() && !m_current->progress()->ended()) {
                m_current->progress()->cancel();
                any = true;
            }
            m_core->hangUpAll();
            reply->line(any ? "hung up" : "not connected");
            return reply->done(0);
        }
        case ControlRequest::Status:
            reply->line(statusReport());
            return reply->done(0);
    }
}

void CWanmateDlg::onDialEvent(DialEvent e, const std::string& why) {
    std::vector<std::pair<ControlReplyPtr, bool>> keep;
    for (auto& [reply, wait] : m_dialWaiters) {
        switch (e) {
            case DialEvent::Started:
                reply->line("dialling");
                if (!wait) {
                    reply->done(0);
                    continue;
                }
                break;
            case DialEvent::Refused:
                reply->line("refused: " + why);
                reply->done(1);
                continue;
            case DialEvent::Connected:
                reply->line("connected");
                reply->done(0);
                continue;
            case DialEvent::Failed:
                reply->line("failed: " + why);
                reply->done(1);
                continue;
        }
        keep.push_back({reply, wait});
    }
    m_dialWaiters = std::move(keep);
}

std::string CWanmateDlg::statusReport() {
    DialProgress* p = m_current ? m_current->progress() : nullptr;
    // A dialog on a final text ("确定") is no longer dialling.
    if (p && !p->ended() && !p->finished() && !p->quiet()) return "dialling: " + p->statusText();
    if (m_core->connectionStatus() != ConnectionStatus::Connected) return "not connected";
    std::string s = "connected";
    auto info = m_linkInfo ? m_linkInfo() : std::nullopt;
    if (!info) return s;
    auto field = [&s](const char* name, const std::string& value) {
        if (!value.empty()) s += std::string("\n") + name + ": " + value;
    };
    field("port", info->port);
    field("interface", info->ifname);
    field("local address", info->localIp);
    field("name server", info->dns);
    if (info->since.time_since_epoch().count() != 0) {
        std::time_t t = std::chrono::system_clock::to_time_t(info->since);
        long up = long(std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now() - info->since)
                           .count());
        char when[64];
        std::tm tm{};
        ::localtime_r(&t, &tm);
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &tm);
        char text[128];
        std::snprintf(text, sizeof text, "%s (%ld:%02ld:%02ld)", when, up / 3600, up / 60 % 60,
                      up % 60);
        field("connected since", text);
    }
    return s;
}

}  // namespace wanmate
