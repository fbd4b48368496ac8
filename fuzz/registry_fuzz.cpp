// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the registry file reader, and round-trips what it
// accepts through the writer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string err;
    auto root = platform::parseRegistryText(text, &err);
    if (root) {
        std::string again = platform::writeRegistryText(*root);
        auto second = platform::parseRegistryText(again, &err);
        if (!second || platform::writeRegistryText(*second) != again) __builtin_trap();
    }
    return 0;
}
