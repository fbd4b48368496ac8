// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ToolEvents.h"

#include <chrono>
#include <cstdio>

#include "engine/Json.h"
#include "platform/Codepage.h"

namespace modlink::tool {

int MODLINK_CALL ToolEvents::callback(unsigned event, const char* text, void* context, int param) {
    auto* self = static_cast<ToolEvents*>(context);
    std::string json =
        "{\"event\":" + std::to_string(event) + ",\"param\":" + std::to_string(param) +
        ",\"text\":" + (text ? jsonString(platform::codepage::gbkToUtf8(text)) : "null") + "}";
    self->print(json);
    std::lock_guard lock(self->m_mutex);
    bool error = text && (std::string(text).rfind("ERROR", 0) == 0 ||
                          std::string(text).rfind("TIMEOUT", 0) == 0);
    bool listing = event == MODLINK_EV_ENTRY || event == MODLINK_EV_STORED_MESSAGE;
    // These carry a device, which may equal the id of a request: they
    // answer nothing.
    bool indication = event == MODLINK_EV_NEW_MESSAGE || event == MODLINK_EV_INCOMING_CALL ||
                      event == MODLINK_EV_CALL_ENDED || event == MODLINK_EV_SIM_STATE ||
                      event == MODLINK_EV_SEND_REFS || event == MODLINK_EV_STATUS_REPORT;
    if (event == MODLINK_EV_SIM_STATE) self->m_simStates[param] = text ? text : "";
    if (error) ++self->m_errors;
    if (event == MODLINK_EV_SIGNAL) {
        if (!self->m_signals.erase(param)) self->m_signalled.insert(param);
    } else if (event == MODLINK_EV_UNPLUGGED) {
        self->m_signals.clear();
        self->m_waiting.clear();
        ++self->m_errors;
    } else if (!indication && (!listing || !text)) {
        if (!self->m_waiting.erase(param)) self->m_answered.insert(param);
    }
    self->m_cv.notify_all();
    return 0;
}

void ToolEvents::expectAnswer(int id) {
    std::lock_guard lock(m_mutex);
    if (!m_answered.erase(id)) m_waiting.insert(id);
}

void ToolEvents::expectSignal(int device) {
    std::lock_guard lock(m_mutex);
    if (!m_signalled.erase(device)) m_signals.insert(device);
}

void ToolEvents::print(const std::string& json) {
    static std::mutex out;
    std::lock_guard lock(out);
    std::fputs(json.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string ToolEvents::simState(int device) {
    std::lock_guard lock(m_mutex);
    auto it = m_simStates.find(device);
    return it == m_simStates.end() ? std::string() : it->second;
}

bool ToolEvents::wait(int seconds) {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::seconds(seconds),
                         [&] { return m_waiting.empty() && m_signals.empty(); });
}

}  // namespace modlink::tool
