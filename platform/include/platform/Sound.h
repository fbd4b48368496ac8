// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Plays a PCM wav file without waiting for it to end, as PlaySoundA with
// SND_ASYNC does. A sound that is still playing is cut short by the next.
// No sound device, a missing or broken file: silence, and false.
bool PlaySoundAsync(const std::string& path);

// Waits until the current sound has finished (tests, program exit).
void WaitForSound();

struct WavInfo {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::string pcm;  // the sample bytes
};
// Reads a canonical RIFF/WAVE PCM file; false with nothing filled otherwise.
bool ReadWav(const std::string& path, WavInfo& out);

}  // namespace platform
