#pragma once
#include <string>

namespace msgdesk {

// What the main frame's core asks of its window. CMainFrame implements it;
// tests record the calls.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;
    virtual void setPaneText(int pane, const std::string& utf8) = 0;
    virtual void setProgress(int position) = 0;
    virtual void setSendIcon(int icon) = 0;
    virtual void setSimFullVisible(bool visible) = 0;
    virtual void showRingImage(int image) = 0;
    virtual void showPhoneDialog() = 0;
    virtual void showAbout() = 0;
    // Closes the main window (posted command 57665 and signals end here).
    virtual void closeWindow() = 0;
};

}  // namespace msgdesk
