// SPDX-License-Identifier: GPL-3.0-or-later
// Joining the parts of long messages into one InBox row.
#include <filesystem>

#include "compose/SimMessageRows.h"
#include "msgdesk/recvsend/RecvSendFixture.h"
#include "platform/Codepage.h"
#include "store/KeptLongMessage.h"
#include "store/MailboxFiles.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
namespace cp = platform::codepage;

const std::string kEllipsis = "\xA1\xAD";

class ReceivingParts : public RecvSendTest {
protected:
    // Chinese text of n characters (2 GBK bytes each), distinct per tag.
    static std::string chinese(int n, int tag) {
        std::string s;
        const char* glyphs[] = {"你", "好", "银", "行", "通", "知"};
        for (int i = 0; i < n; ++i) s += cp::utf8ToGbk(glyphs[(i + tag) % 6]);
        return s;
    }
    std::string whole(int row) const {
        return store->longTexts(InBox).wholeText(store->box(InBox).row(row).rec);
    }
    int rowOf(const std::string& number) const {
        for (int i = 0; i < store->box(InBox).size(); ++i)
            if (store->box(InBox).row(i).rec.number() == number) return i;
        return -1;
    }
};

TEST_F(ReceivingParts, InOrderReversedAndInterleavedEachBecomeOneRow) {
    const std::string a1 = chinese(67, 0), a2 = chinese(67, 1), a3 = chinese(10, 2);
    // A's parts in order, B's reversed between them, a single one too.
    receive(1, 1, partText("10086", "261207093001", a1, 57, 1, 3));
    receive(2, 1, partText("+8613912345678", "261207093105", "second", 200, 2, 2));
    EXPECT_EQ(inbox().size(), 0);
    receive(1, 2, partText("10086", "261207093002", a2, 57, 2, 3));
    receive(2, 2, smsText("95588", "261207093200", "single"));
    receive(2, 3, partText("+8613912345678", "261207093104", "first ", 200, 1, 2));
    ASSERT_EQ(inbox().size(), 2);
    receive(1, 3, partText("10086", "261207093003", a3, 57, 3, 3));
    ASSERT_EQ(inbox().size(), 3);

    const int a = rowOf("10086");
    ASSERT_GE(a, 0);
    const MessageRecord& ra = inbox().row(a).rec;
    EXPECT_EQ(ra.text(), a1 + a2.substr(0, 26));  // 160 bytes, whole characters
    EXPECT_EQ(ra.time(), "09:30:01");
    EXPECT_EQ(whole(a), a1 + a2 + a3);
    // Reversed: date and time are the first part's, not the first to come.
    const MessageRecord& rb = inbox().row(rowOf("+8613912345678")).rec;
    EXPECT_EQ(rb.text(), "first second");
    EXPECT_EQ(rb.time(), "09:31:04");
    EXPECT_EQ(inbox().row(rowOf("95588")).rec.text(), "single");
    // Every part's SIM copy went; nothing waits.
    EXPECT_EQ(lib.calls(Op::DelSMSMessage).size(), 6u);
    EXPECT_EQ(receiver->parts().size(), 0u);
    // The whole text is on disk, beside the InBox.
    LongTexts onDisk;
    ASSERT_TRUE(onDisk.load(LongTexts::pathFor(MailboxFilePath(dir.path, InBox))));
    EXPECT_EQ(onDisk.find(LongTexts::keyOf(ra)), std::vector<std::string>{a1 + a2 + a3});
}

TEST_F(ReceivingParts, AssemblyIsOnDiskBeforeTheSimCopyGoes) {
    bool partOnDisk = false;
    lib.onCall(Op::DelSMSMessage, [&](const FakeDeviceLibrary::Call&) {
        partOnDisk = PartAssembly(dir.path / "data").size() == 1;
    });
    receive(1, 4, partText("10086", "261207093001", "one ", 9, 1, 2));
    EXPECT_TRUE(partOnDisk);
    EXPECT_EQ(inbox().size(), 0);
    // A restart keeps the waiting part; the second completes it.
    openStore();
    receive(1, 5, partText("10086", "261207093002", "two", 9, 2, 2));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "one two");
}

TEST_F(ReceivingParts, APartArrivingTwiceIsKeptOnce) {
    receive(1, 1, partText("10086", "261207093001", "one ", 9, 1, 2));
    receive(1, 2, partText("10086", "261207093001", "one ", 9, 1, 2));
    EXPECT_EQ(receiver->parts().size(), 1u);
    receive(1, 3, partText("10086", "261207093002", "two", 9, 2, 2));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "one two");
    EXPECT_EQ(lib.calls(Op::DelSMSMessage).size(), 3u);  // the second copy went too
}

TEST_F(ReceivingParts, APartSentAgainAfterItsMessageWasFiledIsDropped) {
    const auto part = [](int ref, int no, const std::string& body) {
        return partText("10086", "261207093001", body, ref, no, 2);
    };
    receive(1, 1, part(9, 1, "one "));
    receive(1, 2, part(9, 2, "two"));
    ASSERT_EQ(inbox().size(), 1);
    // The network resends part 2; a restart in between changes nothing.
    openStore();
    receive(1, 3, part(9, 2, "two"));
    EXPECT_EQ(receiver->parts().size(), 0u);
    EXPECT_EQ(lib.calls(Op::DelSMSMessage).size(), 3u);
    // The same reference with another text is a new message.
    receive(1, 4, part(9, 2, "new"));
    EXPECT_EQ(receiver->parts().size(), 1u);
    nowSeconds += PartAssembly::kRememberFiled - 1;
    receive(1, 5, part(9, 1, "brand "));  // files "brand new", still remembers "two"
    ASSERT_EQ(inbox().size(), 2);
    receive(1, 6, part(9, 2, "two"));
    EXPECT_EQ(receiver->parts().size(), 0u);
    // A day after "one two" was filed, it is forgotten.
    nowSeconds += 1;
    receive(1, 7, part(30, 1, "x"));
    receive(1, 8, part(30, 2, "y"));
    EXPECT_EQ(receiver->parts().filedSize(), 4u);  // "brand new" and "xy"
    receive(1, 9, part(9, 2, "two"));
    EXPECT_EQ(receiver->parts().size(), 1u);
    EXPECT_EQ(inbox().size(), 3);
}

TEST_F(ReceivingParts, EightAndSixteenBitReferencesDoNotMix) {
    // 268 is 12 in its low byte: a different message all the same.
    receive(1, 1, partText("10086", "261207093001", "a1 ", 12, 1, 2));
    receive(1, 2, partText("10086", "261207093001", "b1 ", 268, 1, 2));
    receive(1, 3, partText("10086", "261207093002", "b2", 268, 2, 2));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "b1 b2");
    receive(1, 4, partText("10086", "261207093002", "a2", 12, 2, 2));
    ASSERT_EQ(inbox().size(), 2);
    EXPECT_EQ(inbox().row(1).rec.text(), "a1 a2");
}

TEST_F(ReceivingParts, AMissingPartIsFiledWithAGapAfterADay) {
    receive(1, 1, partText("10086", "261207093001", "one ", 5, 1, 3));
    receive(1, 2, partText("10086", "261207093003", " three", 5, 3, 3));
    nowSeconds += Receiver::kPartsMaxAge - 1;
    EXPECT_EQ(receiver->fileWaitingParts(), 0);
    EXPECT_EQ(inbox().size(), 0);
    nowSeconds += 1;
    EXPECT_EQ(receiver->fileWaitingParts(), 1);
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "one " + kEllipsis + " three");
    EXPECT_EQ(receiver->parts().size(), 0u);
    // Asked for at once, the last part missing is marked at the end; the
    // late part then waits on its own, not glued to the filed message.
    receive(1, 3, partText("10086", "261207093101", "x", 6, 1, 2));
    EXPECT_EQ(receiver->fileWaitingParts(true), 1);
    EXPECT_EQ(inbox().row(1).rec.text(), "x" + kEllipsis);
    EXPECT_EQ(receiver->fileWaitingParts(true), 0);
}

TEST_F(ReceivingParts, APartLateForItsFiledMessageIsFiledAtOnce) {
    receive(1, 1, partText("10086", "261207093001", "one ", 5, 1, 3));
    receive(1, 2, partText("10086", "261207093003", " three", 5, 3, 3));
    ASSERT_EQ(receiver->fileWaitingParts(true), 1);  // the user did not wait
    // Part 2 comes a minute later: nothing more can join it.
    nowSeconds += 60;
    receive(1, 3, partText("10086", "261207093002", "two", 5, 2, 3));
    ASSERT_EQ(inbox().size(), 2);
    EXPECT_EQ(inbox().row(1).rec.text(), kEllipsis + "two" + kEllipsis);
    EXPECT_EQ(receiver->parts().size(), 0u);
    // A new message reusing the reference waits for its other parts.
    receive(1, 4, partText("10086", "261207093101", "uno ", 5, 1, 3));
    EXPECT_EQ(receiver->parts().size(), 1u);
    EXPECT_EQ(inbox().size(), 2);
}

TEST_F(ReceivingParts, AFirstPartCutAtACharacterBoundary) {
    // "a" and 80 characters: 161 bytes; the 160th would split a character.
    const std::string first = "a" + chinese(80, 0);
    receive(1, 1, partText("10086", "261207093001", first, 7, 1, 2));
    receive(1, 2, partText("10086", "261207093002", "!", 7, 2, 2));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), first.substr(0, 159));
    EXPECT_EQ(whole(0), first + "!");
}

TEST_F(ReceivingParts, ACompleteMessageLeftWaitingIsNotFiledTwice) {
    receive(1, 1, partText("10086", "261207093001", chinese(70, 0), 3, 1, 2));
    receive(1, 2, partText("10086", "261207093002", chinese(70, 3), 3, 2, 2));
    ASSERT_EQ(inbox().size(), 1);
    // As after a stop between the InBox save and dropping the parts.
    fs::remove(PartAssembly::filePath(dir.path / "data"));
    {
        PartAssembly again(dir.path / "data");
        PartAssembly::Part p{"10086", "2026-12-07", "09:30:01", chinese(70, 0), 3, 1, 2, 0};
        ASSERT_EQ(again.add(p), PartAssembly::Added::Stored);
        p = {"10086", "2026-12-07", "09:30:02", chinese(70, 3), 3, 2, 2, 0};
        ASSERT_EQ(again.add(p), PartAssembly::Added::Stored);
    }
    openStore();
    EXPECT_EQ(receiver->parts().size(), 2u);
    EXPECT_EQ(receiver->fileWaitingParts(), 0);
    EXPECT_EQ(inbox().size(), 1);
    EXPECT_EQ(receiver->parts().size(), 0u);
    EXPECT_EQ(store->longTexts(InBox).entries().size(), 1u);
}

TEST_F(ReceivingParts, AMalformedPartFieldFilesTheMessageAsItIs) {
    receive(1, 1, smsText("10086", "261207093001", "x") + ",\"5:3:2\"");
    receive(1, 2, smsText("10086", "261207093001", "y") + ",\"a:1:2\"");
    EXPECT_EQ(inbox().size(), 2);
    EXPECT_EQ(receiver->parts().size(), 0u);
}

// Kept on the SIM, the parts are one SIM row too, and that row kept on the
// computer is one more InBox row with its whole text beside it, or none
// when the text cannot be written.
TEST_F(ReceivingParts, KeptOnTheSimThePartsJoinAndAreKeptWhole) {
    settings.SaveInCard = 1;
    const std::string a1 = chinese(67, 0), a2 = chinese(30, 1);
    receive(1, 8, partText("10086", "261207093002", a2, 57, 2, 2));
    receive(1, 9, partText("10086", "261207093001", a1, 57, 1, 2));
    ASSERT_EQ(inbox().size(), 1);
    ASSERT_EQ(store->simCache().size(), 2);
    EXPECT_EQ(store->simCache().tags()[0].body, a2);
    auto rows = JoinSimMessages(store->simCache(), 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].whole, a1 + a2);
    EXPECT_EQ(rows[0].keys, (std::vector<std::string>{"9/1", "8/1"}));

    KeptLongMessage kept{inbox().row(0).rec, rows[0].whole};
    kept.rec.setStatus("");
    const auto lp = reinterpret_cast<platform::LPARAM>(&kept);
    EXPECT_EQ(loop.send(&frame, UM_KEEPRECORD, KEEP_LONG_MESSAGE, lp), 1);
    ASSERT_EQ(inbox().size(), 2);
    EXPECT_EQ(whole(1), a1 + a2);
    const fs::path side = LongTexts::pathFor(MailboxFilePath(dir.path, InBox));
    LongTexts onDisk;
    ASSERT_TRUE(onDisk.load(side));
    EXPECT_EQ(onDisk.find(LongTexts::keyOf(kept.rec)).size(), 2u);  // received, and kept

    fs::remove(side);
    fs::create_directories(side / "x");
    EXPECT_EQ(loop.send(&frame, UM_KEEPRECORD, KEEP_LONG_MESSAGE, lp), 0);
    EXPECT_EQ(inbox().size(), 2);
}

}  // namespace
}  // namespace msgdesk::test
