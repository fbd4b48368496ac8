// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "device/PhoneRequest.h"
#include "phone/CallHistory.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// The phone dialog without its window: dialled digits, the two call
// histories, the call flags, the status word, the digit cells, clock,
// device and volume, driven by the dialog's buttons and keys, by
// UM_CALLNOTIFY and UM_PHONERESULT from the main frame and by its own
// timers 105 (clock and status poll) and 106 (ring animation). It never
// calls the device library: every operation goes to the main frame as a
// synchronous UM_PHONECOMMAND carrying request().
//
// The dialled digits are characters of a dial string ('0'-'9', '+', '*',
// '#'), so a number taken from a history or the phonebook shows and dials
// whole. Keys typed on the pad add digits only.
class PhoneDialogCore final : public platform::MessageTarget {
public:
    static constexpr size_t kMaxDigits = 50;
    static constexpr size_t kNumberDigits = 20;
    static constexpr int kCells = 15;
    static constexpr int kMinVolume = 10;
    static constexpr int kMaxVolume = 90;
    static constexpr int kVolumeStep = 10;

    // What the window redraws after a change.
    enum class Field { Status, Cells, Device, Clock, Volume, Ring, Focus };

    struct Ports {
        platform::MessageTarget* frame = nullptr;  // receives UM_PHONECOMMAND
        std::function<bool()> linkActive;
        // Devices 1..deviceCount() were attached at connect; deviceAttached
        // tells the ones still there.
        std::function<int()> deviceCount;
        std::function<bool(int)> deviceAttached;
        std::function<void(Field)> changed;
    };
    // The phonebook picker: true and the number (GBK) when the user chose one.
    using Picker = std::function<bool(std::string& number)>;

    // Starts the clock (timer 105). volume is the Volume setting; a stored
    // level outside 10..90 is brought into that range.
    PhoneDialogCore(platform::MessageLoop& loop, const platform::Clock& clock,
                    platform::MessageBoxPort& boxes, Ports ports, int volume);
    ~PhoneDialogCore() override;
    PhoneDialogCore(const PhoneDialogCore&) = delete;
    PhoneDialogCore& operator=(const PhoneDialogCore&) = delete;

    // Buttons.
    void dialOrAnswer();
    void hangUp();
    void redial();
    // A pad key or keyboard digit: '0'-'9', '*', '#'.
    void key(char c);
    void backspace();
    void clearDigits();
    void volumeUp();
    void volumeDown();
    void changeDevice();
    void openPhonebook();
    // The hide button: stops the clock (and with it the status poll).
    void hide();
    // The window was shown: the clock runs again.
    void shown();
    // Keys seen before the dialog's own handling: '0'-'9' (keyboard or
    // keypad), '\b', '\x1b' (Esc: clears, then hangs up as cancel does),
    // '\r' (Enter: the default button), '+' and '-' (keypad only). True
    // when the key was taken.
    bool keyDown(char key);

    void setPicker(Picker p) { m_picker = std::move(p); }
    bool hasPicker() const { return static_cast<bool>(m_picker); }

    // UM_CALLNOTIFY, UM_PHONERESULT and UM_DEVICEGONE; true when m was one
    // of them. When the current device goes (or the link closes) a call or
    // a dial in progress ends as if the far end hung up, and the next
    // attached device becomes current.
    bool handleMessage(const platform::Message& m);
    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

    // State for the window.
    const std::string& digits() const { return m_digits; }
    const std::string& numberText() const { return m_number; }
    // UTF-8 status word as last written (18 blanks in between two words).
    const std::string& status() const { return m_status; }
    // The fifteen cells, left (1127) to right (1113): a dial character,
    // ':' or ' ' for an empty cell.
    const std::array<char, kCells>& cells() const { return m_cells; }
    static int cellPicture(char c);
    int device() const { return m_request.device; }
    std::string deviceText() const;
    const std::string& clockText() const { return m_clock; }
    int volume() const { return m_request.volume; }
    int ringFrame() const { return m_ringFrame; }
    bool ringing() const { return m_ringing; }
    bool dialling() const { return m_dialling; }
    bool inCall() const { return m_inCall; }
    bool timing() const { return m_timing; }
    long duration() const { return m_duration; }
    bool pickerOpen() const { return m_pickerOpen; }
    bool clockRunning() const;
    const CallHistory& outgoing() const { return m_outgoing; }
    const CallHistory& incoming() const { return m_incoming; }
    const PhoneRequest& request() const { return m_request; }

private:
    bool guard();
    void command(int op);
    void setStatus(const char* utf8);
    void showDigits();
    void loadDigits(const std::string& number);
    void showDuration();
    // tellDevice false: the device is gone, so no EndPhone is sent to it.
    void callEnded(bool tellDevice = true);
    void onDeviceGone(int device);
    bool attached(int device) const;
    // Makes the next attached device after the current one current, when
    // the current one is gone; false when no device is attached.
    bool pickAttachedDevice();
    void callUp();
    void stopRing();
    void sendVolume();
    void onCallNotify(platform::WPARAM w, const char* caller);
    void onPhoneResult(int op, int code);
    void tick();
    void notify(Field f) {
        if (m_ports.changed) m_ports.changed(f);
    }

    platform::MessageLoop& m_loop;
    const platform::Clock& m_clockSource;
    platform::MessageBoxPort& m_boxes;
    Ports m_ports;
    Picker m_picker;
    PhoneRequest m_request;
    std::string m_digits;
    std::string m_number;
    std::string m_status;
    std::string m_clock = "00:00:00";
    std::array<char, kCells> m_cells;
    CallHistory m_outgoing;
    CallHistory m_incoming;
    bool m_ringing = false;
    bool m_dialling = false;
    bool m_inCall = false;
    bool m_timing = false;
    bool m_pickerOpen = false;
    int64_t m_callStartMs = 0;  // monotonic, so a clock change keeps the duration right
    long m_duration = 0;
    int m_ringFrame = 700;
};

}  // namespace msgdesk
