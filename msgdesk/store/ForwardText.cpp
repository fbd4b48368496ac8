// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ForwardText.h"

#include "platform/Codepage.h"
#include "res/StringTable.h"

namespace msgdesk {

namespace {
// Compose takes one part's worth (in message cost, within the record's
// Text); the rest of a long text would not be sent.
constexpr std::size_t kForwardCost = 140;
}  // namespace

ForwardText ForwardTextOf(const MessageRecord& rec, const std::string& whole) {
    if (whole == rec.text()) return {rec.text(), false};
    return {whole.substr(0, platform::codepage::fitCost(whole, kForwardCost,
                                                        sizeof MessageRecord::Text - 1)),
            true};
}

platform::MessageBoxRequest ForwardShortenedNotice() {
    return platform::MessageBoxRequest{60077, LoadStr(60077), LoadStr(IDS_APP_TITLE),
                                       platform::MbIcon::Information, platform::MbButtons::Ok};
}

}  // namespace msgdesk
