// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <string>

namespace platform {
class QtMessageLoop;
class QtMessageBox;
class QtDesktopNotifier;
class SystemClock;
}  // namespace platform

namespace msgdesk {

class CMainFrame;
class MainFrameCore;
class CMsgdeskDoc;

// The application: registry profile, the document, the main frame and its
// core, run on the Qt event loop.
class CMsgdeskApp final {
public:
    CMsgdeskApp();
    ~CMsgdeskApp();
    // Creates the main window; false when creation failed (the program ends).
    bool InitInstance();
    CMainFrame* mainFrame() const { return m_frame.get(); }
    MainFrameCore* core() const { return m_core.get(); }

private:
    std::unique_ptr<platform::QtMessageLoop> m_loop;
    std::unique_ptr<platform::SystemClock> m_clock;
    std::unique_ptr<platform::QtMessageBox> m_box;
    std::unique_ptr<platform::QtDesktopNotifier> m_notifier;
    std::unique_ptr<CMsgdeskDoc> m_doc;
    std::unique_ptr<MainFrameCore> m_core;
    std::unique_ptr<CMainFrame> m_frame;
};

// Registers the compiled-in pictures (the GUI library is static, so the
// linker would otherwise drop them). Called once by main() and GUI tests.
void InitMsgdeskResources();

// The single document; it adds nothing of its own.
class CMsgdeskDoc final {};

}  // namespace msgdesk
