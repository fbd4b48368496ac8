// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

#include "platform/MessageLoop.h"

namespace msgdesk {

// The service query dialog ("业务查询") without its window: which device,
// the code (or, while the network waits for one, the reply), the network's
// answer and a plain status line. While it runs it is the main frame's open
// device dialog and receives UM_USSDANSWER. Ending it (结束, or closing the
// dialog) cancels a session the network keeps open or an answer still due.
class UssdModel final : public platform::MessageTarget {
public:
    struct Ports {
        // SendUssd / CancelUssd of the library; null when it lacks them.
        std::function<int(int device, const std::string& gbk)> send;
        std::function<int(int device)> cancel;
    };

    UssdModel(int deviceCount, std::string lastCodeGbk, Ports ports);
    void setChangedHandler(std::function<void()> f) { m_changed = std::move(f); }

    int deviceCount() const { return m_deviceCount; }
    int device() const { return m_device; }
    void setDevice(int device);
    // The code field's text, GBK.
    std::string code;

    bool available() const { return static_cast<bool>(m_ports.send); }
    // A request is out: its answer has not come.
    bool busy() const { return m_pendingId >= 0; }
    // The network asked for a reply (status 1): the next text sent is it.
    bool sessionOpen() const { return m_session; }
    bool canSend() const;
    const std::string& answer() const { return m_answer; }  // GBK
    const std::string& status() const { return m_status; }  // UTF-8
    // The last code sent (not a reply), to offer next time; GBK.
    const std::string& lastCode() const { return m_lastCode; }

    // 发送: the code, or the reply in an open session.
    void send();
    // 结束: cancels the session or the answer still due; also on closing.
    void end();

    std::intptr_t onMessage(const platform::Message& m) override;

private:
    void onAnswer(const std::string& text);
    void setStatus(std::string utf8);

    int m_deviceCount;
    int m_device = 1;
    Ports m_ports;
    std::function<void()> m_changed;
    int m_pendingId = -1;
    bool m_session = false;
    std::string m_answer;
    std::string m_status;
    std::string m_lastCode;
};

}  // namespace msgdesk
