// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/NameLookup.h"

#include <algorithm>

namespace msgdesk {

std::optional<std::string> LookupNameByNumber(const ContactBook& book, const SimPhonebook& sims,
                                              int attachedCount, std::string_view number) {
    if (const ContactRecord* r = book.FindContactByNumber(number)) return r->name();
    const int last = std::min(attachedCount, kMaxDevices);
    for (int d = 1; d <= last; ++d)
        if (const SimPhoneEntry* e = sims.FindSimEntryByNumber(d, number)) return e->nameText();
    return std::nullopt;
}

}  // namespace msgdesk
