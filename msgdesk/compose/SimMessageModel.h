// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "compose/SimMessageRows.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "store/MessageRecord.h"

namespace msgdesk {

class SimMessageCache;

// The SIM message manager without its window: the rows it lists from the
// SIM message cache, the device filter, the count text, which buttons the
// selection enables, and the requests it sends the main frame (view, reply,
// forward, delete with the keep-on-computer question, export). It is the
// main frame's open device dialog while it is open: UM_SIMMESSAGES lists
// again, keeping the position of the first selected row.
//
// The parts of a long message are one row (SimMessageRows.h): it is viewed,
// kept and exported with its whole text, and deleting it deletes every part.
class SimMessageModel final : public platform::MessageTarget {
public:
    struct Ports {
        // Synchronous requests to the main frame (UM_KEEPRECORD,
        // UM_DELETESIMMESSAGE, UM_COMPOSE). UM_KEEPRECORD answers non-zero
        // when the copy is on disk.
        std::function<std::intptr_t(const platform::Message&)> sendToFrame;
        // The keep-on-computer prompt: 1 yes, 1044 no, 2 cancel.
        std::function<int()> askKeep;
        // The message view of a record and its whole text (GBK): 1027
        // reply, 1025 forward, 2 cancel.
        std::function<int(const MessageRecord&, const std::string& whole)> openView;
        // Shows the notice of a shortened forward; unset: none.
        platform::MessageBoxPort* messageBox = nullptr;
        // The rows or the selection changed: the window shows them again.
        std::function<void()> changed;
    };
    struct Buttons {
        bool view = false, reply = false, forward = false, del = false, exportToPc = false;
    };

    SimMessageModel(const SimMessageCache& cache, int deviceCount, Ports ports);

    void setChangedHandler(std::function<void()> f) { m_ports.changed = std::move(f); }
    // The filter list's entries, UTF-8: "全部", then "Zunto[1]" .. "Zunto[n]".
    std::vector<std::string> filterEntries() const;
    int filter() const { return m_filter; }
    // Entry 0 lists all, entry d only device d; keeps the selected position.
    void setFilter(int entry);
    // Lists again from the cache, keeping the position of the first selected row.
    void relist();
    // A header click on column 0..6, as in the message list: the sort
    // column again reverses the direction, another column sorts ascending.
    // The list starts on column 0 ascending, so a first click on column 0
    // sorts descending.
    void sortByColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }

    const std::vector<SimMessageRow>& rows() const { return m_rows; }
    std::string countText() const;  // "%d 条", UTF-8
    // Row positions, in any order; kept sorted.
    void setSelection(std::vector<int> rows);
    const std::vector<int>& selection() const { return m_selection; }
    Buttons buttons() const;

    void view();
    void reply();
    void forward();
    // From the last selected row to the first, asking once; false: nothing
    // done. A row whose kept copy could not be stored stays on the SIM.
    // After the question each row acts only on its SIM positions still in
    // the cache with the same message (by key: SIM index and device); one
    // deleted or whose device went meanwhile is left alone.
    bool deleteSelected();
    void exportSelected();

    // "<sim index>/<device>" split at the "/"; false when either part is no number.
    static bool SplitKey(std::string_view key, int& simIndex, int& device);
    // The text column (GBK): the Text, after "(n) " for a message of n
    // parts, as the message list shows a joined row.
    static std::string TextColumn(const SimMessageRow& row);

    // UM_SIMMESSAGES and UM_DEVICEGONE list again.
    std::intptr_t onMessage(const platform::Message& m) override;

private:
    // The row's keys whose cached record is still the row's message.
    std::vector<std::string> keysStillCached(const SimMessageRow& row) const;
    bool cached(const std::string& key, const SimMessageRow& row) const;
    void list();
    void notify();
    const SimMessageRow* firstSelected() const;
    // The record a kept copy is made from: columns 1 to 5, Icon 0, no Status.
    static MessageRecord inboxCopy(const MessageRecord& row);
    void compose(int mode, const std::string& text);
    void forwardRow(const SimMessageRow& row);
    // Files a copy into the InBox; true when the main frame has it on disk.
    bool keep(const SimMessageRow& row);

    const SimMessageCache& m_cache;
    int m_deviceCount;
    Ports m_ports;
    int m_filter = 0;
    int m_sortColumn = 0;
    bool m_sortAscending = true;
    std::vector<SimMessageRow> m_rows;
    std::vector<int> m_selection;
};

}  // namespace msgdesk
