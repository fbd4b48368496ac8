// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CMsgdeskApp.h"

#include <QtGlobal>
#include <filesystem>

#include "QtDesktopNotifier.h"
#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "platform/DynLib.h"
#include "platform/InstallLayout.h"
#include "platform/Registry.h"
#include "res/StringTable.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolder.h"
#include "shell/MainFrameCore.h"

static void initShellResources() {
    Q_INIT_RESOURCE(shell);
}

namespace msgdesk {

void InitMsgdeskResources() {
    initShellResources();
}

CMsgdeskApp::CMsgdeskApp() = default;

CMsgdeskApp::~CMsgdeskApp() {
    m_frame.reset();
    m_core.reset();
}

bool CMsgdeskApp::InitInstance() {
    m_loop = std::make_unique<platform::QtMessageLoop>();
    m_clock = std::make_unique<platform::SystemClock>();
    m_box = std::make_unique<platform::QtMessageBox>();
    m_doc = std::make_unique<CMsgdeskDoc>();
    m_notifier =
        std::make_unique<platform::QtDesktopNotifier>(QString::fromUtf8(LoadStr(IDS_APP_TITLE)));
    MainFrameCore::Services services{*m_loop,
                                     *m_clock,
                                     *m_box,
                                     platform::RegistryStore::forHive(platform::Hive::CurrentUser),
                                     platform::resourceDir() + "help/msgdesk.html",
                                     MsgdeskDataRoot()};
    services.notifier = m_notifier.get();
    m_core = std::make_unique<MainFrameCore>(services);
    if (!m_core->create()) return false;
    m_frame = std::make_unique<CMainFrame>(*m_core);
    m_box->setParent(m_frame.get());
    m_frame->showMaximized();
    return true;
}

}  // namespace msgdesk
