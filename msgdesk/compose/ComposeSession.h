// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "compose/ComposeModel.h"
#include "platform/MessageBox.h"
#include "store/ComposeRequest.h"

namespace msgdesk {

// One opening of the compose dialog: the lists, the texts it starts with,
// and how it was closed. The dialog window shows it and calls it; the main
// frame files the result afterwards (ComposeController).
class ComposeSession final {
public:
    ComposeSession(const ContactBook& book, const SimPhonebook& sims, ComposeRequest request,
                   platform::MessageBoxPort& messageBox);

    ComposeModel& model() { return m_model; }
    const ComposeModel& model() const { return m_model; }
    const ComposeRequest& request() const { return m_request; }
    // The message field's first text (GBK): the forwarded text or the draft's.
    const std::string& presetText() const { return m_presetText; }

    // Each change of the "查找:" text (GBK): the phonebook row to select, or
    // none after string 60004 (the dialog then selects the search text). An
    // empty text finds the first row; in an empty list it says nothing.
    std::optional<int> search(std::string_view text);

    // The send (1009) or save (1001) button with the fields' contents.
    // False, after string 60035, when there is no recipient: the dialog
    // stays open.
    bool close(int button, std::string_view extraNumber, std::string text);
    // 1009, 1001, or 2 (cancelled; also before the dialog closed).
    int closedWith() const { return m_closedWith; }
    // The message text taken over when closing with send or save (GBK).
    const std::string& text() const { return m_text; }

private:
    ComposeRequest m_request;
    ComposeModel m_model;
    platform::MessageBoxPort& m_messageBox;
    std::string m_presetText;
    std::string m_text;
    int m_closedWith = 2;
};

}  // namespace msgdesk
