// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "contacts/ContactBook.h"
#include "device/SimPhonebook.h"

namespace msgdesk {

// The name to show for a phone number: the Name of the first book record
// whose Mobile equals it; otherwise the name of the first entry with that
// number on the SIM cards of devices 1 up to attachedCount, in device
// order; otherwise none. Returns a copy, so it stays valid after the record
// or entry goes away.
//
// Window thread only, like the book and the lists it reads: the device
// callback posts received records to the window thread, which files them
// and looks the names up there, so no lock is needed.
std::optional<std::string> LookupNameByNumber(const ContactBook& book, const SimPhonebook& sims,
                                              int attachedCount, std::string_view number);

}  // namespace msgdesk
