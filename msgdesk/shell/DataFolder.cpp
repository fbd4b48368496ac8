// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DataFolder.h"

#include "platform/InstallLayout.h"
#include "platform/PrivateFiles.h"

namespace msgdesk {

std::filesystem::path MsgdeskDataRoot() {
    if (!platform::runningInstalled()) return std::filesystem::current_path();
    std::filesystem::path root = platform::userDataDir("msgdesk");
    platform::makePrivateDir(root);
    return root;
}

}  // namespace msgdesk
