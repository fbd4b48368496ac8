// SPDX-License-Identifier: LGPL-2.1-or-later
// SIM phonebook and device information requests end to end.
#include "ModlinkFixture.h"
#include "platform/Codepage.h"

namespace cp = platform::codepage;

namespace {
std::string gbk(const char* utf8) {
    return cp::utf8ToGbk(utf8);
}
}  // namespace

TEST_F(ModlinkFixture, ServiceCentreReadAndWritten) {
    int id = GetGSMCenter(1);
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, id)), "+8613800100500");
    int set = SetGSMCenter(1, "+8613800755500");
    ASSERT_GE(set, 0);
    EXPECT_NE(set, id);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_CENTER, set)), "OK");
    EXPECT_NE(sim->control("status 1").find("centre=+8613800755500"), std::string::npos);
    id = GetGSMCenter(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, id)), "+8613800755500");
    // Device 2 keeps its own.
    id = GetGSMCenter(2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, id)), "+8613800100500");
    // Bad numbers are refused at once, never sent.
    EXPECT_EQ(SetGSMCenter(1, "+86\"138"), -1);
    EXPECT_EQ(SetGSMCenter(1, ""), -1);
    EXPECT_EQ(SetGSMCenter(1, nullptr), -1);
    EXPECT_EQ(SetGSMCenter(1, "123456789012345678901"), -1);
}

TEST_F(ModlinkFixture, SimInfoGivesPhonebookRangeAndMessageStore) {
    int pb = GetSimInfo(1, 1);
    int ms = GetSimInfo(2, 2);
    ASSERT_GE(pb, 0);
    ASSERT_GE(ms, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_PHONEBOOK_INFO, pb)), "\"1-250\"");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_MESSAGE_INFO, ms)), "\"0/30\"");
    EXPECT_EQ(GetSimInfo(1, 3), -1);
    EXPECT_EQ(sim->control("fail 1 +CPBR CME:14"), "OK");
    pb = GetSimInfo(1, 1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_PHONEBOOK_INFO, pb)),
              "ERROR: +CME ERROR: 14");
}

TEST_F(ModlinkFixture, StoreReadAndDeleteAnEntry) {
    std::string name = gbk("王小明");
    int id = SetTelphone(1, 5, "13912345678", name.c_str());
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "OK");
    EXPECT_EQ(sim->control("pbget 1 5"), "OK 13912345678,王小明");
    EXPECT_EQ(sim->control("pbget 2 5"), "ERROR empty");

    id = GetTelphone(1, 5);
    auto listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(*(*listing)[0].text, "\"5\",\"13912345678\",\"" + name + "\"");

    id = DelTelphone(1, 5);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DEL_ENTRY, id)), "OK");
    EXPECT_EQ(sim->control("pbget 1 5"), "ERROR empty");
    id = GetTelphone(1, 5);
    listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    EXPECT_TRUE(listing->empty());
}

TEST_F(ModlinkFixture, LongNamesAndNumbersAreCutAtACharacterBoundary) {
    // 15 Chinese characters = 30 GBK bytes: 11 characters (22 bytes) fit.
    std::string name = gbk("一二三四五六七八九十甲乙丙丁戊");
    int id = SetTelphone(2, 1, "+86139123456789012345", name.c_str());
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "OK");
    EXPECT_EQ(sim->control("pbget 2 1"), "OK +8613912345678901234,一二三四五六七八九十甲");
    // Odd cut: "a" + 11 Chinese = 23 bytes; the last character must go whole.
    name = gbk("a一二三四五六七八九十甲");
    id = SetTelphone(2, 2, "10086", name.c_str());
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "OK");
    EXPECT_EQ(sim->control("pbget 2 2"), "OK 10086,a一二三四五六七八九十");
    // A quote in a name is data, not the end of the argument.
    name = "Joe \"Big\"";
    id = SetTelphone(2, 3, "10010", name.c_str());
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "OK");
    id = GetTelphone(2, 3);
    auto listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing && listing->size() == 1);
    EXPECT_EQ(*(*listing)[0].text,
              "\"3\",\"10010\",\"Joe \xA3\xA2"
              "Big\xA3\xA2\"");
    // Refused at once: bad numbers, missing texts.
    EXPECT_EQ(SetTelphone(2, 4, "139-1234", "x"), -1);
    EXPECT_EQ(SetTelphone(2, 4, "", "x"), -1);
    EXPECT_EQ(SetTelphone(2, 4, nullptr, "x"), -1);
    EXPECT_EQ(SetTelphone(2, 4, "139", nullptr), -1);
    EXPECT_EQ(SetTelphone(3, 4, "139", "x"), -1);
}

TEST_F(ModlinkFixture, StoreAndDeleteFailuresAreReported) {
    EXPECT_EQ(sim->control("fail 1 +CPBW ERROR"), "OK");
    int id = SetTelphone(1, 7, "10086", "x");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "ERROR");
    EXPECT_EQ(sim->control("fail 1 +CPBW CME:20"), "OK");
    id = SetTelphone(1, 7, "10086", "x");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "ERROR: +CME ERROR: 20");
    EXPECT_EQ(sim->control("fail 1 +CPBW TIMEOUT"), "OK");
    id = DelTelphone(1, 7);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DEL_ENTRY, id)), "TIMEOUT");
    // The index is checked by the SIM: out of range is an error answer.
    id = SetTelphone(1, 251, "10086", "x");
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SET_ENTRY, id)), "ERROR: +CME ERROR: 21");
}

TEST_F(ModlinkFixture, FullPhonebookOf250EntriesIsListedInOrder) {
    EXPECT_EQ(sim->control("pbfill 1 250"), "OK");
    int id = GetSavedTelphone(1);
    ASSERT_GE(id, 0);
    auto listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->size(), 250u);
    EXPECT_EQ(*(*listing)[0].text, "\"1\",\"13900001001\",\"" + gbk("联系人1") + "\"");
    EXPECT_EQ(*(*listing)[1].text, "\"2\",\"13900001002\",\"Contact 2\"");
    EXPECT_EQ(*(*listing)[2].text, "\"3\",\"+8613900001003\",\"" + gbk("联系人3") + "\"");
    EXPECT_EQ(*(*listing)[249].text, "\"250\",\"13900001250\",\"Contact 250\"");
    // Device 2's empty book: just the close.
    id = GetSavedTelphone(2);
    listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    EXPECT_TRUE(listing->empty());
}

TEST_F(ModlinkFixture, FailedListingStillCloses) {
    EXPECT_EQ(sim->control("pbfill 1 120"), "OK");
    EXPECT_EQ(sim->control("fail 1 +CPBR TIMEOUT"), "OK");
    int id = GetSavedTelphone(1);
    auto listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(*(*listing)[0].text, "TIMEOUT");
    // Later listings work again.
    id = GetSavedTelphone(1);
    listing = events.takeListing(MODLINK_EV_ENTRY, id);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(listing->size(), 120u);
}
