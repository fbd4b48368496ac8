// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sound.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

namespace platform {

namespace {
uint32_t le32(const char* p) {
    return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(p[3])) << 24;
}
uint16_t le16(const char* p) {
    return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1])
                                                                        << 8);
}

std::mutex g_mutex;
std::atomic<bool> g_stop{false};
// The player thread; at program exit a sound still playing is cut short and
// its thread joined (a joinable std::thread must not be destroyed).
struct PlayerThread {
    std::thread thread;
    ~PlayerThread() {
        if (thread.joinable()) {
            g_stop = true;
            thread.join();
        }
    }
};
PlayerThread g_playerThread;
std::thread& g_player = g_playerThread.thread;

void play(WavInfo wav) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
    snd_pcm_format_t fmt = wav.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_set_params(pcm, fmt, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(wav.channels),
                           static_cast<unsigned>(wav.sampleRate), 1, 200000) < 0) {
        snd_pcm_close(pcm);
        return;
    }
    const size_t frameBytes = static_cast<size_t>(wav.channels * wav.bitsPerSample / 8);
    size_t frames = wav.pcm.size() / frameBytes, done = 0;
    while (done < frames && !g_stop) {
        size_t chunk = std::min<size_t>(1024, frames - done);
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, wav.pcm.data() + done * frameBytes, chunk);
        if (n < 0) n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
        if (n < 0) break;
        done += static_cast<size_t>(n);
    }
    if (!g_stop) snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
}

// ALSA prints to stderr when no card exists; a missing device is silence.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

bool ReadWav(const std::string& path, WavInfo& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0)
        return false;
    WavInfo w;
    bool haveFmt = false;
    size_t pos = 12;
    while (pos + 8 <= data.size()) {
        uint32_t len = le32(data.data() + pos + 4);
        if (len > data.size() - pos - 8) len = static_cast<uint32_t>(data.size() - pos - 8);
        const char* body = data.data() + pos + 8;
        if (data.compare(pos, 4, "fmt ") == 0 && len >= 16) {
            if (le16(body) != 1) return false;  // PCM only
            w.channels = le16(body + 2);
            w.sampleRate = static_cast<int>(le32(body + 4));
            w.bitsPerSample = le16(body + 14);
            haveFmt = true;
        } else if (data.compare(pos, 4, "data") == 0 && haveFmt) {
            w.pcm.assign(body, len);
        }
        pos += 8 + len + (len & 1);
    }
    if (!haveFmt || w.pcm.empty() || w.channels < 1 || w.channels > 2 || w.sampleRate < 4000 ||
        w.sampleRate > 192000 || (w.bitsPerSample != 8 && w.bitsPerSample != 16))
        return false;
    out = std::move(w);
    return true;
}

bool PlaySoundAsync(const std::string& path) {
    WavInfo wav;
    if (!ReadWav(path, wav)) return false;
    snd_lib_error_set_handler(quietAlsa);
    std::lock_guard lk(g_mutex);
    if (g_player.joinable()) {
        g_stop = true;
        g_player.join();
    }
    g_stop = false;
    g_player = std::thread(play, std::move(wav));
    return true;
}

void WaitForSound() {
    std::lock_guard lk(g_mutex);
    if (g_player.joinable()) g_player.join();
}

}  // namespace platform
