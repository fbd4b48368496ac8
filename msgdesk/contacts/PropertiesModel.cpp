// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/PropertiesModel.h"

#include <algorithm>

#include "contacts/PhoneNumber.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"
#include "types/Settings.h"

namespace msgdesk {

PropertiesModel::PropertiesModel(const Settings& s, Devices devices,
                                 platform::MessageBoxPort& boxes)
    : keepSimCopy(s.SaveInCard != 0),
      soundOff(s.Sound != 0),
      statusReports(s.StatusReport != 0),
      resendPosition(PositionForCount(s.Resend)),
      m_devices(std::move(devices)),
      m_boxes(boxes) {
    const int n = std::clamp(m_devices.count ? m_devices.count() : 0, 0, kMaxDevices);
    bool allRead = true;
    for (int d = 1; d <= n; ++d) allRead = allRead && m_devices.centreRead(d);
    for (int d = 1; d <= n; ++d) m_rows.push_back(rowFor(d, allRead));
    m_listEnabled = allRead;
}

int PropertiesModel::PositionForCount(int count) {
    return std::clamp(count, 1, kResendEntries) - 1;
}

PropertiesModel::Row PropertiesModel::rowFor(int device, bool allRead) const {
    Row r;
    r.number = m_devices.centreNumber(device);
    r.label = FormatStr(60048, {device});
    r.device = device;
    r.initialising = r.number.empty() && !allRead;
    r.unknown = !r.initialising && m_devices.centreUnknown && m_devices.centreUnknown(device);
    return r;
}

std::string PropertiesModel::displayText(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return {};
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (r.initialising) return LoadStr(60051);
    if (r.unknown) return "未知";
    return r.number;
}

PropertiesModel::Row* PropertiesModel::rowOfDevice(int device) {
    for (Row& r : m_rows)
        if (r.device == device) return &r;
    return nullptr;
}

bool PropertiesModel::beginEdit(int row) {
    if (!m_listEnabled || row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (r.gone) return false;
    m_editing = r.device;
    m_remembered = r.number;
    return true;
}

std::string PropertiesModel::editText(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return {};
    const Row& r = m_rows[static_cast<size_t>(row)];
    return (r.unknown || r.initialising) ? std::string() : r.number;
}

void PropertiesModel::endEdit(int row, std::optional<std::string> textGbk) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    const int device = m_rows[static_cast<size_t>(row)].device;
    if (device != m_editing) return;
    m_editing = -1;
    if (!textGbk) return;  // cancelled: the row keeps its number
    const std::string text = *textGbk;
    const std::string remembered = m_remembered;
    if (!IsValidPhoneNumber(text)) {
        // The question runs the event loop: UM_SIMREADY may rebuild the rows
        // and UM_DEVICEGONE take the device meanwhile, so nothing held from
        // before is used after it.
        platform::MessageBoxRequest q{60052, LoadStr(60052), LoadStr(IDS_APP_TITLE),
                                      platform::MbIcon::Exclamation, platform::MbButtons::YesNo};
        const bool yes = m_boxes.show(q) == platform::IDYES;
        Row* r = rowOfDevice(device);
        if (!r || r->gone) return;
        if (!yes) {
            // The row keeps the number it has (rebuilt or not).
            if (m_changed) m_changed();
            return;
        }
    }
    Row* r = rowOfDevice(device);
    if (!r || r->gone) return;
    r->number = text;
    r->unknown = false;
    r->initialising = false;
    if (text != remembered) m_modified = true;
    if (m_changed) m_changed();
}

void PropertiesModel::rebuild() {
    const int n = std::clamp(m_devices.count ? m_devices.count() : 0, 0, kMaxDevices);
    std::vector<bool> gone(static_cast<size_t>(n) + 1, false);
    for (const Row& r : m_rows)
        if (r.gone && r.device >= 1 && r.device <= n) gone[static_cast<size_t>(r.device)] = true;
    m_rows.clear();
    for (int d = 1; d <= n; ++d) {
        m_rows.push_back(rowFor(d, true));
        m_rows.back().gone = gone[static_cast<size_t>(d)];
    }
    m_listEnabled = true;
    m_editing = -1;
    if (m_changed) m_changed();
}

void PropertiesModel::deviceGone(int device) {
    const bool all = device == static_cast<int>(DEVICE_GONE_ALL);
    for (Row& r : m_rows) {
        if (!all && r.device != device) continue;
        r.gone = true;
        if (r.device == m_editing) m_editing = -1;
    }
    if (all) m_listEnabled = false;
    if (m_changed) m_changed();
}

std::vector<std::string> PropertiesModel::numbers() const {
    std::vector<std::string> out;
    for (const Row& r : m_rows) out.push_back(r.number);
    return out;
}

void PropertiesModel::writeTo(Settings& s) const {
    s.SaveInCard = keepSimCopy ? 1 : 0;
    s.Sound = soundOff ? 1 : 0;
    s.Resend = std::clamp(resendPosition, 0, kResendEntries - 1) + 1;
    s.StatusReport = statusReports ? 1 : 0;
}

std::intptr_t PropertiesModel::onMessage(const platform::Message& m) {
    if (m.msg == UM_SIMREADY) rebuild();
    if (m.msg == UM_DEVICEGONE) deviceGone(static_cast<int>(m.wParam));
    return 0;
}

}  // namespace msgdesk
