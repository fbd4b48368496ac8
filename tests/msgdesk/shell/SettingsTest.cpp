// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Registry.h"
#include "types/Settings.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {
struct TempReg {
    fs::path dir = fs::temp_directory_path() / ("settings" + std::to_string(::getpid()) + "-" +
                                                std::to_string(reinterpret_cast<uintptr_t>(this)));
    platform::RegistryStore reg{dir / "user.reg"};
    ~TempReg() { fs::remove_all(dir); }
};
const std::string kKey = "Software\\Kelvo\\KelvoZunto短信中心\\settings";
}  // namespace

TEST(Settings, NoProfileGivesTheDefaultsWithSoundOn) {
    TempReg t;
    Settings s;
    EXPECT_EQ(s.Sound, 1);  // before reading
    s.read(t.reg);
    EXPECT_EQ(s.SaveInCard, 0);
    EXPECT_EQ(s.Sound, 0);  // 0 means the sound plays
    EXPECT_EQ(s.Volume, 20);
    EXPECT_EQ(s.Resend, 5);
}

TEST(Settings, ValuesReadFromEitherCaseOfTheSection) {
    TempReg t;
    t.reg.setDword("Software\\Kelvo\\KelvoZunto短信中心\\Settings", "SaveInCard", 1);
    t.reg.setDword("Software\\Kelvo\\KelvoZunto短信中心\\Settings", "Sound", 1);
    t.reg.setDword(kKey, "Volume", 70);
    t.reg.setDword(kKey, "Resend", 0);  // outside the dialog's range: used as it is
    Settings s;
    s.read(t.reg);
    EXPECT_EQ(s.SaveInCard, 1);
    EXPECT_EQ(s.Sound, 1);
    EXPECT_EQ(s.Volume, 70);
    EXPECT_EQ(s.Resend, 0);
}

TEST(Settings, ResendDefaultIsWhatTheFrameHolds) {
    TempReg t;
    Settings s;
    s.Resend = 9;
    s.read(t.reg);
    EXPECT_EQ(s.Resend, 9);
}

TEST(Settings, WrittenBackIntoOneKey) {
    TempReg t;
    Settings s;
    s.SaveInCard = 1;
    s.Sound = 0;
    s.Volume = 90;
    s.Resend = 3;
    ASSERT_TRUE(s.write(t.reg));
    EXPECT_EQ(t.reg.enumSubKey("Software\\Kelvo\\KelvoZunto短信中心", 0), "Settings");
    EXPECT_FALSE(t.reg.enumSubKey("Software\\Kelvo\\KelvoZunto短信中心", 1));
    Settings back;
    back.read(t.reg);
    EXPECT_EQ(back.SaveInCard, 1);
    EXPECT_EQ(back.Sound, 0);
    EXPECT_EQ(back.Volume, 90);
    EXPECT_EQ(back.Resend, 3);
}
