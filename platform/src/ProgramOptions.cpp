// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramOptions.h"

#include <cstring>

#include "platform/InstallLayout.h"

namespace platform {

int answerInfoOptions(int argc, char** argv, const char* program, const char* usage,
                      std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::fprintf(out, "%s %s\n", program, programVersion());
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fprintf(out, "%s", usage);
            return 0;
        }
    }
    return -1;
}

}  // namespace platform
