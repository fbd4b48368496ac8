// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MessageCsv.h"

#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/CsvText.h"

namespace msgdesk {

std::string messagesToCsv(const MailboxStore& store, const std::vector<FoundRow>& rows) {
    using platform::codepage::gbkToUtf8;
    std::string out = "\xEF\xBB\xBF";
    appendCsvRow(out, {LoadStr(33137), LoadStr(60043), LoadStr(33138), LoadStr(33139),
                       LoadStr(33140), LoadStr(33104)});
    for (const FoundRow& f : rows) {
        if (f.mailbox < 0 || f.mailbox >= kMailboxCount) continue;
        const Mailbox& box = store.box(static_cast<MailboxId>(f.mailbox));
        if (!box.validRow(f.row)) continue;
        const MessageRecord& r = box.row(f.row).rec;
        appendCsvRow(out,
                     {gbkToUtf8(r.number()), gbkToUtf8(r.contact()),
                      gbkToUtf8(store.longTexts(static_cast<MailboxId>(f.mailbox)).wholeText(r)),
                      gbkToUtf8(r.date()), gbkToUtf8(r.time()),
                      LoadStr(60036 + static_cast<unsigned>(f.mailbox))});
    }
    return out;
}

}  // namespace msgdesk
