// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CMsgdeskBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "shell/ScriptSend.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

CMsgdeskBus::CMsgdeskBus(SendFn send, QObject* parent) : QObject(parent), m_send(std::move(send)) {}

CMsgdeskBus::~CMsgdeskBus() {
    if (!m_registered) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(script::kBusPath));
    bus.unregisterService(QString::fromLatin1(script::kBusName));
}

bool CMsgdeskBus::registerOnSessionBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!bus.registerObject(QString::fromLatin1(script::kBusPath), this,
                            QDBusConnection::ExportAllSlots))
        return false;
    if (!bus.registerService(QString::fromLatin1(script::kBusName))) {
        bus.unregisterObject(QString::fromLatin1(script::kBusPath));
        return false;
    }
    m_registered = true;
    return true;
}

uint CMsgdeskBus::Send(const QString& number, const QString& text) {
    const std::string numberGbk = ToGbk(number);
    const std::string textGbk = ToGbk(text);
    const ComposeController::Sent sent =
        m_send ? m_send(numberGbk, textGbk) : ComposeController::Sent{ComposeCheck::Ok, -1};
    if (sent.check != ComposeCheck::Ok) {
        sendErrorReply(QString::fromStdString(script::busErrorName(sent.check)),
                       QString::fromStdString(script::refusalText(sent.check, numberGbk, textGbk)));
        return 0;
    }
    if (sent.row < 0) {
        sendErrorReply(QDBusError::Failed, QStringLiteral("Msgdesk is closing"));
        return 0;
    }
    return static_cast<uint>(sent.row);
}

}  // namespace msgdesk
