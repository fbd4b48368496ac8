// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Animations.h"

#include "device/WindowMessages.h"

namespace msgdesk {

SendAnimation::SendAnimation(platform::MessageLoop& loop, platform::MessageTarget* frame,
                             Ports ports)
    : m_loop(loop), m_frame(frame), m_ports(std::move(ports)) {}

void SendAnimation::start() {
    m_loop.setTimer(m_frame, TIMER_SEND_ANIMATION, 500);
}

bool SendAnimation::running() const {
    return m_loop.timerActive(m_frame, TIMER_SEND_ANIMATION);
}

void SendAnimation::onTimer() {
    if (m_icon > 145) m_icon = 140;
    if (m_ports.showIcon) m_ports.showIcon(m_icon);
    ++m_icon;
    bool complete = m_ports.batchComplete && m_ports.batchComplete();
    bool link = m_ports.linkActive && m_ports.linkActive();
    if (complete || !link) {
        m_loop.killTimer(m_frame, TIMER_SEND_ANIMATION);
        if (m_ports.finished) m_ports.finished();
        if (m_ports.showIcon) m_ports.showIcon(140);
    }
}

RingAnimation::RingAnimation(platform::MessageLoop& loop, platform::MessageTarget* view,
                             std::function<void(int)> showImage)
    : m_loop(loop), m_view(view), m_show(std::move(showImage)) {}

void RingAnimation::start() {
    m_loop.setTimer(m_view, TIMER_RINGING, 500);
}

bool RingAnimation::running() const {
    return m_loop.timerActive(m_view, TIMER_RINGING);
}

void RingAnimation::onTimer() {
    if (++m_frame > 604) m_frame = 600;
    if (m_show) m_show(m_frame);
}

void RingAnimation::stop() {
    m_loop.killTimer(m_view, TIMER_RINGING);
    m_frame = 600;
    if (m_show) m_show(600);
}

}  // namespace msgdesk
