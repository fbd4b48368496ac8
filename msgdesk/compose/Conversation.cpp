// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/Conversation.h"

#include <algorithm>
#include <cstdio>

#include "compose/ComposeIds.h"
#include "compose/ConversationNumber.h"
#include "platform/Codepage.h"
#include "res/StringTable.h"

namespace msgdesk {

namespace {

constexpr MailboxId kBoxes[] = {InBox, SentBox, OutBox};

// Reads up to three numbers separated by sep, each 1..4 digits, with
// leading blanks allowed ("%2ld" pads the SentBox's hour with one).
bool readTriple(std::string_view s, char sep, long out[3]) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    for (int part = 0; part < 3; ++part) {
        if (part > 0) {
            if (i >= s.size() || s[i] != sep) return false;
            ++i;
        }
        long v = 0;
        size_t digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 4) {
            v = v * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0) return false;
        out[part] = v;
    }
    return i == s.size();
}

int sideRank(ConversationEntry::State s) {
    switch (s) {
        case ConversationEntry::State::Received:
            return 0;
        case ConversationEntry::State::Sent:
            return 1;
        default:
            return 2;
    }
}

}  // namespace

Conversation::Conversation(MailboxStore& store, std::string number, NameLookup nameFor, Sender send,
                           platform::MessageBoxPort* messageBox)
    : m_store(store),
      m_number(std::move(number)),
      m_key(ConversationKey(m_number)),
      m_nameFor(std::move(nameFor)),
      m_send(std::move(send)),
      m_messageBox(messageBox) {
    for (MailboxId id : kBoxes) m_store.box(id).addObserver(this);
    build();
}

Conversation::~Conversation() {
    for (MailboxId id : kBoxes) m_store.box(id).removeObserver(this);
}

std::string Conversation::title() const {
    std::string name = m_nameFor ? m_nameFor(m_number) : std::string();
    if (name.empty() && m_nameFor && m_key != m_number) name = m_nameFor(m_key);
    const std::string shown = platform::codepage::gbkToUtf8(name.empty() ? m_number : name);
    return FormatStr(34002, {shown});
}

bool Conversation::reply(const std::string& textGbk) {
    if (!m_send) return false;
    const ComposeController::Sent sent = m_send(m_number, textGbk);
    if (sent.check == ComposeCheck::Ok) return sent.row >= 0;
    if (m_messageBox) {
        // The field never takes an overlong text; a number the dialog would
        // refuse (a sender name, an empty number) is the case to explain.
        const bool badNumber = sent.check == ComposeCheck::InvalidNumber;
        const std::string text = badNumber
                                     ? FormatStr(34008, {platform::codepage::gbkToUtf8(m_number)})
                                     : FormatStr(34009, {int64_t{compose::kTextLimit}});
        m_messageBox->show({badNumber ? 34008u : 34009u, text, LoadStr(IDS_APP_TITLE),
                            platform::MbIcon::Information, platform::MbButtons::Ok});
    }
    return false;
}

void Conversation::markStale() {
    if (m_stale) return;
    m_stale = true;
    if (changed) changed();
}

bool Conversation::refresh() {
    if (!m_stale) return false;
    build();
    return true;
}

void Conversation::build() {
    m_entries.clear();
    for (MailboxId id : kBoxes) {
        const Mailbox& box = m_store.box(id);
        const LongTexts& longs = m_store.longTexts(id);
        for (const MailboxRow& row : box.rows()) {
            const MessageRecord& rec = row.rec;
            if (!HasConversationKey(platform::codepage::getField(rec.Number, sizeof rec.Number),
                                    m_key))
                continue;
            ConversationEntry e;
            e.box = id;
            if (id == InBox)
                e.state = ConversationEntry::State::Received;
            else if (id == SentBox)
                e.state = ConversationEntry::State::Sent;
            else if (rec.Icon != 0)
                e.state = ConversationEntry::State::Failed;  // given up (17, 18)
            else if (rec.Status[0] != '\0')
                e.state = ConversationEntry::State::Sending;  // with the library
            else
                e.state = ConversationEntry::State::Waiting;
            e.number = rec.number();
            e.text = longs.entries().empty() ? rec.text() : longs.wholeText(rec);
            long d[3];
            long t[3];
            const std::string date = rec.date();
            const std::string time = rec.time();
            const bool dateOk = readTriple(date, '-', d);
            const bool timeOk = readTriple(time, ':', t);
            if (dateOk) {
                char b[32];
                std::snprintf(b, sizeof b, "%04ld-%02ld-%02ld", d[0], d[1], d[2]);
                e.day = b;
            } else {
                e.day = date;
            }
            if (timeOk) {
                char b[32];
                std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld", t[0], t[1], t[2]);
                e.time = b;
            } else {
                e.time = time;
            }
            if (dateOk && timeOk)
                e.when = ((d[0] * 100 + d[1]) * 100 + d[2]) * 1000000LL + t[0] * 10000 +
                         t[1] * 100 + t[2];
            m_entries.push_back(std::move(e));
        }
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const ConversationEntry& a, const ConversationEntry& b) {
                         if (a.when != b.when) return a.when < b.when;
                         return sideRank(a.state) < sideRank(b.state);
                     });
    m_stale = false;
}

std::string Conversation::stateText(ConversationEntry::State s) {
    switch (s) {
        case ConversationEntry::State::Waiting:
            return LoadStr(34003);
        case ConversationEntry::State::Sending:
            return LoadStr(34004);
        case ConversationEntry::State::Failed:
            return LoadStr(34005);
        default:
            return {};
    }
}

std::string Conversation::dayText(const std::string& day) {
    return platform::codepage::gbkToUtf8(day);
}

}  // namespace msgdesk
