#pragma once
#include <QDialog>

namespace wanmate {

// The dialer's main window: the settings dialog, hidden behind the tray icon.
class CWanmateDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CWanmateDlg(QWidget* parent = nullptr);
};

}  // namespace wanmate
