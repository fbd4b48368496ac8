// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/CpbrParser.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "platform/Codepage.h"

namespace modlink::requests {

namespace {

// SIM phonebooks are read in slices: some modems cap the reply size, and
// a slice keeps each command's time-out meaningful.
constexpr int kSlice = 50;
// 3GPP TS 27.007 9.2: "not found", what many modems answer for a range
// without entries.
constexpr int kCmeNotFound = 22;

// "index","number","name" with the sizes a SIM phonebook entry holds.
std::string entryText(const at::PhonebookEntry& e) {
    return "\"" + std::to_string(e.index) + "\",\"" + quotedField(e.number, 20) + "\",\"" +
           quotedField(e.name, 22) + "\"";
}

bool emptyRange(const at::AtReply& r) {
    return r.status == at::AtStatus::CmeError && r.code == kCmeNotFound;
}

// Reads entries first..last; emits each. False (with the reply) on failure.
bool readRange(AtChannel& ch, DeviceState& st, int first, int last, int id, at::AtReply& r) {
    std::string text = "AT+CPBR=" + std::to_string(first);
    if (last != first) text += "," + std::to_string(last);
    r = ch.execute(command(text, {"+CPBR:"}, 2));
    if (emptyRange(r)) return true;
    if (!r.ok()) return false;
    int malformed = 0;
    std::vector<std::string> notes;
    for (const auto& e : at::parseCpbrEntries(r.lines, st.charset, &malformed, &notes))
        if (e.index >= first && e.index <= last) emit(MODLINK_EV_ENTRY, entryText(e), id);
    for (const auto& n : notes) Trace::instance().note(ch.device(), n);
    if (malformed > 0)
        Trace::instance().note(ch.device(),
                               std::to_string(malformed) + " malformed +CPBR lines skipped");
    return true;
}

void failListing(const at::AtReply& r, int id) {
    // An error answer, then the close, so the caller stops waiting.
    emit(MODLINK_EV_ENTRY, errorText(r), id);
    emitClose(MODLINK_EV_ENTRY, id);
}

void abortListing(int id, const std::string& why) {
    emit(MODLINK_EV_ENTRY, why, id);
    emitClose(MODLINK_EV_ENTRY, id);
}

}  // namespace

int listPhonebook(int device) {
    return Link::instance().submit(
        device,
        [](AtChannel& ch, DeviceState& st, int id) {
            at::AtReply r;
            if (!selectSimPhonebook(ch, st, r)) return failListing(r, id);
            r = ch.execute(command("AT+CPBR=?", {"+CPBR:"}));
            if (!r.ok()) return failListing(r, id);
            auto g = at::parseCpbrTest(r.lines);
            if (!g) {
                r.status = at::AtStatus::Error;
                r.finalLine = "malformed +CPBR";
                return failListing(r, id);
            }
            st.phonebook = g;
            for (int a = g->first; a <= g->last; a += kSlice) {
                if (!readRange(ch, st, a, std::min(g->last, a + kSlice - 1), id, r))
                    return failListing(r, id);
            }
            emitClose(MODLINK_EV_ENTRY, id);
        },
        abortListing);
}

int readPhonebookEntry(int device, int index) {
    if (index < 0) return -1;
    return Link::instance().submit(
        device,
        [index](AtChannel& ch, DeviceState& st, int id) {
            at::AtReply r;
            if (!selectSimPhonebook(ch, st, r)) return failListing(r, id);
            if (!readRange(ch, st, index, index, id, r)) return failListing(r, id);
            emitClose(MODLINK_EV_ENTRY, id);
        },
        abortListing);
}

int writePhonebookEntry(int device, int index, const std::string& number, const std::string& name) {
    std::string n = number.substr(0, platform::codepage::fitLength(number, 20));
    if (index < 0 || !isDialString(n)) return -1;
    return Link::instance().submit(
        device,
        [index, n, name](AtChannel& ch, DeviceState& st, int id) {
            at::AtReply r;
            if (!selectSimPhonebook(ch, st, r)) return emit(MODLINK_EV_SET_ENTRY, errorText(r), id);
            r = ch.execute(command("AT+CPBW=" + at::cpbwArguments(index, n, name, st.charset)));
            emit(MODLINK_EV_SET_ENTRY, r.ok() ? "OK" : errorText(r), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_SET_ENTRY, why, id); });
}

int deletePhonebookEntry(int device, int index) {
    if (index < 0) return -1;
    return Link::instance().submit(
        device,
        [index](AtChannel& ch, DeviceState& st, int id) {
            at::AtReply r;
            if (!selectSimPhonebook(ch, st, r)) return emit(MODLINK_EV_DEL_ENTRY, errorText(r), id);
            r = ch.execute(command("AT+CPBW=" + std::to_string(index)));
            emit(MODLINK_EV_DEL_ENTRY, r.ok() ? "OK" : errorText(r), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_DEL_ENTRY, why, id); });
}

}  // namespace modlink::requests
