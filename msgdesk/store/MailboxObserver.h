// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace msgdesk {

class Mailbox;

// Told of every change of a mailbox, in the order a Qt item model needs:
// begin/end pairs bracket a change of the row count. All calls arrive on the
// window thread, inside the core call that made the change.
class MailboxObserver {
public:
    virtual ~MailboxObserver() = default;
    virtual void beginInsertRows(const Mailbox&, int /*first*/, int /*last*/) {}
    virtual void endInsertRows(const Mailbox&) {}
    virtual void beginRemoveRows(const Mailbox&, int /*first*/, int /*last*/) {}
    virtual void endRemoveRows(const Mailbox&) {}
    // Load, sort and large removals replace the whole row set.
    virtual void beginReset(const Mailbox&) {}
    virtual void endReset(const Mailbox&) {}
    virtual void rowsChanged(const Mailbox&, int /*first*/, int /*last*/) {}
    // Core changed the selection (show, select all, after a delete); the view
    // copies it. Selection changes made by the view itself are not echoed.
    virtual void selectionReset(const Mailbox&, int /*caretRow*/) {}
    // A stored field changed (rows added, removed, reordered or rewritten):
    // the mailbox file is due for a save. Not called for icons, Attempts,
    // selection or a load.
    virtual void contentChanged(const Mailbox&) {}
};

}  // namespace msgdesk
