// SPDX-License-Identifier: GPL-3.0-or-later
// The tray side of the main window: icon, menu 130, showing and hiding the
// settings, dialling, exit. Part of CWanmateDlg, kept apart for size.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

#include "CDialProgressDlg.h"
#include "CSplashWindow.h"
#include "CWanmateDlg.h"
#include "platform/InstanceLock.h"
#include "res/Texts.h"

namespace wanmate {

namespace {
constexpr int kTrayDelayMs = 2000;
}

void CWanmateDlg::buildTray() {
    m_menu = new QMenu(this);
    m_menu->setObjectName("menu130");
    m_menu->setAccessibleName(QString::fromUtf8(text::kAppTitle));
    const std::pair<TrayCommand, const char*> items[] = {{ID_SETTINGS, text::kMenuSettings},
                                                         {ID_REFRESH, text::kMenuRefresh},
                                                         {ID_DIAL, text::kMenuDial},
                                                         {ID_HANGUP, text::kMenuHangUp},
                                                         {ID_EXIT, text::kMenuExit}};
    for (auto [id, label] : items) {
        QAction* a = m_menu->addAction(QString::fromUtf8(label));
        a->setData(int(id));
        a->setObjectName(QString("cmd%1").arg(int(id)));
        connect(a, &QAction::triggered, this, [this, id] {
            switch (id) {
                case ID_SETTINGS:
                    ShowSettings();
                    break;
                case ID_REFRESH:
                    m_core->RefreshDevice();
                    break;
                case ID_DIAL:
                    runDialRequest();
                    break;
                case ID_HANGUP:
                    m_core->hangUpAll();
                    break;
                case ID_EXIT:
                    exitProgram();
                    break;
            }
        });
    }
    connect(m_menu, &QMenu::aboutToShow, this, [this] { updateTrayMenu(); });
    m_tray = new QSystemTrayIcon(QIcon(":/wanmate/icon142.svg"), this);
    m_tray->setObjectName("trayIcon");
    m_tray->setToolTip(QString::fromUtf8(text::kAppTitle));
    m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) ShowSettings();
    });
}

QAction* CWanmateDlg::menuAction(TrayCommand id) const {
    if (!m_menu) return nullptr;
    for (QAction* a : m_menu->actions())
        if (a->data().toInt() == int(id)) return a;
    return nullptr;
}

void CWanmateDlg::updateTrayMenu() {
    TrayMenuState s = m_core->trayMenu();
    if (QAction* a = menuAction(ID_HANGUP)) a->setEnabled(s.hangUpEnabled);
    if (QAction* a = menuAction(ID_REFRESH)) {
        a->setVisible(s.refreshPresent);
        a->setEnabled(s.refreshEnabled);
    }
}

void CWanmateDlg::addTrayIcon() {
    if (m_tray) m_tray->show();
}

void CWanmateDlg::removeTrayIcon() {
    if (m_tray) m_tray->hide();
}

void CWanmateDlg::startTray(std::unique_ptr<platform::InstanceLock> lock, bool showSplash) {
    m_lock = std::move(lock);
    m_trayStarted = true;
    m_trayMode = QSystemTrayIcon::isSystemTrayAvailable();
    if (!m_trayMode) {
        std::fprintf(stderr,
                     "wanmate: the desktop has no notification area; showing the settings\n");
        m_noTrayNote->show();
        ShowSettings();
    } else {
        buildTray();
        QTimer::singleShot(kTrayDelayMs, this, [this] {
            if (m_shown) return;  // the user is in the settings already
            hide();
            addTrayIcon();
        });
    }
    if (showSplash) CSplashWindow::showSplash(this);
}

void CWanmateDlg::ShowSettings() {
    m_mayShow = true;
    m_core->settings().showValues();
    move(200, 150);
    resize(480, 295);
    if (!m_shown) {
        show();
        m_shown = true;
    }
    raise();
    activateWindow();
    removeTrayIcon();
}

void CWanmateDlg::exitProgram() {
    if (m_lock) m_lock->release();
    m_core->exitSave();
    removeTrayIcon();
    if (m_onExit)
        m_onExit();
    else
        QApplication::exit(0);
}

void CWanmateDlg::runDialRequest() {
    if (m_dialing) {
        // A request while a dialog is open (a redial, a device arrival)
        // runs once that dialog has ended.
        m_dialPending = true;
        return;
    }
    m_dialing = true;
    do {
        m_dialPending = false;
        DialRequest request = m_core->dialRequest();
        request.onEvent = [this](DialEvent e, const std::string& why) { onDialEvent(e, why); };
        CDialProgressDlg dlg(*m_core, std::move(request), this);
        m_current = &dlg;
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            dlg.adjustSize();
            dlg.move(s->geometry().center() - dlg.rect().center());
        }
        removeTrayIcon();
        dlg.exec();
        m_current = nullptr;
        if (m_trayMode && !m_shown) addTrayIcon();
    } while (m_dialPending);
    m_dialing = false;
    // A command still waiting hears that the attempt is over.
    for (auto& [reply, wait] : m_dialWaiters) {
        reply->line("the dial ended without a result");
        reply->done(1);
    }
    m_dialWaiters.clear();
}

}  // namespace wanmate
