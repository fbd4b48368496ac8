// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDBusContext>
#include <QObject>
#include <functional>

#include "compose/ComposeController.h"

namespace msgdesk {

// org.kelvo.Msgdesk1 on the session bus: Send(s number, s text) -> (u row)
// files the message as the compose dialog does and answers the OutBox row;
// a refused message is the error reply ScriptSend names. The rules are the
// compose core's; this class only carries them onto the bus.
class CMsgdeskBus final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvo.Msgdesk1")
    // Spelled out so the answer is named "row" for callers that read it.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kelvo.Msgdesk1\">\n"
                "    <method name=\"Send\">\n"
                "      <arg name=\"number\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"text\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"row\" type=\"u\" direction=\"out\"/>\n"
                "    </method>\n"
                "  </interface>\n")
public:
    using SendFn = std::function<ComposeController::Sent(const std::string& numberGbk,
                                                         const std::string& textGbk)>;
    explicit CMsgdeskBus(SendFn send, QObject* parent = nullptr);
    ~CMsgdeskBus() override;

    // Takes the name and exports the object; false without a session bus
    // or when another program has the name (the program runs on without).
    bool registerOnSessionBus();

public slots:
    uint Send(const QString& number, const QString& text);

private:
    SendFn m_send;
    bool m_registered = false;
};

}  // namespace msgdesk
