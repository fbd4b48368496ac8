// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>

namespace modlink::at {

// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038
// 6.2.1), one septet per byte (unpacked, as SIM alpha fields hold it).
std::u16string gsmUnpackedToUcs2(std::string_view septets);

}  // namespace modlink::at
