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

bool PropertiesModel::beginEdit(int row) {
    if (!m_listEnabled || row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    m_editing = row;
    m_remembered = m_rows[static_cast<size_t>(row)].number;
    return true;
}

void PropertiesModel::endEdit(int row, std::optional<std::string> textGbk) {
    if (row != m_editing || row < 0 || row >= static_cast<int>(m_rows.size())) return;
    m_editing = -1;
    if (!textGbk) return;  // cancelled: the row keeps its number
    Row& r = m_rows[static_cast<size_t>(row)];
    r.number = *textGbk;
    r.unknown = false;
    if (!IsValidPhoneNumber(r.number)) {
        platform::MessageBoxRequest q{60052, LoadStr(60052), LoadStr(IDS_APP_TITLE),
                                      platform::MbIcon::Exclamation, platform::MbButtons::YesNo};
        if (m_boxes.show(q) != platform::IDYES) {
            r.number = m_remembered;
            if (m_changed) m_changed();
            return;
        }
    }
    if (r.number != m_remembered) m_modified = true;
    if (m_changed) m_changed();
}

void PropertiesModel::rebuild() {
    const int n = std::clamp(m_devices.count ? m_devices.count() : 0, 0, kMaxDevices);
    m_rows.clear();
    for (int d = 1; d <= n; ++d) m_rows.push_back(rowFor(d, true));
    m_listEnabled = true;
    m_editing = -1;
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
    return 0;
}

}  // namespace msgdesk
