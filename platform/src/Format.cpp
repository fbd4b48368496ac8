// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Format.h"

#include <cstdio>

namespace platform {

std::optional<std::string> tryFormat(std::string_view fmt, std::initializer_list<FormatArg> args) {
    std::string out;
    auto arg = args.begin();
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= fmt.size()) return std::nullopt;
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        // Flags and width as the string table uses them: 0, -, digits; then
        // an optional l or ll.
        std::string conversion = "%";
        while (i < fmt.size() &&
               (fmt[i] == '0' || fmt[i] == '-' || (fmt[i] >= '1' && fmt[i] <= '9'))) {
            conversion += fmt[i++];
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') conversion += fmt[i++];
        }
        while (i < fmt.size() && fmt[i] == 'l') ++i;
        if (i >= fmt.size()) return std::nullopt;
        char conv = fmt[i];
        if (arg == args.end()) return std::nullopt;
        char buf[64];
        if (conv == 'd' || conv == 'u') {
            auto* v = std::get_if<int64_t>(&*arg);
            if (!v) return std::nullopt;
            conversion += "lld";
            std::snprintf(buf, sizeof buf, conversion.c_str(), static_cast<long long>(*v));
            out += buf;
        } else if (conv == 's') {
            auto* v = std::get_if<std::string_view>(&*arg);
            if (!v) return std::nullopt;
            if (conversion.size() > 1) {
                int width = std::atoi(conversion.c_str() + 1 + (conversion[1] == '-'));
                bool left = conversion[1] == '-';
                std::string s(*v);
                if (static_cast<int>(s.size()) < width) {
                    std::string pad(static_cast<size_t>(width) - s.size(), ' ');
                    s = left ? s + pad : pad + s;
                }
                out += s;
            } else {
                out += *v;
            }
        } else {
            return std::nullopt;
        }
        ++arg;
    }
    if (arg != args.end()) return std::nullopt;
    return out;
}

std::string format(std::string_view fmt, std::initializer_list<FormatArg> args) {
    auto r = tryFormat(fmt, args);
    return r ? *r : std::string(fmt);
}

}  // namespace platform
