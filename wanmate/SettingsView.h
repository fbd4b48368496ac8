// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace wanmate {

// The settings as the dialog's controls show them. Texts are GBK bytes.
struct SettingsFields {
    std::string initCommand;
    std::string dialNumber;
    uint32_t dialOnInsert = 0;
    uint32_t startWithSystem = 0;
};

// The settings dialog's side, as the core sees it. The DNS address lives in
// its control only (packed with the first field in the top byte); the other
// settings are exchanged whole.
class SettingsView {
public:
    virtual ~SettingsView() = default;
    virtual uint32_t address() const = 0;
    virtual void setAddress(uint32_t packed) = 0;
    virtual void showFields(const SettingsFields& f) = 0;
    virtual SettingsFields readFields() const = 0;
    virtual void setNumberList(const std::vector<std::string>& numbers) = 0;
};

}  // namespace wanmate
