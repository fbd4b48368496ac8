// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

namespace msgdesk {

// Where data/ and backup/ live: installed, the user's data folder
// ($XDG_DATA_HOME/kelvo/msgdesk, made private when missing); run from a
// build tree, the current directory, as scripts/run-msgdesk.sh and the
// tests expect. The program and `msgdesk --send` both use this one rule.
std::filesystem::path MsgdeskDataRoot();

}  // namespace msgdesk
