// SPDX-License-Identifier: LGPL-2.1-or-later
// USB discovery over fake sysfs trees, and the table of known modems.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/ModemTable.h"
#include "platform/Registry.h"
#include "support/FakeUsbTree.h"
#include "transport/Discovery.h"

namespace fs = std::filesystem;
using platform::usb::ModemTable;

namespace {

class FakeSysfs {
public:
    FakeSysfs()
        : m_root(fs::temp_directory_path() / ("modlink-sysfs-" + std::to_string(::getpid()))) {
        fs::remove_all(m_root);
        fs::create_directories(m_root / "class/tty/ttyS0");  // no device link
        ::setenv("MODLINK_SYSFS_ROOT", m_root.c_str(), 1);
        ::setenv("MODLINK_DEV_DIR", "/devx", 1);
    }
    ~FakeSysfs() {
        ::unsetenv("MODLINK_SYSFS_ROOT");
        ::unsetenv("MODLINK_DEV_DIR");
        fs::remove_all(m_root);
    }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
};

struct Port {
    const char* dev;
    unsigned vid, pid;
    int iface;
    const char* tty;
};

const char* kTable = R"(# test table
1a7c:3d41 at=any Zunto ZT3D41
12d1:1001 at=2,1 data=0 Huawei E1550
2c7c:0125 at=2,3 data=3 Quectel EC25
1546:1102 at=2,4,0 data=0 u-blox TOBY-L2
)";

}  // namespace

TEST(Discovery, FindsTheZuntoModemsPortsGroupedAndOrdered) {
    FakeSysfs sys;
    test::addUsbPort(sys.root(), "1-1", 0x1a7c, 0x3d41, 2, "ttyUSB10");
    test::addUsbPort(sys.root(), "1-1", 0x1a7c, 0x3d41, 0, "ttyUSB2");
    test::addUsbPort(sys.root(), "1-2", 0x12d1, 0x1001, 0, "ttyUSB0");  // another maker's modem
    test::addUsbPort(sys.root(), "1-3", 0x1a7c, 0x3d41, 0, "ttyUSB5");
    auto found = modlink::findUsbModems();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].ports, (std::vector<std::string>{"/devx/ttyUSB2", "/devx/ttyUSB10"}));
    EXPECT_EQ(found[1].ports, (std::vector<std::string>{"/devx/ttyUSB5"}));
}

// One USB tree a row: which ports the table's modems offer for AT (in the
// table's order) and which ports nothing may write to.
TEST(Discovery, TableSortsEveryUsbSerialPort) {
    struct Row {
        const char* name;
        std::vector<Port> ports;
        std::vector<std::string> candidates;  // per table modem, joined by ' ', modems by '|'
        std::vector<std::string> unused;      // port paths
    };
    const Row rows[] = {
        {"huawei: PCUI before the diagnostic port, the modem port unused",
         {{"1-2", 0x12d1, 0x1001, 0, "ttyUSB0"},
          {"1-2", 0x12d1, 0x1001, 1, "ttyUSB1"},
          {"1-2", 0x12d1, 0x1001, 2, "ttyUSB2"}},
         {"/devx/ttyUSB2 /devx/ttyUSB1"},
         {"/devx/ttyUSB0"}},
        {"quectel beside a serial adapter and an unknown CDC-ACM board",
         {{"1-3", 0x2c7c, 0x0125, 0, "ttyUSB4"},
          {"1-3", 0x2c7c, 0x0125, 1, "ttyUSB5"},
          {"1-3", 0x2c7c, 0x0125, 2, "ttyUSB6"},
          {"1-3", 0x2c7c, 0x0125, 3, "ttyUSB7"},
          {"1-4", 0x0403, 0x6001, 0, "ttyUSB9"},
          {"1-5", 0x2341, 0x0043, 0, "ttyACM0"}},
         {"/devx/ttyUSB6 /devx/ttyUSB7"},
         {"/devx/ttyUSB4", "/devx/ttyUSB5", "/devx/ttyUSB9", "/devx/ttyACM0"}},
        {"u-blox CDC-ACM ports by interface number, not by name",
         {{"1-6", 0x1546, 0x1102, 0, "ttyACM3"},
          {"1-6", 0x1546, 0x1102, 2, "ttyACM4"},
          {"1-6", 0x1546, 0x1102, 4, "ttyACM5"},
          {"1-6", 0x1546, 0x1102, 6, "ttyACM6"}},
         {"/devx/ttyACM4 /devx/ttyACM5 /devx/ttyACM3"},
         {"/devx/ttyACM6"}},
        {"the Zunto modem is left to its own discovery; two table modems",
         {{"1-1", 0x1a7c, 0x3d41, 0, "ttyUSB1"},
          {"1-2", 0x12d1, 0x1001, 2, "ttyUSB2"},
          {"1-7", 0x12d1, 0x1001, 2, "ttyUSB12"}},
         {"/devx/ttyUSB2", "/devx/ttyUSB12"},
         {}},
        {"a known modem whose AT interfaces have no port yet",
         {{"1-2", 0x12d1, 0x1001, 0, "ttyUSB0"}},
         {},
         {"/devx/ttyUSB0"}},  // then the device itself, named by its sysfs path
        {"the id one digit off is no table modem",
         {{"1-2", 0x12d1, 0x1002, 2, "ttyUSB2"}},
         {},
         {"/devx/ttyUSB2"}},
    };
    auto table = ModemTable::parse(kTable);
    ASSERT_TRUE(table.errors().empty());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSysfs sys;
        for (const auto& p : row.ports)
            test::addUsbPort(sys.root(), p.dev, p.vid, p.pid, p.iface, p.tty);
        std::vector<std::string> skip;
        for (const auto& m : modlink::findUsbModems()) skip.push_back(m.usbPath);
        auto plan = modlink::planPorts(modlink::listUsbSerialPorts(), table, skip);
        std::vector<std::string> candidates;
        for (const auto& m : plan.modems) {
            std::string joined;
            for (const auto& c : m.candidates) joined += (joined.empty() ? "" : " ") + c;
            candidates.push_back(joined);
        }
        EXPECT_EQ(candidates, row.candidates);
        std::vector<std::string> unused;
        for (const auto& u : plan.unused)
            if (u.path.rfind("/devx/", 0) == 0) unused.push_back(u.path);
        EXPECT_EQ(unused, row.unused);
        for (const auto& u : plan.unused) {
            if (u.path == "/devx/ttyACM0") EXPECT_NE(u.why.find("CDC-ACM"), std::string::npos);
            if (u.path == "/devx/ttyUSB9") EXPECT_NE(u.why.find("name it"), std::string::npos);
        }
    }
}

TEST(Discovery, TableLinesParseOrAreNamedAsErrors) {
    struct Row {
        const char* line;
        bool ok;
        std::vector<int> at;
        int data;  // -1: none
    };
    const Row rows[] = {
        {"12d1:1001 at=2,1 data=0 Huawei E1550", true, {2, 1}, 0},
        {"12D1:1001 at=any Huawei", true, {}, -1},
        {"12d1:1001 at=31 x", true, {31}, -1},  // the last interface number
        {"12d1:1001 at=32 x", false, {}, -1},   // the first one past it
        {"12d1:1001 at=2 data=32 x", false, {}, -1},
        {"12d1:1001 data=0 no at", false, {}, -1},
        {"12d1:1001 at= x", false, {}, -1},
        {"12d1:1001 at=2,,1 x", false, {}, -1},
        {"12d:1001 at=2 x", false, {}, -1},
        {"12d1:10011 at=2 x", false, {}, -1},
        {"12d1-1001 at=2 x", false, {}, -1},
        {"12g1:1001 at=2 x", false, {}, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        auto t = ModemTable::parse(std::string("# comment\n\n") + r.line + "  # tail\n");
        ASSERT_EQ(t.modems().size(), r.ok ? 1u : 0u);
        EXPECT_EQ(t.errors().size(), r.ok ? 0u : 1u);
        if (!r.ok) {
            EXPECT_EQ(t.errors()[0].rfind("line 3: ", 0), 0u) << t.errors()[0];
            continue;
        }
        EXPECT_EQ(t.modems()[0].atInterfaces, r.at);
        EXPECT_EQ(t.modems()[0].dataInterface.value_or(-1), r.data);
    }
    // The longest line kept and the first one too long; the first of two
    // entries for one id wins.
    std::string name(ModemTable::kMaxLine - 15, 'x');
    auto t = ModemTable::parse("2c7c:0125 at=2 " + name + "\n2c7c:0296 at=2 " + name + "y\n" +
                               "2c7c:0125 at=3 second\n");
    ASSERT_EQ(t.modems().size(), 1u);
    EXPECT_EQ(t.modems()[0].name.size(), name.size());
    ASSERT_EQ(t.errors().size(), 2u);
    EXPECT_NE(t.errors()[0].find("longer than"), std::string::npos);
    EXPECT_NE(t.errors()[1].find("second entry"), std::string::npos);
    EXPECT_EQ(t.find(0x2c7c, 0x0125)->atInterfaces, std::vector<int>{2});
    EXPECT_EQ(t.find(0x2c7c, 0x0296), nullptr);
    // A missing file: an empty table and one error.
    auto none = ModemTable::load("/nonexistent/modems.table");
    EXPECT_TRUE(none.modems().empty());
    EXPECT_EQ(none.errors().size(), 1u);
}

TEST(Discovery, ShippedTableParsesAndNamesEveryMaker) {
    auto t = ModemTable::load(std::string(MODLINK_SOURCE_DIR) + "/data/modems.table");
    EXPECT_TRUE(t.errors().empty()) << t.errors().front();
    for (auto [vid, maker] :
         std::initializer_list<std::pair<uint16_t, const char*>>{{0x1a7c, "Zunto"},
                                                                 {0x12d1, "Huawei"},
                                                                 {0x19d2, "ZTE"},
                                                                 {0x2c7c, "Quectel"},
                                                                 {0x1e0e, "SIMCom"},
                                                                 {0x1199, "Sierra Wireless"},
                                                                 {0x1bc7, "Telit"},
                                                                 {0x1546, "u-blox"},
                                                                 {0x2cb7, "Fibocom"},
                                                                 {0x1c9e, "Longcheer"},
                                                                 {0x1bbb, "Alcatel"}}) {
        bool seen = false;
        for (const auto& m : t.modems())
            seen = seen || (m.vendor == vid && m.name.rfind(maker, 0) == 0);
        EXPECT_TRUE(seen) << maker;
    }
    ASSERT_NE(t.find(0x1a7c, 0x3d41), nullptr);
    EXPECT_TRUE(t.find(0x1a7c, 0x3d41)->atInterfaces.empty());
    // QEMU's usb-serial adapter is a test's modem, never the shipped table's.
    EXPECT_EQ(t.find(0x0403, 0x6001), nullptr);
}

TEST(Discovery, PortListFromTheEnvironment) {
    ::setenv("MODLINK_PORTS", " /dev/pts/3 ,tcp:127.0.0.1:7000,,", 1);
    EXPECT_EQ(modlink::configuredPorts(),
              (std::vector<std::string>{"/dev/pts/3", "tcp:127.0.0.1:7000"}));
    ::unsetenv("MODLINK_PORTS");
}

TEST(Discovery, PortListFromTheSettingsStoreWhenTheEnvironmentNamesNone) {
    fs::path dir = fs::temp_directory_path() / ("modlink-reg-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    ::setenv("KELVO_REGISTRY_DIR", dir.c_str(), 1);
    ::unsetenv("MODLINK_PORTS");
    EXPECT_TRUE(modlink::configuredPorts().empty());
    {
        platform::RegistryStore store(
            platform::RegistryStore::defaultPath(platform::Hive::CurrentUser));
        ASSERT_TRUE(
            store.setString("SOFTWARE\\kelvo\\MODLINK", "ports", "/dev/ttyUSB3, /dev/ttyACM0"));
    }
    EXPECT_EQ(modlink::configuredPorts(),
              (std::vector<std::string>{"/dev/ttyUSB3", "/dev/ttyACM0"}));
    // The environment, when set, is the list (also when empty).
    ::setenv("MODLINK_PORTS", "", 1);
    EXPECT_TRUE(modlink::configuredPorts().empty());
    ::unsetenv("MODLINK_PORTS");
    ::unsetenv("KELVO_REGISTRY_DIR");
    fs::remove_all(dir);
}
