// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/Sound.h"

using namespace platform;

TEST(Sound, ShippedChimeIsAValidWav) {
    WavInfo w;
    ASSERT_TRUE(ReadWav(std::string(ZUNTO_BIN_DIR) + "/sounds/msg.wav", w));
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_GT(w.pcm.size(), 1000u);
}

TEST(Sound, BrokenOrMissingFilesAreRefusedQuietly) {
    WavInfo w;
    EXPECT_FALSE(ReadWav("/no/such/file.wav", w));
    std::string p =
        std::filesystem::temp_directory_path() / ("bad" + std::to_string(::getpid()) + ".wav");
    std::ofstream(p) << "RIFF\x10\0\0\0WAVEfmt ";
    EXPECT_FALSE(ReadWav(p, w));
    EXPECT_FALSE(PlaySoundAsync(p));
    std::filesystem::remove(p);
}

TEST(Sound, PlayingWithoutASoundDeviceIsSilentNotFatal) {
    // On a machine without a card the player thread gives up at once.
    EXPECT_TRUE(PlaySoundAsync(std::string(ZUNTO_BIN_DIR) + "/sounds/msg.wav"));
    WaitForSound();
}

TEST(Sound, ExitWhileASoundPlaysEndsCleanly) {
    // A program that ends right after starting a sound must not abort.
    EXPECT_EXIT(
        {
            PlaySoundAsync(std::string(ZUNTO_BIN_DIR) + "/sounds/msg.wav");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
