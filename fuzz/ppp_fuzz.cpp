// SPDX-License-Identifier: GPL-3.0-or-later
// Outside input of the dial-up layer: pppd's log lines and the phonebook
// file. Neither may crash; a phonebook that parses must survive a write
// and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ras/PppProgress.h"
#include "platform/ras/RasPhonebook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    platform::ras::PppProgress progress;
    progress.begin();
    size_t start = 0;
    while (start <= text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) nl = text.size();
        progress.onLine(std::string_view(text).substr(start, nl - start));
        start = nl + 1;
    }
    progress.onExit(static_cast<int>(size % 256));

    auto book = platform::ras::RasPhonebook::parse(text);
    if (book) {
        auto again = platform::ras::RasPhonebook::parse(platform::ras::RasPhonebook::format(*book));
        if (!again || *again != *book) __builtin_trap();
    }
    return 0;
}
