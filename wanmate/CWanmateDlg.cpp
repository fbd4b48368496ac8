#include "CWanmateDlg.h"

#include "res/Texts.h"

namespace wanmate {

CWanmateDlg::CWanmateDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(text::kSettingsCaption));
    resize(480, 295);
}

}  // namespace wanmate
