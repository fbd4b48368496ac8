// SPDX-License-Identifier: GPL-3.0-or-later
// The compose dialog's phonebook list with a full book: building it (every
// local contact at its sorted place), ticking the SIM phonebooks of 16
// devices, and adding and removing many recipients. Prints figures.
#include <chrono>
#include <cstdio>
#include <string>

#include "compose/ComposeModel.h"

using namespace msgdesk;
using Clock = std::chrono::steady_clock;

namespace {
double ms(Clock::time_point a) {
    return std::chrono::duration<double, std::milli>(Clock::now() - a).count();
}
}  // namespace

int main() {
    const int contacts = 2000;
    const int perSim = 250;
    ContactBook book;
    for (int i = 0; i < contacts; ++i) {
        auto c = NewContactRecord();
        // Names in scrambled order, so each insertion lands mid-list.
        c->setName("C" + std::to_string((i * 7919) % contacts));
        c->setMobile("139" + std::to_string(10000000 + i));
        book.AddContact(std::move(c));
    }
    SimPhonebook sims;
    for (int d = 1; d <= 16; ++d)
        for (int i = 1; i <= perSim; ++i) {
            auto e = std::make_unique<SimPhoneEntry>();
            e->device = d;
            e->index = i;
            e->setName("S" + std::to_string((i * 31 + d) % perSim));
            e->setNumber("137" + std::to_string(d * 1000 + i));
            sims.AppendSimEntry(std::move(e));
        }
    auto t = Clock::now();
    ComposeModel m(book, sims, "13910001999");
    std::printf("open with %d contacts: %.2f ms\n", contacts, ms(t));
    t = Clock::now();
    m.setShowSim(true);
    std::printf("tick SIM (%zu rows): %.2f ms\n", m.phonebook().size(), ms(t));
    std::vector<int> rows;
    for (int i = 0; i < 500; ++i) rows.push_back(i * 10);
    t = Clock::now();
    m.addRecipients(rows);
    std::printf("add 500 recipients: %.2f ms\n", ms(t));
    t = Clock::now();
    m.setShowLocal(true);
    std::printf("refill with 501 recipients chosen (%zu rows): %.2f ms\n", m.phonebook().size(),
                ms(t));
    std::vector<int> all;
    for (int i = 0; i < static_cast<int>(m.recipients().size()); ++i) all.push_back(i);
    t = Clock::now();
    m.removeRecipients(all);
    std::printf("remove all recipients back to their places: %.2f ms\n", ms(t));
    return 0;
}
