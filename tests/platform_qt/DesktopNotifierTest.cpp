// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop notifier against a private session bus with a stand-in
// notification service.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "QtDesktopNotifier.h"

namespace {

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList got;  // "app|icon|summary|body|category"
public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int) {
        got << QStringList{app, icon, summary, body, hints.value("category").toString()}.join('|');
        return static_cast<uint>(got.size());
    }
};

void spin(int ms, const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && !done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(DesktopNotifier, ReachesTheServiceOnTheSessionBusAndIsSilentWithoutOne) {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    const std::string runtime = std::filesystem::temp_directory_path() / "notifier-no-bus";
    std::filesystem::create_directories(runtime);
    platform::QtDesktopNotifier notifier("App");

    // No bus known: nothing is tried (and no bus daemon started for us).
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    QElapsedTimer t;
    t.start();
    notifier.notify({"13800138000", "hello", "zunto-msgdesk"});
    EXPECT_LT(t.elapsed(), 500);

    FILE* p =
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    char addr[512] = {}, pid[32] = {};
    if (!p || !std::fgets(addr, sizeof addr, p) || !std::fgets(pid, sizeof pid, p)) {
        if (p) ::pclose(p);
        GTEST_SKIP() << "no dbus-daemon";
    }
    ::pclose(p);
    std::string address(addr);
    address.erase(address.find_last_not_of("\n") + 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);

    // A bus without a notification service: the call goes nowhere, at once.
    t.restart();
    notifier.notify({"nobody", "listens", "zunto-msgdesk"});
    EXPECT_LT(t.elapsed(), 500);
    spin(300, [] { return false; });  // let that call reach the bus and fail

    FakeNotifications service;
    QDBusConnection conn = QDBusConnection::connectToBus(QString::fromStdString(address), "fake");
    ASSERT_TRUE(conn.isConnected());
    ASSERT_TRUE(conn.registerObject("/org/freedesktop/Notifications", &service,
                                    QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(conn.registerService("org.freedesktop.Notifications"));
    notifier.notify({"张三", "周末 &lt;一起&gt;", "zunto-msgdesk"});
    spin(3000, [&] { return !service.got.isEmpty(); });
    spin(200, [] { return false; });  // nothing more arrives
    ASSERT_EQ(service.got.size(), 1);
    EXPECT_EQ(service.got[0].toStdString(), "App|zunto-msgdesk|张三|周末 &lt;一起&gt;|im.received");

    QDBusConnection::disconnectFromBus("fake");
    ::kill(static_cast<pid_t>(std::atoi(pid)), SIGTERM);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace

#include "DesktopNotifierTest.moc"
