// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "compose/ComposeRequest.h"
#include "compose/SimMessageModel.h"
#include "device/WindowMessages.h"
#include "store/SimMessageCache.h"

namespace msgdesk {
namespace {

MessageRecord simRecord(int device, int index, const std::string& number,
                        const std::string& date = "2026-01-02") {
    MessageRecord r;
    r.Icon = device;
    r.setNumber(number);
    r.setContact("C" + number);
    r.setText("text " + number);
    r.setDate(date);
    r.setTime("10:11:12");
    r.setStatus(std::to_string(index) + "/" + std::to_string(device));
    return r;
}

// What the dialog sends the main frame, in order.
struct Sent {
    unsigned msg;
    platform::WPARAM w;
    platform::LPARAM l;
    MessageRecord kept;  // UM_KEEPRECORD's record, copied at once
    ComposeRequest compose;
};

class SimMessageModelTest : public ::testing::Test {
protected:
    SimMessageCache cache;
    std::vector<Sent> sent;
    int keepAnswer = 1;
    int asked = 0;
    int viewAnswer = 2;
    std::vector<MessageRecord> viewed;
    int changes = 0;

    void SetUp() override {
        cache.AddSimMessage(simRecord(1, 1, "1001"));
        cache.AddSimMessage(simRecord(2, 3, "2003"));
        cache.AddSimMessage(simRecord(1, 2, "1002"));
        cache.AddSimMessage(simRecord(2, 4, "2004"));
        cache.AddSimMessage(simRecord(2, 7, "2007"));
    }
    SimMessageModel::Ports ports() {
        SimMessageModel::Ports p;
        p.sendToFrame = [this](const platform::Message& m) {
            Sent s{m.msg, m.wParam, m.lParam, {}, {}};
            if (m.msg == UM_KEEPRECORD) s.kept = *reinterpret_cast<const MessageRecord*>(m.lParam);
            if (m.msg == UM_COMPOSE) s.compose = ReadComposeRequest(m);
            sent.push_back(s);
            return std::intptr_t{0};
        };
        p.askKeep = [this] {
            ++asked;
            return keepAnswer;
        };
        p.openView = [this](const MessageRecord& r) {
            viewed.push_back(r);
            return viewAnswer;
        };
        p.changed = [this] { ++changes; };
        return p;
    }
    static std::vector<std::string> numbers(const SimMessageModel& m) {
        std::vector<std::string> out;
        for (const auto& r : m.rows()) out.push_back(r.number());
        return out;
    }
};

TEST_F(SimMessageModelTest, RowsFollowTheCacheOrderAndTheFilterShowsOneDevice) {
    SimMessageModel m(cache, 2, ports());
    EXPECT_EQ(m.filterEntries(), (std::vector<std::string>{"全部", "Zunto[1]", "Zunto[2]"}));
    EXPECT_EQ(numbers(m), (std::vector<std::string>{"1001", "2003", "1002", "2004", "2007"}));
    EXPECT_EQ(m.countText(), "5 条");
    m.setFilter(2);
    EXPECT_EQ(numbers(m), (std::vector<std::string>{"2003", "2004", "2007"}));
    EXPECT_EQ(m.countText(), "3 条");
    m.setFilter(1);
    EXPECT_EQ(m.countText(), "2 条");
    m.setFilter(0);
    EXPECT_EQ(m.rows().size(), 5u);
    const SimMessageCache empty;
    SimMessageModel none(empty, 2, ports());
    EXPECT_EQ(none.countText(), "0 条");
}

TEST_F(SimMessageModelTest, ButtonsFollowTheSelection) {
    SimMessageModel m(cache, 2, ports());
    auto b = m.buttons();
    EXPECT_FALSE(b.view || b.reply || b.forward || b.del || b.exportToPc);
    m.setSelection({1});
    b = m.buttons();
    EXPECT_TRUE(b.view && b.reply && b.forward && b.del && b.exportToPc);
    m.setSelection({1, 3});
    b = m.buttons();
    EXPECT_FALSE(b.view || b.reply || b.forward);
    EXPECT_TRUE(b.del && b.exportToPc);
    m.setSelection({5, -1});  // outside the rows
    EXPECT_TRUE(m.selection().empty());
}

TEST_F(SimMessageModelTest, DeletingThreeRowsAsksOnceAndGoesFromTheLastRowToTheFirst) {
    SimMessageModel m(cache, 2, ports());
    m.setFilter(2);
    m.setSelection({0, 1, 2});
    ASSERT_TRUE(m.deleteSelected());
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(sent.size(), 6u);
    const int wantIndex[] = {7, 4, 3};
    const char* wantNumber[] = {"2007", "2004", "2003"};
    for (int i = 0; i < 3; ++i) {
        const Sent& keep = sent[static_cast<size_t>(2 * i)];
        const Sent& del = sent[static_cast<size_t>(2 * i + 1)];
        EXPECT_EQ(keep.msg, UM_KEEPRECORD);
        EXPECT_EQ(keep.w, 1u);
        EXPECT_EQ(keep.kept.number(), wantNumber[i]);
        EXPECT_EQ(keep.kept.Icon, 0);
        EXPECT_EQ(keep.kept.status(), "");
        EXPECT_EQ(keep.kept.date(), "2026-01-02");
        EXPECT_EQ(del.msg, UM_DELETESIMMESSAGE);
        EXPECT_EQ(del.w, 2u);
        EXPECT_EQ(del.l, wantIndex[i]);
    }
    // The rows stay until the device confirms.
    EXPECT_EQ(m.rows().size(), 3u);
}

TEST_F(SimMessageModelTest, NoDeletesWithoutCopiesAndCancelDoesNothing) {
    SimMessageModel m(cache, 2, ports());
    m.setSelection({0, 2});
    keepAnswer = 1044;
    ASSERT_TRUE(m.deleteSelected());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].msg, UM_DELETESIMMESSAGE);
    EXPECT_EQ(sent[0].l, 2);  // row 2 first: "1002" at SIM index 2
    EXPECT_EQ(sent[1].l, 1);
    sent.clear();
    keepAnswer = 2;
    EXPECT_FALSE(m.deleteSelected());
    EXPECT_TRUE(sent.empty());
    m.setSelection({});
    asked = 0;
    EXPECT_FALSE(m.deleteSelected());
    EXPECT_EQ(asked, 0);
}

TEST_F(SimMessageModelTest, ExportCopiesInReverseOrderAndKeepsTheRows) {
    SimMessageModel m(cache, 2, ports());
    m.setSelection({0, 4});
    m.exportSelected();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].kept.number(), "2007");
    EXPECT_EQ(sent[1].kept.number(), "1001");
    EXPECT_EQ(sent[1].kept.contact(), "C1001");
    EXPECT_EQ(sent[1].kept.text(), "text 1001");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(m.rows().size(), 5u);
}

TEST_F(SimMessageModelTest, ConfirmationsListAgainKeepingThePosition) {
    SimMessageModel m(cache, 2, ports());
    m.setSelection({3, 4});
    ASSERT_TRUE(cache.RemoveSimMessageByKey("4/2"));
    const int before = changes;
    m.onMessage(platform::Message{UM_SIMMESSAGES, 0, 0, nullptr});
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(numbers(m), (std::vector<std::string>{"1001", "2003", "1002", "2007"}));
    EXPECT_EQ(m.selection(), (std::vector<int>{3}));
    // The position is past the end after the last row goes: nothing is selected.
    ASSERT_TRUE(cache.RemoveSimMessageByKey("7/2"));
    m.relist();
    EXPECT_TRUE(m.selection().empty());
    EXPECT_EQ(m.countText(), "3 条");
}

TEST_F(SimMessageModelTest, ViewReplyAndForwardSendComposeRequests) {
    SimMessageModel m(cache, 2, ports());
    m.view();  // nothing selected
    EXPECT_TRUE(viewed.empty());
    m.setSelection({1});
    viewAnswer = 1027;
    m.view();
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0].contact(), "C2003");
    viewAnswer = 1025;
    m.view();
    viewAnswer = 2;
    m.view();
    m.reply();
    m.forward();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].compose.mode, 1);
    EXPECT_EQ(sent[0].compose.text, "2003");
    EXPECT_EQ(sent[1].compose.mode, 2);
    EXPECT_EQ(sent[1].compose.text, "text 2003");
    EXPECT_EQ(sent[2].compose.mode, 1);
    EXPECT_EQ(sent[3].compose.mode, 2);
}

TEST_F(SimMessageModelTest, KeysSplitAtTheSlash) {
    int index = -1, device = -1;
    EXPECT_TRUE(SimMessageModel::SplitKey("12/3", index, device));
    EXPECT_EQ(index, 12);
    EXPECT_EQ(device, 3);
    EXPECT_TRUE(SimMessageModel::SplitKey("0/16", index, device));
    EXPECT_FALSE(SimMessageModel::SplitKey("0/17", index, device));
    EXPECT_FALSE(SimMessageModel::SplitKey("12", index, device));
    EXPECT_FALSE(SimMessageModel::SplitKey("/3", index, device));
    EXPECT_FALSE(SimMessageModel::SplitKey("1x/3", index, device));
}

TEST_F(SimMessageModelTest, AHeaderClickSortsAndASecondReverses) {
    cache.AddSimMessage(simRecord(1, 9, "0999", "2025-12-31"));
    SimMessageModel m(cache, 2, ports());
    m.sortByColumn(4);
    EXPECT_EQ(m.rows().front().number(), "0999");
    m.sortByColumn(4);
    EXPECT_EQ(m.rows().back().number(), "0999");
    m.sortByColumn(1);
    EXPECT_EQ(numbers(m).front(), "0999");
    EXPECT_EQ(numbers(m).back(), "2007");
}

}  // namespace
}  // namespace msgdesk
