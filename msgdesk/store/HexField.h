// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// A GBK field as lower-case hex for the space-separated files beside the
// mailboxes ("-" for an empty field, so no column goes missing).
std::string hexField(const std::string& bytes);
// The reverse; false for anything that is not such a field.
bool unhexField(const std::string& field, std::string& bytes);

}  // namespace msgdesk
