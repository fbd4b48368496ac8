// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ComposeSession.h"

#include "compose/ComposeIds.h"
#include "res/StringTable.h"

namespace msgdesk {

namespace {
std::string presetNumberOf(const ComposeRequest& r) {
    if (r.mode == 1) return r.text;
    if (r.mode == 3) return r.draftNumber;
    return {};
}
}  // namespace

ComposeSession::ComposeSession(const ContactBook& book, const SimPhonebook& sims,
                               ComposeRequest request, platform::MessageBoxPort& messageBox)
    : m_request(std::move(request)),
      m_model(book, sims, presetNumberOf(m_request)),
      m_messageBox(messageBox),
      m_presetText(m_request.mode == 2
                       ? m_request.text
                       : (m_request.mode == 3 ? m_request.draftText : std::string())) {}

std::optional<int> ComposeSession::search(std::string_view text) {
    std::optional<int> row = m_model.search(text);
    // An emptied search field in an empty list has searched for nothing.
    if (!row && !text.empty())
        m_messageBox.show({60004, LoadStr(60004), LoadStr(IDS_APP_TITLE),
                           platform::MbIcon::Information, platform::MbButtons::Ok});
    return row;
}

bool ComposeSession::close(int button, std::string_view extraNumber, std::string text) {
    if (!m_model.finish(extraNumber)) {
        m_messageBox.show({60035, LoadStr(60035), LoadStr(IDS_APP_TITLE), platform::MbIcon::None,
                           platform::MbButtons::Ok});
        return false;
    }
    m_text = std::move(text);
    m_closedWith = button == compose::IDC_SAVE ? compose::IDC_SAVE : compose::IDC_SEND;
    return true;
}

}  // namespace msgdesk
