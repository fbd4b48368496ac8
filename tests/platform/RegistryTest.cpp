// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/Registry.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {
struct TempDir {
    fs::path path;
    TempDir() {
        char tmpl[] = "/tmp/regtestXXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path); }
};
const std::string kKey = "Software\\Kelvo\\KelvoZunto短信中心\\settings";
}  // namespace

TEST(Registry, KeyAndValueNamesIgnoreCase) {
    TempDir d;
    RegistryStore reg(d.path / "user.reg");
    ASSERT_TRUE(reg.setDword(kKey, "SaveInCard", 1));
    EXPECT_EQ(reg.getDword("software\\KELVO\\KelvoZunto短信中心\\Settings", "saveincard"), 1u);
    ASSERT_TRUE(reg.setDword("Software\\Kelvo\\KelvoZunto短信中心\\Settings", "SAVEINCARD", 0));
    EXPECT_EQ(reg.getDword(kKey, "SaveInCard"), 0u);
    // "settings" and "Settings" are one key, not two.
    EXPECT_EQ(reg.enumSubKey("Software\\Kelvo\\KelvoZunto短信中心", 0), "settings");
    EXPECT_FALSE(reg.enumSubKey("Software\\Kelvo\\KelvoZunto短信中心", 1));
}

TEST(Registry, ValuesSurviveARestart) {
    TempDir d;
    {
        RegistryStore reg(d.path / "user.reg");
        reg.setDword(kKey, "Resend", 3);
        reg.setString("Software\\Kelvo GPRS Info", "Phone number", "*99***1#");
        reg.setValue("Software\\Kelvo GPRS Info", "Init Command", RegValue{RegType::Sz, "AT"});
        reg.setValue("Software\\Kelvo GPRS Info", "Blob",
                     RegValue{RegType::Binary, std::string("\0\x01\xFF", 3)});
    }
    RegistryStore again(d.path / "user.reg");
    EXPECT_EQ(again.getDword(kKey, "Resend"), 3u);
    EXPECT_EQ(again.getString("Software\\Kelvo GPRS Info", "Phone number"), "*99***1#");
    // Stored without its NUL and read back as the same bytes.
    auto raw = again.queryValue("Software\\Kelvo GPRS Info", "Init Command");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->data, "AT");
    EXPECT_EQ(again.getString("Software\\Kelvo GPRS Info", "Init Command"), "AT");
    EXPECT_EQ(again.queryValue("Software\\Kelvo GPRS Info", "Blob")->data,
              std::string("\0\x01\xFF", 3));
}

TEST(Registry, AMissingFolderIsMadePrivate) {
    TempDir d;
    const fs::path dir = d.path / "config" / "kelvo";
    RegistryStore reg(dir / "user.reg");
    ASSERT_TRUE(reg.setDword(kKey, "Sound", 1));
    for (const fs::path& p : {dir, dir.parent_path()})
        EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms::owner_all) << p;
}

TEST(Registry, DeleteKeyValueAndEnumerate) {
    TempDir d;
    RegistryStore reg(d.path / "m.reg");
    const std::string cls =
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";
    reg.createKey(cls + "\\0000");
    reg.createKey(cls + "\\0001");
    EXPECT_EQ(reg.enumSubKey(cls, 1), "0001");
    EXPECT_FALSE(reg.enumSubKey(cls, 2));
    EXPECT_TRUE(reg.deleteKey(cls + "\\0000"));
    EXPECT_EQ(reg.enumSubKey(cls, 0), "0001");
    reg.setString("Run", "Kelvo GPRS", "/usr/bin/wanmate");
    EXPECT_TRUE(reg.deleteValue("Run", "kelvo gprs"));
    EXPECT_FALSE(reg.deleteValue("Run", "kelvo gprs"));
    EXPECT_FALSE(reg.deleteKey("No\\Such\\Key"));
    // Deleting ignores case in every part of the path, the last one too, and
    // takes the subtree.
    reg.createKey(cls + "\\0001\\Settings\\Sub");
    const std::string lower =
        "system\\currentcontrolset\\CONTROL\\class\\{4d36e96d-e325-11ce-bfc1-08002be10318}";
    EXPECT_TRUE(reg.deleteKey(lower + "\\0001\\SETTINGS"));
    EXPECT_FALSE(reg.keyExists(cls + "\\0001\\Settings\\Sub"));
    EXPECT_TRUE(reg.keyExists(cls + "\\0001"));
}

TEST(Registry, TwoProcessesWritingAtOnceKeepBoth) {
    TempDir d;
    fs::path file = d.path / "user.reg";
    constexpr int kEach = 40;
    pid_t child = fork();
    if (child == 0) {
        RegistryStore reg(file);
        for (int i = 0; i < kEach; ++i)
            reg.setDword("Software\\Kelvo GPRS Info", "child" + std::to_string(i), i);
        _exit(0);
    }
    RegistryStore reg(file);
    for (int i = 0; i < kEach; ++i)
        reg.setDword("Software\\Kelvo\\KelvoZunto短信中心\\settings", "parent" + std::to_string(i),
                     i);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    RegistryStore check(file);
    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(check.getDword("Software\\Kelvo GPRS Info", "child" + std::to_string(i)),
                  static_cast<uint32_t>(i));
        EXPECT_EQ(check.getDword("Software\\Kelvo\\KelvoZunto短信中心\\settings",
                                 "parent" + std::to_string(i)),
                  static_cast<uint32_t>(i));
    }
}

TEST(Registry, CorruptFileIsKeptAsideAndTheStoreStartsEmpty) {
    TempDir d;
    fs::path file = d.path / "user.reg";
    { std::ofstream(file) << "Windows Registry Editor Version 5.00\n[Key]\n\"v\"=dword:12zz\n"; }
    RegistryStore reg(file);
    EXPECT_FALSE(reg.getDword("Key", "v"));
    bool aside = false;
    for (auto& e : fs::directory_iterator(d.path))
        aside |= e.path().filename().string().rfind("user.reg.corrupt-", 0) == 0;
    EXPECT_TRUE(aside);
    EXPECT_TRUE(reg.setDword("Key", "v", 7));
    EXPECT_EQ(RegistryStore(file).getDword("Key", "v"), 7u);
}

TEST(Registry, ParserRejectsMalformedLinesAndAcceptsContinuations) {
    std::string err;
    EXPECT_FALSE(parseRegistryText("garbage\n", &err));
    EXPECT_FALSE(
        parseRegistryText("Windows Registry Editor Version 5.00\n\"v\"=dword:00000001\n", &err));
    EXPECT_FALSE(parseRegistryText("Windows Registry Editor Version 5.00\n[K]\n\"v=\"x\"\n", &err));
    EXPECT_FALSE(
        parseRegistryText("Windows Registry Editor Version 5.00\n[K]\n\"v\"=hex:123\n", &err));
    auto ok = parseRegistryText(
        "Windows Registry Editor Version 5.00\n\n[K]\n\"v\"=hex(1):41,\\\n  54\n\"q\"=\"a\\\"b\"\n",
        &err);
    ASSERT_TRUE(ok) << err;
    std::string text = writeRegistryText(*ok);
    EXPECT_NE(text.find("\"q\"=\"a\\\"b\""), std::string::npos);
    EXPECT_NE(text.find("hex(1):41,54"), std::string::npos);
}

TEST(Registry, FuzzSeedsRoundTripThroughWriterAndReader) {
    // Every seed (including inputs that once broke the reader) that parses
    // must come back unchanged from a write and a second read.
    int checked = 0;
    for (auto& e : fs::directory_iterator(fs::path(ZUNTO_TEST_DATA) / "fuzz" / "registry_fuzz")) {
        std::ifstream in(e.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string err;
        auto first = parseRegistryText(text, &err);
        if (!first) continue;
        std::string written = writeRegistryText(*first);
        auto second = parseRegistryText(written, &err);
        ASSERT_TRUE(second) << e.path() << ": " << err;
        EXPECT_EQ(writeRegistryText(*second), written) << e.path();
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

TEST(Registry, TypeNumbersOfOtherKindsKeepTheirValue) {
    std::string err;
    auto n = parseRegistryText(
        "Windows Registry Editor Version 5.00\n[K]\n\"m\"=hex(7):41,00,00\n\"x\"=hex(10):01\n",
        &err);
    ASSERT_TRUE(n) << err;
    std::string text = writeRegistryText(*n);
    EXPECT_NE(text.find("hex(7):"), std::string::npos);
    EXPECT_NE(text.find("hex(10):01"), std::string::npos);
}
