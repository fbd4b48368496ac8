// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "compose/SimMessageModel.h"
#include "device/WindowMessages.h"
#include "store/ComposeRequest.h"
#include "store/KeptLongMessage.h"
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
    std::string whole;   // and the whole text of a long one
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
    bool keepStored = true;  // what the main frame answers UM_KEEPRECORD
    platform::ScriptedMessageBox boxes;

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
            Sent s{m.msg, m.wParam, m.lParam, {}, {}, {}};
            if (m.msg == UM_KEEPRECORD && m.wParam == KEEP_RECORD)
                s.kept = *reinterpret_cast<const MessageRecord*>(m.lParam);
            if (m.msg == UM_KEEPRECORD && m.wParam == KEEP_LONG_MESSAGE) {
                s.kept = reinterpret_cast<const KeptLongMessage*>(m.lParam)->rec;
                s.whole = reinterpret_cast<const KeptLongMessage*>(m.lParam)->whole;
            }
            if (m.msg == UM_COMPOSE) s.compose = ReadComposeRequest(m);
            sent.push_back(s);
            return std::intptr_t{m.msg == UM_KEEPRECORD && keepStored ? 1 : 0};
        };
        p.askKeep = [this] {
            ++asked;
            return keepAnswer;
        };
        p.openView = [this](const MessageRecord& r, const std::string&) {
            viewed.push_back(r);
            return viewAnswer;
        };
        p.changed = [this] { ++changes; };
        p.messageBox = &boxes;
        return p;
    }
    static std::vector<std::string> numbers(const SimMessageModel& m) {
        std::vector<std::string> out;
        for (const auto& r : m.rows()) out.push_back(r.rec.number());
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
    EXPECT_EQ(m.rows().front().rec.number(), "0999");
    m.sortByColumn(4);
    EXPECT_EQ(m.rows().back().rec.number(), "0999");
    m.sortByColumn(1);
    EXPECT_EQ(numbers(m).front(), "0999");
    EXPECT_EQ(numbers(m).back(), "2007");
}

// The SIM copies of a long message's parts, as the receiver keeps them.
class LongSimMessages : public SimMessageModelTest {
protected:
    const std::string p1 = std::string(153, 'a'), p2 = std::string(100, 'b'), p3 = "end";
    const std::string gap = "\xA1\xAD";

    void addPart(int device, int index, const std::string& number, int ref, int partNo, int total,
                 const std::string& body) {
        MessageRecord r = simRecord(device, index, number);
        r.setText(body);
        r.setTime("10:00:0" + std::to_string(partNo));
        cache.AddSimMessage(r, SimMessageCache::PartTag{ref, partNo, total, body});
    }
    // 1388's three parts at 10..12 on device 1, the last first, a single
    // one (1020) between them.
    void addLong() {
        addPart(1, 12, "1388", 7, 3, 3, p3);
        cache.AddSimMessage(simRecord(1, 20, "1020"));
        addPart(1, 11, "1388", 7, 2, 3, p2);
        addPart(1, 10, "1388", 7, 1, 3, p1);
    }
    const SimMessageRow& rowOf(const SimMessageModel& m, const std::string& number) {
        for (const auto& r : m.rows())
            if (r.rec.number() == number) return r;
        static const SimMessageRow none;
        ADD_FAILURE() << "no row " << number;
        return none;
    }
};

TEST_F(LongSimMessages, ThePartsAreOneRowInThePlaceOfTheFirstToCome) {
    addLong();
    SimMessageModel m(cache, 2, ports());
    EXPECT_EQ(numbers(m),
              (std::vector<std::string>{"1001", "2003", "1002", "2004", "2007", "1388", "1020"}));
    EXPECT_EQ(m.countText(), "7 条");
    const SimMessageRow& r = m.rows()[5];
    EXPECT_EQ(r.whole, p1 + p2 + p3);
    EXPECT_EQ(r.rec.text(), p1 + "bbbbbbb");  // 160 bytes, as the InBox row has
    EXPECT_EQ(r.rec.time(), "10:00:01");      // the first part's, not the first to come
    EXPECT_EQ(r.rec.status(), "10/1");
    EXPECT_EQ(r.keys, (std::vector<std::string>{"10/1", "11/1", "12/1"}));
    EXPECT_EQ(SimMessageModel::TextColumn(r), "(3) " + r.rec.text());
    EXPECT_EQ(SimMessageModel::TextColumn(m.rows()[6]), "text 1020");
    EXPECT_EQ(m.rows()[6].whole, "text 1020");
    EXPECT_EQ(m.rows()[6].keys, std::vector<std::string>{"20/1"});
    m.setFilter(1);
    EXPECT_EQ(numbers(m), (std::vector<std::string>{"1001", "1002", "1388", "1020"}));
    m.setFilter(2);
    EXPECT_EQ(m.countText(), "3 条");

    // A confirmed deletion of the middle part leaves a gap; the rows after
    // it keep their own texts.
    ASSERT_TRUE(cache.RemoveSimMessageByKey("11/1"));
    m.setFilter(0);
    EXPECT_EQ(rowOf(m, "1388").whole, p1 + gap + p3);
    EXPECT_EQ(rowOf(m, "1388").keys, (std::vector<std::string>{"10/1", "12/1"}));
    EXPECT_EQ(rowOf(m, "1020").whole, "text 1020");
    cache.RemoveSimMessages(1);
    m.relist();
    EXPECT_EQ(m.countText(), "3 条");
}

TEST_F(LongSimMessages, IncompleteGroupsAreOneRowWithTheGapMarked) {
    addPart(1, 30, "1500", 9, 3, 3, p3);
    addPart(1, 31, "1500", 9, 1, 3, p1);
    addPart(2, 32, "1600", 10, 1, 3, "x");
    addPart(2, 33, "1600", 10, 2, 3, "y");
    addPart(2, 34, "1700", 11, 2, 2, "only");
    addPart(2, 35, "1600", 10, 2, 3, "y");  // the same part kept twice: read once
    SimMessageModel m(cache, 2, ports());
    EXPECT_EQ(m.countText(), "8 条");
    EXPECT_EQ(rowOf(m, "1500").whole, p1 + gap + p3);
    EXPECT_EQ(rowOf(m, "1500").keys, (std::vector<std::string>{"31/1", "30/1"}));
    EXPECT_EQ(rowOf(m, "1600").whole, "xy" + gap);
    EXPECT_EQ(rowOf(m, "1600").keys, (std::vector<std::string>{"32/2", "33/2", "35/2"}));
    EXPECT_EQ(rowOf(m, "1700").whole, gap + "only");
    EXPECT_EQ(rowOf(m, "1700").rec.text(), gap + "only");
}

TEST_F(LongSimMessages, TheSameReferenceFromAnotherSenderOrDeviceStaysApart) {
    addLong();
    // 1399 also uses reference 7; its text starts as 1388's for 160 bytes.
    addPart(1, 13, "1399", 7, 1, 2, p1);
    addPart(1, 14, "1399", 7, 2, 2, "bbbbbbba");
    addPart(2, 15, "1388", 7, 1, 3, "other device");
    // Two single messages of one sender are never joined.
    cache.AddSimMessage(simRecord(1, 16, "1020"));
    SimMessageModel m(cache, 2, ports());
    EXPECT_EQ(m.countText(), "10 条");
    EXPECT_EQ(rowOf(m, "1399").whole, p1 + "bbbbbbba");
    EXPECT_EQ(rowOf(m, "1399").rec.text(), rowOf(m, "1388").rec.text());
    m.setFilter(2);
    EXPECT_EQ(rowOf(m, "1388").whole, "other device" + gap);
    // Sorted by text on the whole text: the 161st byte decides.
    m.setFilter(1);
    m.sortByColumn(3);
    EXPECT_EQ(numbers(m),
              (std::vector<std::string>{"1399", "1388", "1001", "1002", "1020", "1020"}));
    m.sortByColumn(3);
    EXPECT_EQ(numbers(m).back(), "1399");
}

TEST_F(LongSimMessages, DeletingTheRowDeletesEveryPartAndKeepsOneWholeCopy) {
    addLong();
    SimMessageModel m(cache, 2, ports());
    m.setSelection({5});
    ASSERT_TRUE(m.deleteSelected());
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].msg, UM_KEEPRECORD);
    EXPECT_EQ(sent[0].w, KEEP_LONG_MESSAGE);
    EXPECT_EQ(sent[0].whole, p1 + p2 + p3);
    EXPECT_EQ(sent[0].kept.text(), p1 + "bbbbbbb");
    EXPECT_EQ(sent[0].kept.time(), "10:00:01");
    EXPECT_EQ(sent[0].kept.Icon, 0);
    EXPECT_EQ(sent[0].kept.status(), "");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[static_cast<size_t>(i) + 1].msg, UM_DELETESIMMESSAGE);
        EXPECT_EQ(sent[static_cast<size_t>(i) + 1].w, 1u);
        EXPECT_EQ(sent[static_cast<size_t>(i) + 1].l, 10 + i);
    }
    // A copy the main frame could not store leaves the parts on the SIM.
    sent.clear();
    keepStored = false;
    m.setSelection({5, 6});
    ASSERT_TRUE(m.deleteSelected());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].w, KEEP_RECORD);  // 1020, the last row first
    EXPECT_EQ(sent[1].w, KEEP_LONG_MESSAGE);
    // Without a copy every part goes all the same.
    sent.clear();
    keepAnswer = 1044;
    m.setSelection({5});
    ASSERT_TRUE(m.deleteSelected());
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].msg, UM_DELETESIMMESSAGE);
    EXPECT_EQ(sent[2].l, 12);
}

TEST_F(LongSimMessages, ExportFilesTheWholeTextAndAShortOneAsItWas) {
    addLong();
    SimMessageModel m(cache, 2, ports());
    m.setSelection({0, 5});
    m.exportSelected();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].w, KEEP_LONG_MESSAGE);
    EXPECT_EQ(sent[0].whole, p1 + p2 + p3);
    EXPECT_EQ(sent[1].w, KEEP_RECORD);
    EXPECT_EQ(sent[1].kept.text(), "text 1001");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(m.rows().size(), 7u);
}

TEST_F(LongSimMessages, ViewShowsTheWholeTextForwardTakes140BytesAndSaysSo) {
    addLong();
    std::vector<std::string> wholes;
    auto p = ports();
    p.openView = [&](const MessageRecord& r, const std::string& whole) {
        viewed.push_back(r);
        wholes.push_back(whole);
        return viewAnswer;
    };
    SimMessageModel m(cache, 2, p);
    m.setSelection({5});
    viewAnswer = 1025;
    m.view();
    ASSERT_EQ(wholes.size(), 1u);
    EXPECT_EQ(wholes[0], p1 + p2 + p3);
    EXPECT_EQ(viewed[0].number(), "1388");
    m.forward();
    viewAnswer = 1027;
    m.view();
    ASSERT_EQ(sent.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(sent[static_cast<size_t>(i)].compose.mode, 2);
        EXPECT_EQ(sent[static_cast<size_t>(i)].compose.text, std::string(140, 'a'));
    }
    EXPECT_EQ(sent[2].compose.text, "1388");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].stringId, 60077u);
    // A single message is forwarded whole, without the notice.
    m.setSelection({6});
    m.forward();
    EXPECT_EQ(sent.back().compose.text, "text 1020");
    EXPECT_EQ(boxes.shown.size(), 2u);
}

}  // namespace
}  // namespace msgdesk
