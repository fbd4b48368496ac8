#pragma once
#include <QMainWindow>

namespace msgdesk {

// The main window of the SMS centre.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
};

}  // namespace msgdesk
