#include "shell/CMainFrame.h"

#include "res/StringTable.h"

namespace msgdesk {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(LoadStr(IDS_APP_TITLE)));
}

}  // namespace msgdesk
