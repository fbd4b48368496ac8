// SPDX-License-Identifier: GPL-3.0-or-later
// The SentBox's delivery reports: the status classes, matching a report to
// its row (single, long, unknown, deleted row, wrapped references), the
// sidecar file and the week after which nothing is awaited any more.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "msgdesk/store/StoreTestSupport.h"
#include "platform/Codepage.h"
#include "store/DeliveryReports.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using State = DeliveryReports::State;
using Outcome = DeliveryReports::Outcome;

LongTexts::Key key(std::string number, std::string time = " 9:00:00", std::string text = "hello") {
    return {std::move(number), "2026-12-07", std::move(time), std::move(text)};
}

answers::StatusReport report(int device, int ref, std::string number, int st,
                             std::string discharge = "261207100005") {
    return {device, ref, std::move(number), st, "261207095959", std::move(discharge)};
}

class Reports : public ::testing::Test {
protected:
    void SetUp() override {
        r.trace = [this](const std::string& s) { traced.push_back(s); };
    }
    Outcome apply(const answers::StatusReport& rep) {
        return r.apply(rep, [this](const LongTexts::Key& k) {
            return std::find(gone.begin(), gone.end(), k) == gone.end();
        });
    }
    State state(const LongTexts::Key& k) const { return r.find(k)->state; }

    DeliveryReports r;
    std::vector<std::string> traced;
    std::vector<LongTexts::Key> gone;  // rows deleted from the SentBox
};

TEST(DeliveryReportClasses, EachTpStClassAndItsEdges) {
    struct Row {
        int st;
        State s;
    } rows[] = {
        {0x00, State::Delivered}, {0x1F, State::Delivered}, {0x20, State::Pending},
        {0x3F, State::Pending},   {0x40, State::Failed},    {0x5F, State::Failed},
        {0x60, State::Failed},    {0x7F, State::Failed},    {0x80, State::Failed},
        {0xFF, State::Failed},
    };
    for (const Row& row : rows) EXPECT_EQ(DeliveryReports::classify(row.st), row.s) << row.st;
}

TEST_F(Reports, SingleMessageIsDeliveredOnlyByItsOwnDeviceReferenceAndNumber) {
    r.track(key("13912345678"), 1, {7}, 1000);
    // Negative rows first: another device, reference or number.
    EXPECT_EQ(apply(report(2, 7, "13912345678", 0)), Outcome::Unknown);
    EXPECT_EQ(apply(report(1, 8, "13912345678", 0)), Outcome::Unknown);
    EXPECT_EQ(apply(report(1, 7, "13912345679", 0)), Outcome::Unknown);
    EXPECT_EQ(traced.size(), 3u);
    EXPECT_EQ(state(key("13912345678")), State::Pending);
    EXPECT_EQ(r.describe(key("13912345678")), "送达报告：等待中");
    // The network writes the number with its country code.
    EXPECT_EQ(apply(report(1, 7, "+8613912345678", 0x00)), Outcome::Matched);
    EXPECT_EQ(state(key("13912345678")), State::Delivered);
    EXPECT_EQ(r.find(key("13912345678"))->reportTime, "2026-12-07 10:00:05");
    EXPECT_EQ(r.describe(key("13912345678")), "送达报告：已送达 12-07 10:00:05");
    // Resolved: the same report again matches nothing.
    EXPECT_EQ(apply(report(1, 7, "13912345678", 0x00)), Outcome::Unknown);
    EXPECT_EQ(r.describe(key("10086")), "");
}

TEST_F(Reports, StillTryingWaitsAndAFailureIsFinal) {
    r.track(key("10086"), 3, {200}, 1000);
    EXPECT_EQ(apply(report(3, 200, "10086", 0x3F)), Outcome::Matched);
    EXPECT_EQ(state(key("10086")), State::Pending);
    EXPECT_EQ(r.find(key("10086"))->reportTime, "");
    EXPECT_EQ(apply(report(3, 200, "10086", 0x40, "261207113000")), Outcome::Matched);
    EXPECT_EQ(r.describe(key("10086")), "送达报告：未送达 12-07 11:30:00");
}

TEST_F(Reports, LongMessageIsDeliveredWhenEveryPartIs) {
    // Its references run over the wrap: 254, 255, 0.
    r.track(key("10010", " 9:00:00", "long"), 1, {254, 255, 0}, 1000);
    EXPECT_EQ(apply(report(1, 255, "10010", 0)), Outcome::Matched);
    EXPECT_EQ(apply(report(1, 254, "10010", 0)), Outcome::Matched);
    EXPECT_EQ(state(key("10010", " 9:00:00", "long")), State::Pending);  // n-1 of n
    EXPECT_EQ(apply(report(1, 0, "10010", 0, "261207100009")), Outcome::Matched);
    EXPECT_EQ(state(key("10010", " 9:00:00", "long")), State::Delivered);
    EXPECT_EQ(r.find(key("10010", " 9:00:00", "long"))->reportTime, "2026-12-07 10:00:09");
    // One failed part fails the message at once; the rest then match nothing.
    r.track(key("10010", " 9:05:00", "long"), 1, {1, 2}, 1300);
    EXPECT_EQ(apply(report(1, 2, "10010", 0x41)), Outcome::Matched);
    EXPECT_EQ(state(key("10010", " 9:05:00", "long")), State::Failed);
    EXPECT_EQ(apply(report(1, 1, "10010", 0)), Outcome::Unknown);
}

TEST_F(Reports, WrappedReferenceMatchesTheNewestRowStillWaiting) {
    // 256 sends later the modem hands out reference 5 again.
    r.track(key("10086", " 9:00:00"), 1, {5}, 1000);
    r.track(key("10086", " 9:30:00"), 1, {5}, 2800);
    EXPECT_EQ(apply(report(1, 5, "10086", 0)), Outcome::Matched);
    EXPECT_EQ(state(key("10086", " 9:30:00")), State::Delivered);
    EXPECT_EQ(state(key("10086", " 9:00:00")), State::Pending);
    // The older one's own late report still finds it.
    EXPECT_EQ(apply(report(1, 5, "10086", 0x41)), Outcome::Matched);
    EXPECT_EQ(state(key("10086", " 9:00:00")), State::Failed);
}

TEST_F(Reports, ReportOfADeletedRowIsTracedAndDropped) {
    r.track(key("10086"), 1, {9}, 1000);
    r.track(key("10010"), 1, {9}, 1000);
    gone.push_back(key("10086"));
    EXPECT_EQ(apply(report(1, 9, "10086", 0)), Outcome::RowDeleted);
    EXPECT_EQ(r.find(key("10086")), nullptr);
    ASSERT_EQ(traced.size(), 1u);
    EXPECT_NE(traced[0].find("deleted"), std::string::npos);
    EXPECT_EQ(apply(report(1, 9, "10086", 0)), Outcome::Unknown);
    EXPECT_EQ(state(key("10010")), State::Pending);  // the other row untouched
}

TEST_F(Reports, PendingEntriesGoAfterAWeekAndThoseOfDeletedRowsAtOnce) {
    const int64_t now = 10'000'000;
    r.track(key("1", " 9:00:00"), 1, {1}, now - DeliveryReports::kPendingSeconds);      // kept
    r.track(key("2", " 9:00:00"), 1, {2}, now - DeliveryReports::kPendingSeconds - 1);  // goes
    r.track(key("3", " 9:00:00"), 1, {3}, now - DeliveryReports::kPendingSeconds - 1);
    ASSERT_EQ(apply(report(1, 3, "3", 0)), Outcome::Matched);  // resolved: kept
    r.track(key("4", " 9:00:00"), 1, {4}, now);
    gone.push_back(key("4", " 9:00:00"));
    EXPECT_EQ(r.prune(now,
                      [this](const LongTexts::Key& k) {
                          return std::find(gone.begin(), gone.end(), k) == gone.end();
                      }),
              2);
    EXPECT_NE(r.find(key("1", " 9:00:00")), nullptr);
    EXPECT_EQ(r.find(key("2", " 9:00:00")), nullptr);
    EXPECT_NE(r.find(key("3", " 9:00:00")), nullptr);
    EXPECT_EQ(r.find(key("4", " 9:00:00")), nullptr);
}

TEST_F(Reports, SidecarKeepsEveryFieldReadablyAndPrivately) {
    storetest::TempDir dir;
    const fs::path file = DeliveryReports::pathFor(dir.path / "SentBox.db");
    EXPECT_EQ(file.filename(), "SentBox.reports");
    EXPECT_TRUE(r.load(file));  // none yet: empty
    const std::string odd = platform::codepage::utf8ToGbk("你好\tworld\nnext");
    r.track(key("13912345678", "10:00:00", odd), 2, {17, 18}, 1234567);
    r.track(key("10086"), 16, {255}, 7);
    ASSERT_EQ(apply(report(2, 18, "13912345678", 0)), Outcome::Matched);
    ASSERT_EQ(apply(report(16, 255, "10086", 0x41)), Outcome::Matched);
    ASSERT_TRUE(r.save(file));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string text = storetest::readFile(file);
    EXPECT_NE(text.find("13912345678\t2026-12-07 10:00:00\t等待中\t-\t2\t17,18\tPD\t1234567\t"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("10086\t2026-12-07  9:00:00\t未送达\t2026-12-07 10:00:05\t16\t255\tF\t"),
              std::string::npos)
        << text;
    DeliveryReports back;
    EXPECT_TRUE(back.load(file));
    EXPECT_EQ(back.entries(), r.entries());

    // A damaged file is set aside and reads as empty.
    storetest::writeFile(file, text.substr(0, text.size() - 5));
    EXPECT_FALSE(back.load(file));
    EXPECT_TRUE(back.entries().empty());
    EXPECT_FALSE(fs::exists(file));
    bool aside = false;
    for (auto& e : fs::directory_iterator(dir.path))
        aside = aside || e.path().filename().string().rfind("SentBox.reports.unreadable", 0) == 0;
    EXPECT_TRUE(aside);
}

}  // namespace
}  // namespace msgdesk::test
