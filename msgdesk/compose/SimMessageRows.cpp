// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/SimMessageRows.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "store/PartAssembly.h"
#include "store/SimMessageCache.h"

namespace msgdesk {

namespace {

using GroupKey = std::tuple<int, std::string, int, int>;  // device, number, ref, total

SimMessageRow joined(const SimMessageCache& cache, std::vector<size_t> at) {
    const auto& recs = cache.records();
    const auto& tags = cache.tags();
    std::stable_sort(at.begin(), at.end(),
                     [&](size_t a, size_t b) { return tags[a].partNo < tags[b].partNo; });
    SimMessageRow row;
    row.rec = recs[at.front()];
    PartAssembly::Group parts;
    for (size_t i : at) {
        row.keys.push_back(recs[i].status());
        // A part kept twice on the SIM is read once.
        if (!parts.empty() && parts.back().partNo == tags[i].partNo) continue;
        PartAssembly::Part p;
        p.body = tags[i].body;
        p.partNo = tags[i].partNo;
        p.total = tags[i].total;
        parts.push_back(std::move(p));
    }
    row.whole = PartAssembly::joinedText(parts);
    row.parts = tags[at.front()].total;
    row.rec.setText(row.whole);
    return row;
}

}  // namespace

std::vector<SimMessageRow> JoinSimMessages(const SimMessageCache& cache, int device) {
    const auto& recs = cache.records();
    const auto& tags = cache.tags();
    // Each row is either a whole message (its one position) or a group of
    // positions, in the order of their first appearance.
    std::vector<std::vector<size_t>> order;
    std::map<GroupKey, size_t> groupAt;
    for (size_t i = 0; i < recs.size(); ++i) {
        if (device != 0 && recs[i].Icon != device) continue;
        const SimMessageCache::PartTag& t = tags[i];
        if (t.total <= 1) {
            order.push_back({i});
            continue;
        }
        const GroupKey key{recs[i].Icon, recs[i].number(), t.ref, t.total};
        auto [it, added] = groupAt.try_emplace(key, order.size());
        if (added)
            order.push_back({i});
        else
            order[it->second].push_back(i);
    }
    std::vector<SimMessageRow> rows;
    rows.reserve(order.size());
    for (auto& at : order) {
        if (tags[at.front()].total > 1) {
            rows.push_back(joined(cache, std::move(at)));
            continue;
        }
        SimMessageRow row;
        row.rec = recs[at.front()];
        row.whole = tags[at.front()].body.empty() ? row.rec.text() : tags[at.front()].body;
        row.keys = {row.rec.status()};
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace msgdesk
