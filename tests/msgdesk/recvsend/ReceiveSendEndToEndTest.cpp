#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;

// The end-to-end runs need a device library that reads and sends short
// messages and a simulator that can deliver them and make sends fail
// ("sms" and "sendfail" on its control channel). Until both are built, the
// runs are skipped, naming what is missing.
std::string missingSmsSupport() {
    const std::string bin = ZUNTO_BIN_DIR;
    if (!fs::exists(bin + "/libmodlink.so")) return "no " + bin + "/libmodlink.so";
    if (!fs::exists(bin + "/zuntosim")) return "no " + bin + "/zuntosim";
    const std::string cmd =
        "printf 'sms 1 10086 probe\\nsendfail 1 10086 1\\nquit\\n' | timeout 5 " + bin +
        "/zuntosim --devices 1 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return "cannot run zuntosim";
    std::string out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    if (out.find("unknown command sms") != std::string::npos)
        return "zuntosim has no 'sms' control command";
    if (out.find("unknown command sendfail") != std::string::npos)
        return "zuntosim has no 'sendfail' control command";
    return {};
}

class ReceiveSendEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        static const std::string missing = missingSmsSupport();
        if (!missing.empty())
            GTEST_SKIP() << "needs SMS support in the device library: " << missing;
        GTEST_SKIP() << "the simulator's sms/sendfail syntax is not settled; runs not written yet";
    }
};

// 100 messages delivered over 2 devices reach the InBox with their numbers,
// names, texts and times, and the SIMs end empty (SaveInCard 0).
TEST_F(ReceiveSendEndToEnd, HundredDeliveredMessagesAreFiled) {}
// 50 messages composed to 50 numbers leave over both devices into the SentBox.
TEST_F(ReceiveSendEndToEnd, FiftyComposedMessagesAreSent) {}
// Numbers that fail twice and then succeed are resent until sent.
TEST_F(ReceiveSendEndToEnd, FailingNumbersAreResentUntilSent) {}

}  // namespace
}  // namespace msgdesk::test
