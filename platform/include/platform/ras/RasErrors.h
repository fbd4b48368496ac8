// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

#include "platform/ras/Ras.h"

namespace platform::ras {

// The service's Chinese text of an error number (UTF-8); none for numbers
// it does not know.
std::optional<std::string> rasErrorText(DWORD error);

}  // namespace platform::ras
