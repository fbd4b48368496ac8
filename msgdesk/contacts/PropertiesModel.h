// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

struct Settings;

// The properties dialog without its window: the settings it edits,
// the resend list position, one SMS centre row per attached device in
// device order, the in-place edit with its doubtful-number question, and the
// modified flag. While open it is the main frame's open modal dialog:
// UM_SIMREADY rebuilds the rows from the devices and enables the list.
class PropertiesModel final : public platform::MessageTarget {
public:
    // What the model reads of the devices (window thread).
    struct Devices {
        std::function<int()> count;                    // attached devices
        std::function<std::string(int)> centreNumber;  // GBK
        std::function<bool(int)> centreRead;           // the answer has come
        std::function<bool(int)> centreUnknown;        // given up; may be empty
    };
    struct Row {
        std::string number;         // GBK; what OK sends
        std::string label;          // "Zunto[%d]", UTF-8
        bool initialising = false;  // not read yet: shows "正在初始化..."
        bool unknown = false;       // given up: shows "未知" until edited
        int device = 0;             // the device the row stands for (row + 1)
        bool gone = false;          // removed: not editable, nothing sent to it
    };
    static constexpr int kResendEntries = 20;  // "1" .. "20"

    PropertiesModel(const Settings& s, Devices devices, platform::MessageBoxPort& boxes);
    // The rows changed: the window shows them again.
    void setChangedHandler(std::function<void()> f) { m_changed = std::move(f); }

    bool keepSimCopy = false;
    bool soundOff = false;
    // "要求送达报告": ask the network for delivery reports.
    bool statusReports = false;
    // 0..19 for the counts 1..20; a stored count outside them gives the nearest.
    int resendPosition = 0;
    static int PositionForCount(int count);

    const std::vector<Row>& rows() const { return m_rows; }
    // The text column 0 shows (UTF-8 for the placeholders, GBK numbers as they are).
    std::string displayText(int row) const;
    bool listEnabled() const { return m_listEnabled; }
    bool modified() const { return m_modified; }

    // Double-click: remembers the row's number; false when it cannot be edited.
    bool beginEdit(int row);
    // The text the in-place editor starts from (GBK): the number, and
    // nothing for a row that shows a placeholder ("未知"), which is no number.
    std::string editText(int row) const;
    // End of the in-place edit: nullopt when cancelled (the row stays).
    // After the 60052 question the row is found again by its device: rows
    // rebuilt meanwhile take the answer on that device's row, and a device
    // gone meanwhile drops it.
    void endEdit(int row, std::optional<std::string> textGbk);
    // UM_SIMREADY.
    void rebuild();
    // UM_DEVICEGONE: the device's row (every row for DEVICE_GONE_ALL) can
    // no longer be edited and sends nothing; an edit of it ends.
    void deviceGone(int device);

    // The values OK gives the main frame.
    std::vector<std::string> numbers() const;
    void writeTo(Settings& s) const;

    std::intptr_t onMessage(const platform::Message& m) override;

private:
    Row rowFor(int device, bool allRead) const;
    Row* rowOfDevice(int device);

    Devices m_devices;
    platform::MessageBoxPort& m_boxes;
    std::function<void()> m_changed;
    std::vector<Row> m_rows;
    std::string m_remembered;
    int m_editing = -1;  // the device whose row is being edited, -1 none
    bool m_listEnabled = false;
    bool m_modified = false;
};

}  // namespace msgdesk
