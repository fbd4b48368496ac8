// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "contacts/ContactImport.h"
#include "contacts/ContactWriter.h"
#include "platform/Codepage.h"

using namespace msgdesk;
using platform::codepage::gbkToUtf8;
using platform::codepage::utf8ToGbk;

namespace {

std::string sample(const char* name) {
    std::ifstream f(std::string(ZUNTO_TEST_DATA) + "/msgdesk/vcard/" + name, std::ios::binary);
    EXPECT_TRUE(f.good()) << name;
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string u8(const ContactRecord& r, ContactField f) {
    return gbkToUtf8(r.field(f));
}

ContactRecord contact(const char* mobile, const char* nameUtf8) {
    ContactRecord r;
    r.setMobile(mobile);
    r.setName(utf8ToGbk(nameUtf8));
    return r;
}

TEST(ContactImport, AndroidQuotedPrintableAndSeveralNumbers) {
    ParsedContacts p = parseContactFile(sample("android.vcf"));
    ASSERT_EQ(p.error, ContactFileError::None);
    ASSERT_EQ(p.contacts.size(), 3u);
    const ContactRecord& a = p.contacts[0];
    EXPECT_EQ(u8(a, ContactField::Name), "张三");
    // The CELL one is the mobile even though HOME came first.
    EXPECT_EQ(a.mobile(), "+8613800138000");
    EXPECT_EQ(a.field(ContactField::HomePhone), "01062551234");
    EXPECT_EQ(a.field(ContactField::OfficePhone), "01088889999");
    EXPECT_EQ(a.field(ContactField::Email), "zhangsan@example.com");
    // Joined across the soft line break, then cut to 60 bytes of GBK.
    EXPECT_EQ(u8(a, ContactField::HomeAddress), "北京市海淀区中关村大街一号院");
    EXPECT_EQ(u8(p.contacts[1], ContactField::Name), "John Smith");
    EXPECT_EQ(p.contacts[2].mobile(), "+8613800138000");  // the duplicate, skipped later
    EXPECT_EQ(p.noName, 1);                               // FN and N empty
    EXPECT_EQ(p.noNumber, 1);                             // no TEL at all
}

TEST(ContactImport, IosGroupsFoldedInsideACharacterAndCutAtBoundaries) {
    ParsedContacts p = parseVcard(sample("ios.vcf"));
    ASSERT_EQ(p.error, ContactFileError::None);
    ASSERT_EQ(p.contacts.size(), 1u);
    const ContactRecord& r = p.contacts[0];
    EXPECT_EQ(u8(r, ContactField::Name), "李四");
    EXPECT_EQ(r.mobile(), "+8613912345678");
    EXPECT_EQ(r.field(ContactField::HomePhone), "02155550000");
    // 29 bytes in the file, 20 in the record.
    EXPECT_EQ(r.field(ContactField::Email), "lisi.long.address@ex");
    // 60 bytes: the country no longer fits and is cut whole.
    EXPECT_EQ(u8(r, ContactField::CompanyAddress),
              "上海市浦东新区世纪大道一百号环球金融中心七十八层 上海 200120");
    EXPECT_EQ(r.field(ContactField::CompanyAddress).size(), 60u);
    EXPECT_EQ(r.field(ContactField::HomeAddress), "");
}

TEST(ContactImport, GbkFileAndNameCutAtACharacter) {
    ParsedContacts p = parseVcard(sample("gbk.vcf"));
    ASSERT_EQ(p.error, ContactFileError::None);
    ASSERT_EQ(p.contacts.size(), 1u);
    EXPECT_EQ(u8(p.contacts[0], ContactField::Name), "王五");
    EXPECT_EQ(p.contacts[0].field(ContactField::HomePhone), "02066667777");
    EXPECT_EQ(u8(p.contacts[0], ContactField::HomeAddress), "广州市天河区, 体育西路");
    // 11 two-byte characters: 20 bytes fit (10 characters), never 21.
    std::string card =
        "BEGIN:VCARD\nFN:" + std::string(11, 'x') + "一二三四五六七八九十百\nTEL:1\nEND:VCARD\n";
    p = parseVcard(card);
    ASSERT_EQ(p.contacts.size(), 1u);
    EXPECT_EQ(p.contacts[0].name().size(), 19u);  // 11 + 4 characters; the fifth would make 21
}

TEST(ContactImport, BadFilesAreRefusedWhole) {
    EXPECT_EQ(parseContactFile(sample("truncated.vcf")).error, ContactFileError::Truncated);
    EXPECT_TRUE(parseContactFile(sample("truncated.vcf")).contacts.empty());
    EXPECT_EQ(parseContactFile(sample("wrongcharset.vcf")).error, ContactFileError::Encoding);
    EXPECT_EQ(parseContactFile(std::string("\x89PNG\r\n\x1a\n\0\0", 10)).error,
              ContactFileError::Binary);
    EXPECT_EQ(parseContactFile(std::string("\xFF\xFE\x41\x00", 4)).error, ContactFileError::Binary);
    EXPECT_EQ(parseContactFile("BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=E5=BC=\r\n").error,
              ContactFileError::Truncated);
    EXPECT_EQ(parseContactFile("hello,world\r\n1,2\r\n").error, ContactFileError::NotContacts);
    EXPECT_EQ(parseContactFile("").error, ContactFileError::Empty);
    // Neither UTF-8 nor GBK (0x80 and 0xFF lead no GBK character).
    EXPECT_EQ(parseContactFile("BEGIN:VCARD\r\nFN:\x80\xFF\r\nEND:VCARD\r\n").error,
              ContactFileError::Encoding);
    // A refused file adds nothing and says why.
    ContactBook book;
    ParsedContacts bad = parseContactFile(sample("truncated.vcf"));
    EXPECT_EQ(addImportedContacts(book, bad).added, 0);
    EXPECT_TRUE(book.empty());
    EXPECT_EQ(
        importRefusal("a.vcf", bad),
        "无法导入“a.vcf”：文件不完整（缺少结尾的END:VCARD），可能已被截断。\n没有导入任何联系人。");
}

TEST(ContactImport, AFileCutAnywhereInsideACardIsRefused) {
    for (const char* name : {"android.vcf", "ios.vcf"}) {
        const std::string whole = sample(name);
        for (size_t len = 1; len < whole.size(); ++len) {
            const std::string cut = whole.substr(0, len);
            ParsedContacts p = parseVcard(cut);
            const size_t end = cut.find_last_not_of("\r\n");
            const bool atCardEnd =
                end != std::string::npos && end >= 8 && cut.compare(end - 8, 9, "END:VCARD") == 0;
            if (atCardEnd) {
                EXPECT_EQ(p.error, ContactFileError::None) << name << " cut at " << len;
            } else {
                EXPECT_NE(p.error, ContactFileError::None) << name << " cut at " << len;
                EXPECT_TRUE(p.contacts.empty()) << name << " cut at " << len;
            }
        }
    }
}

TEST(ContactImport, DuplicatesSkippedAndTheBookKept) {
    ContactBook book;
    auto old = NewContactRecord();
    *old = contact("13900139000", "老朋友");
    book.AddContact(std::move(old));
    int notified = 0;
    book.subscribe([&] { ++notified; });
    ImportCounts c = addImportedContacts(book, parseContactFile(sample("android.vcf")));
    EXPECT_EQ(c.added, 1);
    EXPECT_EQ(c.inBook, 1);
    EXPECT_EQ(c.inFile, 1);
    EXPECT_EQ(c.noNumber, 1);
    EXPECT_EQ(c.noName, 1);
    EXPECT_EQ(notified, 1);
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(u8(*book.records()[0], ContactField::Name), "老朋友");
    EXPECT_EQ(u8(*book.records()[1], ContactField::Name), "张三");
    EXPECT_EQ(importSummary(c),
              "导入联系人完成：新增 1 个，跳过 2 个，拒绝 2 个。\n"
              "跳过 1 个：手机号码已在电话簿中。\n跳过 1 个：手机号码在文件中重复。\n"
              "拒绝 1 个：没有电话号码。\n拒绝 1 个：没有姓名。");
    // The same file again: everything is already there.
    c = addImportedContacts(book, parseContactFile(sample("android.vcf")));
    EXPECT_EQ(c.added, 0);
    EXPECT_EQ(c.inBook, 2);
    EXPECT_EQ(c.inFile, 1);
    EXPECT_EQ(notified, 1);
}

// Names with emoji and rare characters come in from UTF-8 cards whole, cut
// to the 20-byte field only between characters, and go out again in UTF-8.
TEST(ContactImport, EmojiNamesAreKeptAndCutBetweenCharacters) {
    const std::pair<const char*, const char*> rows[] = {
        {"小明😀😀😀😀", "小明😀😀😀😀"},   // 20 bytes: the whole field
        {"a小明😀😀😀😀", "a小明😀😀😀"},  // 21: the last emoji no longer fits
        {"𠮷田", "𠮷田"},
    };
    ContactBook book;
    for (const auto& [in, kept] : rows) {
        const std::string card = std::string("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + in +
                                 "\r\nTEL;TYPE=CELL:13800138000\r\nEND:VCARD\r\n";
        ParsedContacts p = parseContactFile(card);
        ASSERT_EQ(p.error, ContactFileError::None) << in;
        ASSERT_EQ(p.contacts.size(), 1u) << in;
        EXPECT_EQ(u8(p.contacts[0], ContactField::Name), kept);
        auto r = NewContactRecord();
        *r = p.contacts[0];
        book.AddContact(std::move(r));
    }
    for (const std::string& file : {contactsToVcard(book), contactsToCsv(book)}) {
        EXPECT_NE(file.find("a小明😀😀😀"), std::string::npos);
        EXPECT_NE(file.find("𠮷田"), std::string::npos);
        ParsedContacts back = parseContactFile(file);
        ASSERT_EQ(back.contacts.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(back.contacts[i].field(ContactField::Name),
                      book.records()[i]->field(ContactField::Name));
    }
}

TEST(ContactImport, OurExportsReadBack) {
    ContactBook book;
    auto r = NewContactRecord();
    *r = contact("+8613800138000", "张三, \"小张\"");
    r->setField(ContactField::HomeAddress, utf8ToGbk("北京;海淀\\区"));
    r->setField(ContactField::Email, "a@b.cn");
    book.AddContact(std::move(r));
    auto r2 = NewContactRecord();
    *r2 = contact("13900139000", "这是一个很长的名字十个字");  // 20 bytes: the whole field
    r2->setField(ContactField::CompanyAddress, utf8ToGbk("第一行\n第二行"));
    book.AddContact(std::move(r2));

    for (const std::string& file : {contactsToVcard(book), contactsToCsv(book)}) {
        ParsedContacts p = parseContactFile(file);
        ASSERT_EQ(p.error, ContactFileError::None);
        ASSERT_EQ(p.contacts.size(), 2u);
        for (int i = 0; i < 2; ++i)
            for (ContactField f : {ContactField::Mobile, ContactField::Name,
                                   ContactField::HomeAddress, ContactField::Email})
                EXPECT_EQ(p.contacts[i].field(f), book.records()[i]->field(f));
    }
    // vCard lines stay within 75 octets.
    std::string v = contactsToVcard(book);
    size_t start = 0;
    for (size_t nl; (nl = v.find("\r\n", start)) != std::string::npos; start = nl + 2)
        EXPECT_LE(nl - start, 75u);
    // A CSV cut in its last row is refused, as is one with an open quote.
    std::string csv = contactsToCsv(book);
    EXPECT_EQ(parseContactFile(csv.substr(0, csv.size() - 12)).error, ContactFileError::Truncated);
    EXPECT_EQ(parseContactFile(csv.substr(0, csv.find("小张") + 3)).error,
              ContactFileError::Truncated);
}

}  // namespace
