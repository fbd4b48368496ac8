// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// What the preview pane shows: the number and the body of the selected
// message (GBK), or a sample until the first Show.
class PreviewContent final {
public:
    PreviewContent();
    // A null number is taken as empty, a null body as the placeholder.
    void Show(const char* numberGbk, const char* bodyGbk);
    const std::string& number() const { return m_number; }
    const std::string& body() const { return m_body; }

    static const char* caption();          // UTF-8
    static const char* sampleNumber();     // an 11-digit mobile number
    static const char* placeholderUtf8();  // the sentence shown before any message
    // x of the number: 10 per byte of the caption in GBK, plus 24.
    static int numberX();

private:
    std::string m_number;
    std::string m_body;
};

}  // namespace msgdesk
