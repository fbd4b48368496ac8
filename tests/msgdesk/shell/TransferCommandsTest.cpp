// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "../store/MessageListFixture.h"
#include "contacts/ContactImport.h"
#include "platform/Codepage.h"
#include "shell/TransferCommands.h"

using namespace msgdesk;
using platform::codepage::utf8ToGbk;

namespace {

std::string hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

// Reads a CSV file with Python's csv module; each row comes back as the
// hex of its UTF-8 fields joined by '|', one row a line.
std::vector<std::string> readWithPython(const std::string& path) {
    std::string cmd =
        "python3 -c \"import csv,sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
        "    for row in csv.reader(f): print('|'.join(x.encode().hex() for x in row))\" " +
        path;
    std::vector<std::string> rows;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return rows;
    char buf[8192];
    while (fgets(buf, sizeof buf, p)) {
        std::string line(buf);
        while (!line.empty() && line.back() == '\n') line.pop_back();
        rows.push_back(line);
    }
    EXPECT_EQ(pclose(p), 0);
    return rows;
}

struct TransferTest : storetest::MessageListFixture {
    ContactBook book;
    ScriptedFileDialog files;
    std::unique_ptr<TransferCommands> t;
    void SetUp() override {
        MessageListFixture::SetUp();
        t = std::make_unique<TransferCommands>(*list, book, files, mb);
    }
    std::string path(const char* name) { return (dir.path / name).string(); }
};

TEST_F(TransferTest, MessagesCsvReadBackByPythonGivesTheSameFields) {
    MessageRecord a = storetest::rec("13800000001", "a, \"quoted\" text\r\nsecond line");
    a.setContact(utf8ToGbk("张三"));
    store->AppendMessage(a, InBox);
    store->AppendMessage(storetest::rec("10086", utf8ToGbk("余额,查询")), InBox);
    store->AppendMessage(storetest::rec("10010", "plain"), SentBox);
    list->ShowMailbox(InBox);
    files.answers = {path("in.csv")};
    ASSERT_TRUE(t->onCommand(cmd::ExportMailbox));
    const std::string bytes = storetest::readFile(path("in.csv"));
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::string> rows = readWithPython(path("in.csv"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], hex("号码") + "|" + hex("联系人") + "|" + hex("内容") + "|" + hex("日期") +
                           "|" + hex("时间") + "|" + hex("短信箱"));
    EXPECT_EQ(rows[1], hex("13800000001") + "|" + hex("张三") + "|" +
                           hex("a, \"quoted\" text\r\nsecond line") + "|" + hex("2003-01-09") +
                           "|" + hex("10:00:00") + "|" + hex("收短信箱"));
    EXPECT_EQ(rows[2], hex("10086") + "||" + hex("余额,查询") + "|" + hex("2003-01-09") + "|" +
                           hex("10:00:00") + "|" + hex("收短信箱"));
    ASSERT_EQ(mb.shown.size(), 1u);
    EXPECT_EQ(mb.shown[0].text, "已导出 2 条记录到“" + path("in.csv") + "”。");
}

TEST_F(TransferTest, ExportTakesWhatIsShownOrSelectedAndAsksBeforeReplacing) {
    for (const char* n : {"111", "222", "1113", "333"})
        store->AppendMessage(storetest::rec(n, "x"), InBox);
    list->ShowMailbox(InBox);
    t->finder().setText("111");
    t->finder().setSelectedShown({1});
    EXPECT_EQ(t->shownRows(), (std::vector<FoundRow>{{InBox, 0}, {InBox, 2}}));
    EXPECT_EQ(t->selectedRows(), (std::vector<FoundRow>{{InBox, 2}}));
    EXPECT_TRUE(t->isCommandEnabled(cmd::ExportSelected));
    t->finder().setText("999");
    EXPECT_FALSE(t->isCommandEnabled(cmd::ExportMailbox));
    EXPECT_FALSE(t->isCommandEnabled(cmd::ExportSelected));
    EXPECT_FALSE(t->isCommandEnabled(cmd::ExportContactsCsv));  // the book is empty
    t->finder().setText("111");
    t->finder().setSelectedShown({1});
    EXPECT_TRUE(t->isCommandEnabled(cmd::ExportMailbox));
    storetest::writeFile(path("old.csv"), "keep me");
    files.answers = {path("old.csv"), path("old.csv")};
    mb.answers = {platform::IDNO};
    t->onCommand(cmd::ExportSelected);
    EXPECT_EQ(storetest::readFile(path("old.csv")), "keep me");
    ASSERT_EQ(mb.shown.size(), 1u);
    EXPECT_EQ(mb.shown[0].stringId, 33110u);
    t->onCommand(cmd::ExportSelected);  // answered Yes this time
    std::vector<std::string> rows = readWithPython(path("old.csv"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].substr(0, 8), hex("1113"));
    // No temporary file is left beside it.
    int files_in_dir = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path))
        if (e.path().extension() == ".csv" || e.path().filename().string()[0] == '.')
            ++files_in_dir;
    EXPECT_EQ(files_in_dir, 1);
    // A folder that cannot be written: a clear error, nothing claimed.
    files.answers = {path("nodir/x.csv")};
    t->onCommand(cmd::ExportMailbox);
    EXPECT_EQ(mb.shown.back().icon, platform::MbIcon::Stop);
    EXPECT_NE(mb.shown.back().text.find("No such file"), std::string::npos);
}

TEST_F(TransferTest, ImportShowsOneSummaryAndRefusesBadFilesWhole) {
    const std::string data = std::string(ZUNTO_TEST_DATA) + "/msgdesk/vcard/";
    MessageRecord m = storetest::rec("+8613800138000", "hi");
    store->AppendMessage(m, InBox);
    // The program looks names up in the book; here the fixture's table stands in.
    names["+8613800138000"] = utf8ToGbk("张三");
    ASSERT_EQ(box(InBox).row(0).rec.contact(), "");
    files.answers = {data + "android.vcf", data + "truncated.vcf", "", path("missing.vcf")};
    t->onCommand(cmd::ImportContacts);
    EXPECT_EQ(book.size(), 2u);
    ASSERT_EQ(mb.shown.size(), 1u);
    EXPECT_EQ(mb.shown[0].text.substr(0, mb.shown[0].text.find('\n')),
              "导入联系人完成：新增 2 个，跳过 1 个，拒绝 2 个。");
    // The list shows the new contact's name.
    EXPECT_EQ(box(InBox).row(0).rec.contact(), utf8ToGbk("张三"));
    t->onCommand(cmd::ImportContacts);
    EXPECT_EQ(book.size(), 2u);
    EXPECT_EQ(mb.shown.back().icon, platform::MbIcon::Exclamation);
    EXPECT_NE(mb.shown.back().text.find("truncated.vcf"), std::string::npos);
    t->onCommand(cmd::ImportContacts);  // cancelled: nothing shown
    EXPECT_EQ(mb.shown.size(), 2u);
    t->onCommand(cmd::ImportContacts);
    EXPECT_EQ(mb.shown.size(), 3u);
    EXPECT_EQ(book.size(), 2u);
    // And the book goes out again as vCard, read back the same.
    files.answers = {path("c.vcf")};
    EXPECT_TRUE(t->isCommandEnabled(cmd::ExportContactsVcard));
    t->onCommand(cmd::ExportContactsVcard);
    ParsedContacts back = parseContactFile(storetest::readFile(path("c.vcf")));
    ASSERT_EQ(back.contacts.size(), 2u);
    EXPECT_EQ(back.contacts[1].field(ContactField::HomePhone),
              book.records()[1]->field(ContactField::HomePhone));
}

}  // namespace
