// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's device dialogs: the SIM message manager, the properties
// dialog and the SIM information view. Each runs modally on its model, which
// is the open device dialog while it runs.
#include "device/WindowMessages.h"
#include "shell/MainFrameCore.h"

namespace msgdesk {

namespace {
// Makes a model the open device dialog for the scope of a modal run, and
// drops what was posted to it when the run ends.
class OpenDialog {
public:
    OpenDialog(platform::MessageLoop& loop, platform::MessageTarget*& slot,
               platform::MessageTarget* model)
        : m_loop(loop), m_slot(slot), m_previous(slot), m_model(model) {
        m_slot = model;
    }
    ~OpenDialog() {
        m_slot = m_previous;
        m_loop.forget(m_model);
    }
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget*& m_slot;
    platform::MessageTarget* m_previous;
    platform::MessageTarget* m_model;
};
}  // namespace

void MainFrameCore::openSimMessages() {
    SimMessageModel::Ports ports;
    ports.sendToFrame = [this](const platform::Message& m) { return m_s.loop.send(this, m); };
    ports.askKeep = [this] {
        if (keepOnComputerHook) return keepOnComputerHook();
        return m_window ? m_window->askKeepOnComputer() : 2;
    };
    ports.openView = [this](const MessageRecord& r, const std::string& whole) {
        return m_window ? m_window->openMessageView(r, whole) : 2;
    };
    ports.messageBox = &m_s.messageBox;
    SimMessageModel model(m_store->simCache(), m_link->deviceCount(), std::move(ports));
    OpenDialog open(m_s.loop, m_deviceDialog, &model);
    if (simMessageDialogHook)
        simMessageDialogHook(model);
    else if (m_window)
        m_window->runSimMessageDialog(model);
}

void MainFrameCore::openProperties() {
    PropertiesModel::Devices devices;
    devices.count = [this] { return m_link ? m_link->deviceCount() : 0; };
    devices.centreNumber = [this](int d) { return m_link->devices().centreNumber(d); };
    devices.centreRead = [this](int d) { return m_link->devices().centreRead(d); };
    devices.centreUnknown = [this](int d) { return m_link->devices().centreUnknown(d); };
    PropertiesModel model(m_settings, std::move(devices), m_s.messageBox);
    int result = 2;
    {
        OpenDialog open(m_s.loop, m_deviceDialog, &model);
        if (settingsDialogHook)
            result = settingsDialogHook(model);
        else if (m_window)
            result = m_window->runSettingsDialog(model);
    }
    if (result == platform::IDOK) applyProperties(model);
}

void MainFrameCore::applyProperties(const PropertiesModel& p) {
    const int32_t reportsBefore = m_settings.StatusReport;
    p.writeTo(m_settings);
    if (m_settings.StatusReport != reportsBefore && m_watch) m_watch->applySetting();
    // Written now, not only when the window closes: a crash later loses no setting.
    m_settings.write(m_s.registry);
    if (!p.modified() || !m_link || !m_link->library().SetGSMCenter) return;
    const auto& rows = p.rows();
    const int n = std::min(m_link->deviceCount(), static_cast<int>(rows.size()));
    for (int i = 1; i <= n; ++i) {
        const PropertiesModel::Row& row = rows[static_cast<size_t>(i - 1)];
        // A centre that could not be read and was not edited has no number
        // to send; a device that went while the dialog was open gets none.
        if (row.unknown || row.initialising || row.gone || !m_link->deviceAttached(i)) continue;
        // A request refused at once gets no answer: the old number stays and
        // the failure is shown as an answered one would be.
        if (m_link->setCentreNumber(i, row.number) == -1)
            postToSelf(platform::Message{UM_BATCHFAILURE, BATCH_CENTRE, 0, nullptr});
    }
}

void MainFrameCore::openUssd() {
    UssdModel::Ports ports;
    const DeviceLibrary* lib = m_link ? &m_link->library() : nullptr;
    if (lib && lib->SendUssd && lib->CancelUssd) {
        ports.send = [lib](int d, const std::string& t) { return lib->SendUssd(d, t.c_str()); };
        ports.cancel = [lib](int d) { return lib->CancelUssd(d); };
    }
    const int devices = m_link && m_link->linkActive() ? m_link->deviceCount() : 0;
    const std::string key = std::string(Settings::kProfileKey) + "\\Settings";
    const std::string last = m_s.registry.getString(key, "UssdCode").value_or("");
    UssdModel model(devices, last, std::move(ports));
    {
        OpenDialog open(m_s.loop, m_deviceDialog, &model);
        if (ussdDialogHook)
            ussdDialogHook(model);
        else if (m_window)
            m_window->runUssdDialog(model);
        model.end();
    }
    if (model.lastCode() != last) m_s.registry.setString(key, "UssdCode", model.lastCode());
}

void MainFrameCore::openSimInfoView(const DeviceSnapshot& s) {
    SimInfoModel model(m_s.loop, s);
    if (simInfoDialogHook)
        simInfoDialogHook(model);
    else if (m_window)
        m_window->runSimInfoDialog(model);
}

}  // namespace msgdesk
