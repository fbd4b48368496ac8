// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's find, export and import commands, appended after the
// menus' own items.
#include <QMenuBar>

#include "res/StringTable.h"
#include "shell/CFileDialogs.h"
#include "shell/CMainFrame.h"
#include "shell/MainFrameCore.h"
#include "shell/TransferCommands.h"
#include "store/CFindPane.h"
#include "store/CListMsgView.h"

namespace msgdesk {

QWidget* CMainFrame::setUpTransfer() {
    m_files = std::make_unique<CFileDialogs>(this);
    m_transfer = std::make_unique<TransferCommands>(m_core.messageList(), m_core.contacts(),
                                                    *m_files, m_core.messageBox());
    for (const CommandSpec& s : TransferCommands::commandSpecs()) {
        auto* a = new QAction(QString::fromUtf8(s.menuText).section(QLatin1Char('\t'), 0, 0), this);
        a->setObjectName(QStringLiteral("cmd%1").arg(s.id));
        a->setData(s.id);
        if (s.shortcut) a->setShortcut(QKeySequence(QLatin1String(s.shortcut)));
        QString tip = QString::fromUtf8(LoadStr(static_cast<unsigned>(s.id)))
                          .section(QLatin1Char('\n'), 1, 1);
        if (!tip.isEmpty()) a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, id = s.id] { onCommand(id); });
        addAction(a);
        m_actions[s.id] = a;
    }
    std::vector<MenuSpec> adds = TransferCommands::menuAdditions();
    for (const MenuSpec& more : addedMenuItems()) adds.push_back(more);
    for (const MenuSpec& add : adds) {
        for (QAction* top : menuBar()->actions()) {
            if (top->text() != QString::fromUtf8(add.title) || !top->menu()) continue;
            top->menu()->addSeparator();
            for (int id : add.items) top->menu()->addAction(m_actions[id]);
        }
    }
    m_findPane = new CFindPane(m_transfer->finder(), m_core.messageList(), m_list);
    m_transfer->showFindBar = [this] { m_findPane->showBar(); };
    return m_findPane;
}

bool CMainFrame::transferCommand(int id) {
    if (!m_transfer || !m_transfer->onCommand(id)) return false;
    updateCommandUI();
    return true;
}

bool CMainFrame::transferEnabled(int id, bool& enabled) const {
    if (!m_transfer || !TransferCommands::owns(id)) return false;
    enabled = m_transfer->isCommandEnabled(id);
    return true;
}

}  // namespace msgdesk
