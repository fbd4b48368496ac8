// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/PreviewContent.h"

#include "platform/Codepage.h"

namespace msgdesk {

const char* PreviewContent::caption() {
    return "联系人号码 :";
}
const char* PreviewContent::sampleNumber() {
    return "13800138000";
}
const char* PreviewContent::placeholderUtf8() {
    return "短信内容将显示在这里。当前没有选中任何短信，这是测试内容。";
}

int PreviewContent::numberX() {
    return 10 * static_cast<int>(platform::codepage::utf8ToGbk(caption()).size()) + 24;
}

PreviewContent::PreviewContent()
    : m_number(sampleNumber()), m_body(platform::codepage::utf8ToGbk(placeholderUtf8())) {}

void PreviewContent::Show(const char* numberGbk, const char* bodyGbk) {
    m_number = numberGbk ? numberGbk : "";
    m_body = bodyGbk ? std::string(bodyGbk) : platform::codepage::utf8ToGbk(placeholderUtf8());
}

}  // namespace msgdesk
