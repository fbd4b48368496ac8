// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/SimInfoModel.h"

#include <algorithm>

#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

SimInfoModel::SimInfoModel(platform::MessageLoop& loop, const DeviceSnapshot& snapshot)
    : m_loop(loop) {
    const int n = std::clamp(snapshot.deviceCount, 0, kMaxDevices);
    for (int d = 1; d <= n; ++d) {
        const DeviceSlot& s = snapshot.devices[d];
        Device dev;
        dev.index = d;
        dev.label = FormatStr(60048, {d});
        dev.phonebookLine = FormatStr(
            60058, {s.phonebookCapacity, s.phonebookUsed, s.phonebookCapacity - s.phonebookUsed});
        dev.messageLine = FormatStr(60059, {s.messageCapacity, s.messageCount});
        m_devices.push_back(std::move(dev));
        if (m_firstFull == 0 && s.messageCount == s.messageCapacity) m_firstFull = d;
    }
}

SimInfoModel::~SimInfoModel() {
    m_loop.forget(this);
}

void SimInfoModel::start() {
    m_loop.setTimer(this, kBlinkTimer, kBlinkMs);
}

void SimInfoModel::click() {
    m_loop.killTimer(this, kBlinkTimer);
}

bool SimInfoModel::blinking() const {
    return m_loop.timerActive(const_cast<SimInfoModel*>(this), kBlinkTimer);
}

void SimInfoModel::onTimer(unsigned id) {
    if (id != kBlinkTimer) return;
    if (m_select) m_select(m_blink ? m_firstFull : 0);
    m_blink = !m_blink;
}

}  // namespace msgdesk
