// SPDX-License-Identifier: GPL-3.0-or-later
// The phone dialog's buttons, keys and display.
#include "phone/PhoneDialogCore.h"

#include <algorithm>
#include <cstdio>

#include "contacts/PhoneNumber.h"
#include "device/WindowMessages.h"
#include "phone/PhoneIds.h"
#include "res/StringTable.h"

namespace msgdesk {

using namespace phone;

PhoneDialogCore::PhoneDialogCore(platform::MessageLoop& loop, const platform::Clock& clock,
                                 platform::MessageBoxPort& boxes, Ports ports, int volume)
    : m_loop(loop), m_clockSource(clock), m_boxes(boxes), m_ports(std::move(ports)) {
    m_request.device = 1;
    m_request.volume = std::clamp(volume, kMinVolume, kMaxVolume);
    m_status = kStatusEmpty;
    m_cells.fill(' ');
    m_loop.setTimer(this, TIMER_CLOCK, kClockMs);
}

PhoneDialogCore::~PhoneDialogCore() {
    m_loop.forget(this);
}

bool PhoneDialogCore::clockRunning() const {
    return m_loop.timerActive(const_cast<PhoneDialogCore*>(this), TIMER_CLOCK);
}

std::string PhoneDialogCore::deviceText() const {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", m_request.device);
    return b;
}

int PhoneDialogCore::cellPicture(char c) {
    if (c >= '0' && c <= '9') return IDB_CELL_DIGIT0 + (c - '0');
    switch (c) {
        case '*':
            return IDB_CELL_STAR;
        case '#':
            return IDB_CELL_HASH;
        case '+':
            return IDB_CELL_PLUS;
        case ':':
            return IDB_CELL_COLON;
        default:
            return IDB_CELL_EMPTY;
    }
}

bool PhoneDialogCore::guard() {
    if (m_ports.linkActive && m_ports.linkActive()) return true;
    m_boxes.show({IDS_NO_ACTIVE_DEVICE, LoadStr(IDS_NO_ACTIVE_DEVICE), LoadStr(IDS_APP_TITLE),
                  platform::MbIcon::Exclamation, platform::MbButtons::Ok});
    return false;
}

void PhoneDialogCore::command(int op) {
    if (!m_ports.frame) return;
    m_loop.send(m_ports.frame,
                platform::Message{UM_PHONECOMMAND, static_cast<platform::WPARAM>(op),
                                  reinterpret_cast<platform::LPARAM>(&m_request), nullptr});
}

void PhoneDialogCore::setStatus(const char* utf8) {
    m_status = kStatusClear;
    notify(Field::Status);
    m_status = utf8;
    notify(Field::Status);
}

void PhoneDialogCore::showDigits() {
    m_cells.fill(' ');
    const size_t shown = std::min<size_t>(m_digits.size(), kCells);
    std::copy(m_digits.end() - static_cast<std::ptrdiff_t>(shown), m_digits.end(),
              m_cells.end() - static_cast<std::ptrdiff_t>(shown));
    m_number = m_digits.substr(0, kNumberDigits);
    notify(Field::Cells);
    notify(Field::Focus);
}

void PhoneDialogCore::loadDigits(const std::string& number) {
    if (!IsValidPhoneNumber(number)) return;
    m_digits = number.substr(0, kMaxDigits);
    showDigits();
}

void PhoneDialogCore::dialOrAnswer() {
    if (!guard()) return;
    if (m_ringing) {
        command(OP_BEGIN);
        command(OP_ATTACH);
        stopRing();
    } else if (!m_dialling) {
        // A current device that went away gives way to one still there.
        pickAttachedDevice();
        m_dialling = true;
        m_request.setNumber(m_number);
        m_outgoing.add(m_number);
        // The word goes up first, so a refusal answered at once ends on
        // "拨号失败" rather than being overwritten.
        setStatus(kStatusDialling);
        command(OP_BEGIN);
        command(OP_DIALUP);
    }
}

void PhoneDialogCore::hangUp() {
    if (!guard()) return;
    if (m_dialling || m_ringing || m_inCall) command(OP_UNATTACH);
    clearDigits();
}

void PhoneDialogCore::redial() {
    if (!guard() || m_dialling) return;
    pickAttachedDevice();
    const std::string last = m_outgoing.entry(0);
    m_request.setNumber(last);
    loadDigits(last);
    m_dialling = true;
    setStatus(kStatusRedialling);
    command(OP_BEGIN);
    command(OP_DIALUP);
}

void PhoneDialogCore::key(char c) {
    if (c == '*' || c == '#') {
        if (m_ringing || !m_inCall) return;
        m_request.setDigits(std::string(1, c));
        command(OP_DIALEXT);
        return;
    }
    if (c < '0' || c > '9' || m_ringing) return;
    if (m_digits.size() < kMaxDigits) {
        m_digits.push_back(c);
        showDigits();
    }
    if (m_inCall) {
        m_request.setDigits(std::string(1, c));
        command(OP_DIALEXT);
    }
}

void PhoneDialogCore::backspace() {
    if (!m_digits.empty()) m_digits.pop_back();
    showDigits();
}

void PhoneDialogCore::clearDigits() {
    m_digits.clear();
    showDigits();
}

void PhoneDialogCore::sendVolume() {
    notify(Field::Volume);
    command(OP_BEGIN);
    command(OP_SETVOLUME);
}

void PhoneDialogCore::volumeUp() {
    if (!guard() || m_request.volume >= kMaxVolume) return;
    m_request.volume = std::min(m_request.volume + kVolumeStep, kMaxVolume);
    sendVolume();
}

void PhoneDialogCore::volumeDown() {
    if (!guard() || m_request.volume <= kMinVolume) return;
    m_request.volume = std::max(m_request.volume - kVolumeStep, kMinVolume);
    sendVolume();
}

bool PhoneDialogCore::attached(int device) const {
    const int n = m_ports.deviceCount ? m_ports.deviceCount() : 0;
    if (device < 1 || device > n) return false;
    return !m_ports.deviceAttached || m_ports.deviceAttached(device);
}

bool PhoneDialogCore::pickAttachedDevice() {
    if (attached(m_request.device)) return true;
    const int n = m_ports.deviceCount ? m_ports.deviceCount() : 0;
    // Devices keep their indices when one goes, so the search runs over all
    // of them from the one after the current, not over a count of the rest.
    for (int k = 1; k <= kMaxDevices; ++k) {
        const int d = (m_request.device - 1 + k) % kMaxDevices + 1;
        if (d > n || !attached(d)) continue;
        m_request.device = d;
        notify(Field::Device);
        return true;
    }
    return false;
}

void PhoneDialogCore::changeDevice() {
    const int n = m_ports.deviceCount ? m_ports.deviceCount() : 0;
    int active = 0;
    for (int d = 1; d <= n; ++d) active += attached(d) ? 1 : 0;
    auto info = [&](unsigned id) {
        m_boxes.show({id, LoadStr(id), LoadStr(IDS_APP_TITLE), platform::MbIcon::Information,
                      platform::MbButtons::Ok});
    };
    // With the current device gone, the one left is another device to go to.
    const bool currentGone = !attached(m_request.device);
    if (active == 0 || (active == 1 && !currentGone)) return info(IDS_NO_OTHER_DEVICE);
    if (m_ringing || m_dialling || m_inCall) return info(IDS_DEVICE_IN_USE);
    // The next attached device; after the last one comes the first.
    for (int k = 1; k <= kMaxDevices; ++k) {
        const int d = (m_request.device - 1 + k) % kMaxDevices + 1;
        if (d > n || !attached(d)) continue;
        m_request.device = d;
        break;
    }
    notify(Field::Device);
    sendVolume();
}

void PhoneDialogCore::openPhonebook() {
    if (m_pickerOpen || !m_picker) return;
    m_pickerOpen = true;
    std::string number;
    const bool ok = m_picker(number);
    m_pickerOpen = false;
    if (ok) loadDigits(number);
}

void PhoneDialogCore::hide() {
    m_loop.killTimer(this, TIMER_CLOCK);
}

void PhoneDialogCore::shown() {
    m_loop.setTimer(this, TIMER_CLOCK, kClockMs);
}

bool PhoneDialogCore::keyDown(char k) {
    if (k >= '0' && k <= '9') {
        key(k);
        return true;
    }
    switch (k) {
        case '\b':
            backspace();
            return true;
        case '\x1b':
            clearDigits();
            hangUp();
            return true;
        case '\r':
            dialOrAnswer();
            return true;
        case '+':
            volumeUp();
            return true;
        case '-':
            volumeDown();
            return true;
        default:
            return false;
    }
}

}  // namespace msgdesk
