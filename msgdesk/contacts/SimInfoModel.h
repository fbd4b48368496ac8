// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "device/DeviceSlot.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// The SIM information view without its window: the texts of a snapshot of
// the device table taken when it opens, and the blinking of the first
// device whose message store is full, on timer 1000 every 500 ms until a
// click into the tree stops it.
class SimInfoModel final : public platform::MessageTarget {
public:
    static constexpr unsigned kBlinkTimer = 1000;
    static constexpr unsigned kBlinkMs = 500;

    struct Device {
        int index = 0;
        std::string label;          // "Zunto[%d]", UTF-8
        std::string phonebookLine;  // string 60058
        std::string messageLine;    // string 60059
    };

    SimInfoModel(platform::MessageLoop& loop, const DeviceSnapshot& snapshot);
    ~SimInfoModel() override;

    // select(d): select device d's root and take the focus; 0 selects nothing.
    void setSelectHandler(std::function<void(int)> select) { m_select = std::move(select); }
    const std::vector<Device>& devices() const { return m_devices; }
    // Starts timer 1000 (the dialog's initialisation).
    void start();
    // A mouse click in the tree: the blinking ends, the selection stays.
    void click();
    bool blinking() const;
    // The first device whose message count equals its capacity (0 and 0
    // included: not reported yet); 0 when none.
    int firstFullDevice() const { return m_firstFull; }

    std::intptr_t onMessage(const platform::Message&) override { return 0; }
    void onTimer(unsigned id) override;

private:
    platform::MessageLoop& m_loop;
    std::function<void(int)> m_select;
    std::vector<Device> m_devices;
    int m_firstFull = 0;
    bool m_blink = false;
};

}  // namespace msgdesk
