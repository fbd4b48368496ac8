// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ContactTestSupport.h"
#include "contacts/ContactValidation.h"
#include "contacts/NameLookup.h"
#include "contacts/PhoneNumber.h"
#include "res/StringTable.h"

using namespace msgdesk;
using namespace contacts_test;

TEST(PhoneNumber, OnlyDigitsPlusStarAndHashAreValid) {
    EXPECT_TRUE(IsValidPhoneNumber(""));
    EXPECT_TRUE(IsValidPhoneNumber("+8613800138000*#"));
    EXPECT_TRUE(IsValidPhoneNumber("#31#"));
    EXPECT_FALSE(IsValidPhoneNumber("138 0013 8000"));
    EXPECT_FALSE(IsValidPhoneNumber("010-62345678"));
    EXPECT_FALSE(IsValidPhoneNumber("(010)62345678"));
    EXPECT_FALSE(IsValidPhoneNumber("1380013800a"));
    EXPECT_FALSE(IsValidPhoneNumber(gbk("一三八")));
}

TEST(ContactValidation, FirstFailingTestDecides) {
    ContactBook book;
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "13800000001")));
    auto check = [&](const std::string& name, const std::string& mobile, ContactEditMode mode) {
        return ValidateContactRecord(contact(name, mobile), book, mode);
    };
    const auto add = ContactEditMode::Add;
    const auto change = ContactEditMode::Change;
    EXPECT_EQ(check("", "13800000002", add), 60003u);
    EXPECT_EQ(check("Wang", "", add), 60003u);
    EXPECT_EQ(check("", "1-2", add), 60003u);  // emptiness is tested first
    EXPECT_EQ(check("Wang", "138 0000 0002", add), 60034u);
    EXPECT_EQ(check("Wang", "138-0000-0002", change), 60034u);
    EXPECT_EQ(check("Wang", "+86138*#", add), 0u);
    // A duplicate is refused when adding, accepted when changing.
    EXPECT_EQ(check("Wang", "13800000001", add), 60074u);
    EXPECT_EQ(check("Wang", "13800000001", change), 0u);
    // Byte-for-byte comparison: a longer number starting with it is new.
    EXPECT_EQ(check("Wang", "138000000012", add), 0u);
}

TEST(ContactValidation, RefusalIsShownWithTheInformationIcon) {
    ContactBook book;
    book.AddContact(std::make_unique<ContactRecord>(contact("Li", "13800000001")));
    platform::ScriptedMessageBox box;
    EXPECT_FALSE(
        AcceptContactRecord(contact("Wang", "13800000001"), book, ContactEditMode::Add, box));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].stringId, 60074u);
    EXPECT_EQ(box.shown[0].text, "该电话号码已经存在！");
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
    EXPECT_EQ(box.shown[0].buttons, platform::MbButtons::Ok);

    EXPECT_FALSE(AcceptContactRecord(contact("Wang", "1 2"), book, ContactEditMode::Change, box));
    EXPECT_EQ(box.shown.back().text, "您输入的手机格式不正确!  ");
    EXPECT_TRUE(
        AcceptContactRecord(contact("Wang", "13800000001"), book, ContactEditMode::Change, box));
    EXPECT_EQ(box.shown.size(), 2u);
}

TEST(ContactBook, OwnsRecordsInOrderAndReportsChanges) {
    ContactBook book;
    int changes = 0;
    int token = book.subscribe([&] { ++changes; });
    ContactRecord* a = book.AddContact(NewContactRecord());
    ContactRecord* b = book.AddContact(std::make_unique<ContactRecord>(contact("B", "2")));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(recordBytes(*a), std::string(227, '\0'));
    EXPECT_EQ(book.records()[1].get(), b);

    ContactRecord stranger;
    EXPECT_FALSE(book.RemoveContact(&stranger));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(book.RemoveContact(a));
    EXPECT_FALSE(book.Contains(a));
    EXPECT_EQ(changes, 3);

    book.appendLoaded(std::make_unique<ContactRecord>(contact("C", "3")));
    EXPECT_EQ(changes, 3);
    book.unsubscribe(token);
    book.clear();
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(book.empty());
}

TEST(NameLookup, BookFirstThenSimCardsInDeviceOrder) {
    ContactBook book;
    SimPhonebook sims;
    ContactRecord* first =
        book.AddContact(std::make_unique<ContactRecord>(contact(gbk("张三"), "13800000001")));
    book.AddContact(std::make_unique<ContactRecord>(contact(gbk("李四"), "13800000001")));
    addSimEntry(sims, 1, 1, "13800000001", "SimOne");
    addSimEntry(sims, 2, 1, "13900000002", gbk("王五"));
    addSimEntry(sims, 2, 2, "13900000002", "Second");
    addSimEntry(sims, 3, 1, "13700000003", "Three");

    // Two records of one number: the earlier answers.
    EXPECT_EQ(book.FindContactByNumber("13800000001"), first);
    EXPECT_EQ(LookupNameByNumber(book, sims, 3, "13800000001"), gbk("张三"));
    // Only on device 2's card.
    EXPECT_EQ(LookupNameByNumber(book, sims, 3, "13900000002"), gbk("王五"));
    // Device 3 is searched only while attached.
    EXPECT_EQ(LookupNameByNumber(book, sims, 3, "13700000003"), "Three");
    EXPECT_EQ(LookupNameByNumber(book, sims, 2, "13700000003"), std::nullopt);
    EXPECT_EQ(LookupNameByNumber(book, sims, 3, "1380000000"), std::nullopt);

    // The answer is a copy: it outlives the record.
    auto name = LookupNameByNumber(book, sims, 3, "13800000001");
    book.RemoveContact(first);
    EXPECT_EQ(name, gbk("张三"));
    EXPECT_EQ(LookupNameByNumber(book, sims, 3, "13800000001"), gbk("李四"));
}
