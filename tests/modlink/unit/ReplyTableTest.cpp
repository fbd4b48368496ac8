// SPDX-License-Identifier: LGPL-2.1-or-later
// Reply parsers against tables of modem replies: each row runs the raw
// bytes through the line splitter and the reply assembler, then the
// command family's parser.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "at/AtLineSplitter.h"
#include "at/AtReplyAssembler.h"
#include "at/ClccParser.h"
#include "at/CmglParser.h"
#include "at/CpbrParser.h"
#include "at/CpmsParser.h"
#include "at/CscaParser.h"
#include "at/CsqParser.h"
#include "platform/Codepage.h"

using namespace modlink::at;
namespace cp = platform::codepage;

namespace {

struct Row {
    std::string name, raw, expected;
    int unsolicited = 0;
    std::string command, parser;
    std::vector<std::string> prefixes;
    Charset charset = Charset::Ira;
};

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(" \t");
    auto e = s.find_last_not_of(" \t");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::string unescape(const std::string& s) {
    std::string o;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            o += s[i];
            continue;
        }
        char c = s[++i];
        if (c == 'r')
            o += '\r';
        else if (c == 'n')
            o += '\n';
        else if (c == 'x' && i + 2 < s.size()) {
            o += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            o += c;
    }
    return o;
}

std::vector<Row> loadTable(const std::string& file) {
    std::ifstream in(std::string(MODLINK_TEST_DATA) + "/" + file);
    EXPECT_TRUE(in.good()) << file;
    std::vector<Row> rows;
    Row ctx;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '@') {
            std::istringstream ls(line.substr(1));
            std::string key, value;
            ls >> key >> value;
            if (key == "command") ctx.command = value;
            if (key == "prefix") ctx.prefixes = {value};
            if (key == "parser") ctx.parser = value;
            if (key == "charset") ctx.charset = charsetFromName(value);
            continue;
        }
        std::vector<std::string> cols;
        std::size_t pos = 0, bar;
        while ((bar = line.find(" | ", pos)) != std::string::npos) {
            cols.push_back(trimmed(line.substr(pos, bar - pos)));
            pos = bar + 3;
        }
        cols.push_back(trimmed(line.substr(pos)));
        if (cols.size() < 3) {
            ADD_FAILURE() << file << ": bad row: " << line;
            continue;
        }
        Row r = ctx;
        r.name = cols[0];
        r.raw = unescape(cols[1]);
        r.expected = cols[2];
        if (cols.size() > 3) r.unsolicited = std::stoi(cols[3]);
        rows.push_back(r);
    }
    return rows;
}

std::string parsed(const Row& row, const AtReply& reply) {
    std::string value;
    bool ok = false;
    if (row.parser == "csq") {
        auto v = parseCsq(reply.lines);
        ok = v.has_value();
        if (ok) value = "[" + std::to_string(*v) + "]";
    } else if (row.parser == "csca") {
        auto v = parseCsca(reply.lines, row.charset);
        ok = v.has_value();
        if (ok) value = "[" + *v + "]";
    } else if (row.parser == "cpbr-test") {
        auto v = parseCpbrTest(reply.lines);
        ok = v.has_value();
        if (ok)
            value = "[" + std::to_string(v->first) + "-" + std::to_string(v->last) + " " +
                    std::to_string(v->numberLength) + " " + std::to_string(v->textLength) + "]";
    } else if (row.parser == "cpbr") {
        auto v = parseCpbrEntries(reply.lines, row.charset);
        ok = true;
        for (const auto& e : v)
            value +=
                "[" + std::to_string(e.index) + "|" + e.number + "|" + cp::gbkToUtf8(e.name) + "]";
        if (v.empty()) value = "none";
    } else if (row.parser == "cpms") {
        auto v = parseCpms(reply.lines);
        ok = v.has_value();
        if (ok) value = "[" + std::to_string(v->used) + "/" + std::to_string(v->total) + "]";
    } else if (row.parser == "cmgr") {
        auto v = parseCmgr(reply.lines);
        ok = v.has_value();
        if (ok)
            value = "[" + std::to_string(v->stat) + " " + std::to_string(v->length) + " " +
                    v->pdu.substr(0, 8) + "]";
    } else if (row.parser == "cmgl") {
        int bad = 0;
        auto v = parseCmgl(reply.lines, &bad);
        ok = true;
        for (const auto& p : v)
            value += "[" + std::to_string(p.index) + " " + std::to_string(p.stat) + " " +
                     std::to_string(p.length) + "]";
        if (v.empty()) value = "none";
        if (bad) value += " bad " + std::to_string(bad);
    } else if (row.parser == "clcc") {
        auto v = parseClcc(reply.lines);
        ok = true;
        for (const auto& c : v)
            value += "[" + std::to_string(c.id) + " " + std::to_string(c.dir) + " " +
                     std::to_string(c.stat) + " " + c.number + "]";
        if (v.empty()) value = "none";
    } else if (row.parser == "clvl") {
        auto v = parseClvlRange(reply.lines);
        ok = v.has_value();
        if (ok) value = "[" + std::to_string(v->first) + "-" + std::to_string(v->second) + "]";
    }
    return ok ? value : "malformed";
}

void runTable(const std::string& file) {
    auto rows = loadTable(file);
    ASSERT_FALSE(rows.empty()) << file;
    for (const auto& row : rows) {
        SCOPED_TRACE(file + ": " + row.name);
        UnsolicitedRouter router;
        AtReplyAssembler assembler(router);
        AtCommand cmd;
        cmd.text = row.command;
        cmd.prefixes = row.prefixes;
        assembler.begin(cmd);
        AtLineSplitter splitter;
        splitter.feed(row.raw);
        int unsolicited = 0;
        bool complete = false;
        while (auto line = splitter.next()) {
            auto outcome = assembler.feed(*line);
            if (outcome == AtReplyAssembler::Outcome::Unsolicited) {
                ++unsolicited;
                assembler.takeUnsolicited();
            }
            if (outcome == AtReplyAssembler::Outcome::Complete) {
                complete = true;
                break;
            }
        }
        std::string got;
        if (!complete) {
            got = "INCOMPLETE";
        } else {
            const AtReply& r = assembler.reply();
            switch (r.status) {
                case AtStatus::Ok:
                    got = "OK " + parsed(row, r);
                    break;
                case AtStatus::CmeError:
                    got = "CME " + std::to_string(r.code);
                    break;
                case AtStatus::CmsError:
                    got = "CMS " + std::to_string(r.code);
                    break;
                default:
                    got = statusName(r.status);
                    break;
            }
        }
        EXPECT_EQ(got, row.expected);
        EXPECT_EQ(unsolicited, row.unsolicited);
    }
}

}  // namespace

TEST(ReplyTable, SignalQuality) {
    runTable("csq.txt");
}
TEST(ReplyTable, ServiceCentre) {
    runTable("csca.txt");
}
TEST(ReplyTable, PhonebookEntries) {
    runTable("cpbr.txt");
}
TEST(ReplyTable, PhonebookGeometry) {
    runTable("cpbr_test.txt");
}
TEST(ReplyTable, MessageStorage) {
    runTable("cpms.txt");
}
TEST(ReplyTable, StoredMessages) {
    runTable("cmgr.txt");
    runTable("cmgl.txt");
}
TEST(ReplyTable, CallsAndVolume) {
    runTable("clcc.txt");
    runTable("clvl.txt");
}

TEST(UnsolicitedLines, NewMessageAndCallerId) {
    EXPECT_EQ(parseCmti("+CMTI: \"SM\",3"), 3);
    EXPECT_EQ(parseCmti("+CMTI: \"ME\",12"), 12);
    EXPECT_FALSE(parseCmti("+CMTI: \"SM\"").has_value());
    EXPECT_FALSE(parseCmti("+CMTI: \"SM\",x").has_value());
    EXPECT_FALSE(parseCmti("+CMTI: \"SM\",-1").has_value());
    EXPECT_EQ(parseClip("+CLIP: \"13912345678\",129"), "13912345678");
    EXPECT_EQ(parseClip("+CLIP: \"8613912345678\",145,,,,0"), "+8613912345678");
    EXPECT_EQ(parseClip("+CLIP: \"+8613912345678\",145"), "+8613912345678");
    EXPECT_EQ(parseClip("+CLIP: \"\",128,,,,1"), "");
    EXPECT_FALSE(parseClip("+CLIP: \"139\\\"1\",129").has_value());
    EXPECT_FALSE(parseClip("+CLIP:").has_value());
}
