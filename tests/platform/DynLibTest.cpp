// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/DynLib.h"

using namespace platform;

TEST(DynLib, LoadsADllNameFromBesideTheExecutable) {
    HMODULE h = LoadLibraryA("dynfixture.dll");
    ASSERT_NE(h, nullptr) << lastDynLibError();
    auto fn = reinterpret_cast<int (*)()>(GetProcAddress(h, "FixtureAnswer"));
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(fn(), 42);
    EXPECT_EQ(GetProcAddress(h, "NoSuchName"), nullptr);
    EXPECT_TRUE(FreeLibrary(h));
}

TEST(DynLib, EnvironmentNamesAnotherDeviceLibrary) {
    setenv("MODLINK_LIBRARY", (executableDir() + "libdynfixture.so").c_str(), 1);
    HMODULE h = LoadLibraryA("modlink.dll");
    unsetenv("MODLINK_LIBRARY");
    ASSERT_NE(h, nullptr) << lastDynLibError();
    EXPECT_NE(GetProcAddress(h, "FixtureAnswer"), nullptr);
    FreeLibrary(h);
}

TEST(DynLib, MissingLibraryFailsCleanly) {
    EXPECT_EQ(LoadLibraryA("no-such-library.dll"), nullptr);
    EXPECT_FALSE(lastDynLibError().empty());
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}
