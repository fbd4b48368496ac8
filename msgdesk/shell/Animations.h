// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

#include "platform/MessageLoop.h"

namespace msgdesk {

// The send animation of status pane 50014: icons 140..145 every 500 ms on
// the main frame's timer 103, until the batch is complete or the link drops.
class SendAnimation final {
public:
    struct Ports {
        std::function<bool()> batchComplete;
        std::function<bool()> linkActive;
        std::function<void(int icon)> showIcon;
        std::function<void()> finished;  // sends UM_STATUSPANE(50013, 2)
    };
    SendAnimation(platform::MessageLoop& loop, platform::MessageTarget* frame, Ports ports);
    void start();
    void onTimer();
    bool running() const;
    int icon() const { return m_icon; }

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
    Ports m_ports;
    int m_icon = 140;
};

// The ringing animation of the view's caption button: images 600..604 every
// 500 ms on the view's timer 106; stopping shows 600 again.
class RingAnimation final {
public:
    RingAnimation(platform::MessageLoop& loop, platform::MessageTarget* view,
                  std::function<void(int image)> showImage);
    void start();
    void stop();
    void onTimer();
    bool running() const;
    int frame() const { return m_frame; }

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_view;
    std::function<void(int)> m_show;
    int m_frame = 600;
};

}  // namespace msgdesk
