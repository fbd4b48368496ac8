// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/ContactBook.h"
#include "device/SimPhonebook.h"

namespace msgdesk {

// What a phonebook or recipient row stands for: a local contact, a SIM
// phonebook entry, or nothing (a bare number). Rows keep copies of the name
// and number, so an entry that goes away while the dialog is open (a device
// unplugged) leaves no dangling reference; the identity (contact record,
// device and SIM index) only tells rows apart.
struct PhonebookRef {
    enum class Kind { Bare, Contact, SimEntry };
    Kind kind = Kind::Bare;
    const ContactRecord* contact = nullptr;  // identity only, never read
    int device = 0;                          // SIM entry: 1..16
    int simIndex = 0;
    std::string name;    // GBK
    std::string number;  // GBK

    // Image in the device strip: the device for a SIM entry, else 0.
    int icon() const { return kind == Kind::SimEntry ? device : 0; }
    // What a recipient row shows: the name, or the bare number.
    const std::string& shown() const { return kind == Kind::Bare ? number : name; }
    bool sameAs(const PhonebookRef& o) const;
};

// The compose dialog's lists and results, without a window. The phonebook
// list holds the local contacts and, when asked, the SIM entries, each at
// its sorted place; the recipient list holds what was chosen, in order.
class ComposeModel final {
public:
    // Builds the phonebook list from the local contacts and makes the
    // preset number (ignored when empty) recipient 0: as the contact whose
    // number equals it, taken out of the phonebook list, or as itself.
    ComposeModel(const ContactBook& book, const SimPhonebook& sims, std::string_view presetNumber);

    const std::vector<PhonebookRef>& phonebook() const { return m_phonebook; }
    const std::vector<PhonebookRef>& recipients() const { return m_recipients; }

    bool showLocal() const { return m_showLocal; }
    bool showSim() const { return m_showSim; }
    // The check boxes "计算机内电话" and "SIM卡内电话": the list is refilled
    // with what is not already a recipient. Returns the row to select (where
    // the last row went), or -1 for an empty list.
    int setShowLocal(bool on);
    int setShowSim(bool on);

    // "<= 添加": the given phonebook rows become recipients, in row order,
    // and leave the phonebook list.
    void addRecipients(std::vector<int> phonebookRows);
    // " => 移除": the given recipients go; contacts and SIM entries return to
    // their sorted places in the phonebook list. Returns the recipient row
    // to select afterwards (the last removed position, or the one before it
    // when that is past the end), or -1 when none is left.
    int removeRecipients(std::vector<int> recipientRows);

    // The first phonebook row whose name begins with text (GBK bytes); none
    // when no row does (the dialog then says 60004).
    std::optional<int> search(std::string_view text) const;

    // Send (1009) or save (1001): the result lists from the recipients, then
    // the extra number when it is not empty and a valid phone number (a
    // pasted text with other characters is ignored). False, with nothing
    // kept, when there is no recipient at all (the dialog says 60035 and
    // stays open).
    bool finish(std::string_view extraNumber);
    const std::vector<std::string>& resultNumbers() const { return m_numbers; }
    const std::vector<std::string>& resultNames() const { return m_names; }

private:
    int insertSorted(PhonebookRef ref);
    int refill();
    bool isRecipient(const PhonebookRef& ref) const;

    const ContactBook& m_book;
    const SimPhonebook& m_sims;
    std::vector<PhonebookRef> m_phonebook;
    std::vector<PhonebookRef> m_recipients;
    bool m_showLocal = true;
    bool m_showSim = false;
    std::vector<std::string> m_numbers;
    std::vector<std::string> m_names;
};

// Byte order of two GBK names, as unsigned bytes (a lead byte compares
// before its trail byte, so whole characters order by their codes).
int CompareNames(std::string_view a, std::string_view b);

}  // namespace msgdesk
