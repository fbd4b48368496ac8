// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MainFrameCore.h"

#include "contacts/NameLookup.h"
#include "res/StringTable.h"
#include "store/StoreCommands.h"
#include "types/Commands.h"

namespace msgdesk {

MainFrameCore::MainFrameCore(Services s)
    : m_s(std::move(s)),
      m_status(
          m_s.clock,
          StatusBarModel::Sources{[this] { return mailboxCount(); },
                                  [this](int d) {
                                      if (!m_link) return std::pair{0, 0};
                                      DeviceSlot slot = m_link->devices().slot(d);
                                      return std::pair{slot.messageCapacity, slot.messageCount};
                                  },
                                  [this] { return sendTotalsHook(); }},
          StatusBarModel::View{[this](int pane, const std::string& t) {
                                   if (m_window) m_window->setPaneText(pane, t);
                               },
                               [this](int pos) {
                                   if (m_window) m_window->setProgress(pos);
                               }}),
      m_sendAnimation(
          m_s.loop, this,
          SendAnimation::Ports{[this] { return batchCompleteHook(); },
                               [this] { return m_link && m_link->linkActive(); },
                               [this](int icon) {
                                   if (m_window) m_window->setSendIcon(icon);
                               },
                               [this] { m_s.loop.send(this, UM_STATUSPANE, PANE_ACTIVITY, 2); }}),
      m_ringAnimation(m_s.loop, &m_viewTimers, [this](int image) {
          if (m_window) m_window->showRingImage(image);
      }) {
    m_viewTimers.core = this;
    auto post = [this](platform::Message m) { postToSelf(std::move(m)); };
    m_contactStore = std::make_unique<ContactStore>(m_book, ContactFiles{m_s.dataRoot}, m_s.loop);
    m_contacts =
        std::make_unique<ContactsCore>(m_book, m_sims, m_s.loop, this, m_s.messageBox,
                                       [this]() -> const DeviceLink* { return m_link.get(); });
    m_store = std::make_unique<MailboxStore>(m_s.loop, m_s.dataRoot, post);
    MessageListPorts lp;
    lp.postToFrame = post;
    lp.sendToFrame = [this](platform::Message m) { return m_s.loop.send(this, m); };
    lp.linkUp = [this] { return m_link && m_link->linkActive(); };
    lp.delMsgInBuff = [this](int id) {
        return (m_link && m_link->library().DelMsgInBuff) ? m_link->library().DelMsgInBuff(id) : 0;
    };
    lp.sendBatchRunning = [this] { return sendBatchRunningHook(); };
    lp.lowerSendBatch = [this] { lowerSendBatchHook(); };
    lp.openMessageView = [this](const MessageRecord& r, const std::string& whole) {
        return m_window ? m_window->openMessageView(r, whole) : 2;
    };
    lp.showPreview = [this](const std::string& n, const std::string& t) {
        if (m_window) m_window->showPreview(n, t);
    };
    lp.lookupNameByNumber = [this](const std::string& n) { return nameFor(n); };
    lp.commandMissing = [](unsigned id) { return !commandBuilt(static_cast<int>(id)); };
    lp.openConversation = [this](const std::string& number) {
        if (m_window) m_window->openConversation(number);
    };
    lp.messageBox = &m_s.messageBox;
    m_list = std::make_unique<MessageList>(*m_store, m_s.loop, std::move(lp));
    MailboxTreePorts tp;
    tp.postToFrame = post;
    tp.sendToFrame = [this](platform::Message m) { return m_s.loop.send(this, m); };
    tp.postToPaneHolder = [this](platform::Message) {
        if (m_window) m_window->toggleLeftPane();
    };
    tp.showPreview = [this](const std::string& n, const std::string& t) {
        if (m_window) m_window->showPreview(n, t);
    };
    tp.setRightCaption = [this](const std::string& t, unsigned icon) {
        if (m_window) m_window->setRightCaption(t, icon);
    };
    m_tree = std::make_unique<MailboxTree>(*m_list, std::move(tp));
    attachCompose();
}

// compose: UM_COMPOSE opens the compose dialog and files its result.
void MainFrameCore::attachCompose() {
    ComposeController::Ports cp;
    cp.runDialog = [this](ComposeSession& s) {
        if (composeDialogHook) return composeDialogHook(s);
        return m_window ? m_window->runComposeDialog(s) : 2;
    };
    cp.sendRows = [this](const std::vector<MessageRecord>& rows) {
        if (m_pump)
            m_pump->appendComposed(rows);
        else
            m_store->AppendMessages(rows, OutBox);
    };
    cp.postCountRefresh = [this] {
        postToSelf(platform::Message{UM_STATUSPANE, PANE_MAILBOX, 1, nullptr});
    };
    m_compose = std::make_unique<ComposeController>(m_book, m_sims, *m_store, m_s.clock,
                                                    m_s.messageBox, std::move(cp));
}

MainFrameCore::~MainFrameCore() {
    // The link must be closed before it goes (its callback holds it); the
    // last device's removal makes it inactive before its closing pause ends.
    if (m_link && (m_link->linkActive() || m_link->disconnectPending()) &&
        m_link->library().CloseModules)
        m_link->library().CloseModules();
    m_phone.reset();
    m_receiver.reset();  // receive/send
    m_pump.reset();
    m_link.reset();
    m_s.loop.forget(this);
    m_s.loop.forget(&m_viewTimers);
}

void MainFrameCore::ViewTimers::onTimer(unsigned id) {
    if (id == TIMER_RINGING) core->m_ringAnimation.onTimer();
}

bool MainFrameCore::create() {
    if (m_s.library) {
        m_library = *m_s.library;
    } else if (m_binding.load("modlink.dll")) {
        m_library = m_binding.library();
    } else {
        platform::MessageBoxRequest r{60010, LoadStr(60010), LoadStr(IDS_APP_TITLE),
                                      platform::MbIcon::Stop, platform::MbButtons::Ok};
        m_s.messageBox.show(r);
        return false;
    }
    m_settings.read(m_s.registry);
    DeviceLinkPorts& ports = *this;
    m_link = std::make_unique<DeviceLink>(m_s.loop, this, m_library, m_sims, ports, m_s.messageBox);
    attachReceiveSend();  // receive/send
    createPhone();
    // The views' first update: mailboxes and contacts backed up and loaded.
    m_store->start();
    m_contactStore->start();
    // Delivery reports: stale entries go, and the library asks as set.
    m_watch->start();
    m_watch->applySetting();
    // Long messages completed (or overdue) before the last stop are filed now.
    if (m_receiver) m_receiver->fileWaitingParts(false);
    m_contacts->pane().RefreshRows(0);
    m_created = true;
    postToSelf(platform::Message{cmd::WM_COMMAND, cmd::Connect, 0, nullptr});
    return true;
}

bool MainFrameCore::queryClose() {
    if (!m_link) return true;
    if (m_link->isBusy() && m_s.messageBox.show({60033, LoadStr(60033), LoadStr(IDS_APP_TITLE),
                                                 platform::MbIcon::Exclamation,
                                                 platform::MbButtons::YesNo}) != platform::IDYES)
        return false;
    if (sendBatchRunningHook() &&
        m_s.messageBox.show({60001, LoadStr(60001), LoadStr(IDS_APP_TITLE),
                             platform::MbIcon::Information, platform::MbButtons::YesNo}) !=
            platform::IDYES)
        return false;
    return true;
}

void MainFrameCore::close(std::function<void()> done) {
    if (m_closed) {
        if (done) done();
        return;
    }
    if (m_closing) return;
    m_closing = true;
    auto finish = [this, done = std::move(done)] {
        m_settings.write(m_s.registry);
        m_s.loop.killTimer(this, TIMER_SEND_ANIMATION);
        m_ringAnimation.stop();
        // The views go: the message list saves the mailboxes, the contact
        // pane saves the book and forgets the SIM phonebooks.
        if (m_created) {
            m_compose->shutdown();  // compose: an open draft goes back first
            m_store->simCache().RemoveSimMessages(17);
            m_store->shutdown();
            m_contactStore->shutdown();
        }
        m_contacts->pane().rows().clear();
        m_sims.ClearSimPhonebook(17);
        m_phone.reset();
        m_receiver.reset();  // receive/send
        m_pump.reset();
        m_link.reset();
        m_binding.unload();
        m_closed = true;
        if (done) done();
    };
    if (m_link)
        m_link->disconnect(std::move(finish));
    else
        finish();
}

std::string MainFrameCore::nameFor(const std::string& number) const {
    int count = m_link ? m_link->deviceCount() : 0;
    return LookupNameByNumber(m_book, m_sims, count, number).value_or(std::string());
}

StatusBarModel::MailboxCount MainFrameCore::mailboxCount() const {
    StatusBarModel::MailboxCount c;
    const Mailbox* box = m_list->currentBox();
    if (!box) return c;
    c.hasList = true;
    c.mailbox = m_list->current();
    c.rows = box->size();
    c.newRows = box->countNew();
    return c;
}

std::intptr_t MainFrameCore::onMessage(const platform::Message& m) {
    switch (m.msg) {
        case UM_STATUSPANE:
            m_status.update(static_cast<int>(m.wParam), static_cast<long>(m.lParam));
            return 0;
        case cmd::WM_COMMAND:
            command(static_cast<int>(m.wParam));
            return 0;
        case UM_EMPTYDELETEBOX:
            m_list->emptyDeleteBox();
            return 0;
        case UM_COMPOSE:
            m_compose->onCompose(m);
            return 0;
        case UM_USSDANSWER:
            // Only the open service query dialog waits for these.
            if (m_deviceDialog) m_deviceDialog->onMessage(m);
            return 0;
        default:
            break;
    }
    std::intptr_t result = 0;
    if (m_link && m_link->handleMessage(m, &result)) return result;
    // receive/send: the receiving and sending parts' messages.
    for (auto& h : extraHandlers)
        if (h(m, &result)) return result;
    return 0;
}

// receive/send: receiving and the send pump, with the hooks that reach them.
void MainFrameCore::attachReceiveSend() {
    Receiver::Ports rp;
    rp.lookupName = [this](const std::string& n) { return nameFor(n); };
    rp.postToDeviceDialog = [this](const platform::Message& m) { postToDeviceDialog(m); };
    rp.retry = [this](int device, int failures, std::function<bool(int)> attempt) {
        return m_link && m_link->retries().schedule(device, failures, std::move(attempt));
    };
    if (m_s.notifier)
        rp.notify = [this](const platform::Notification& n) { m_s.notifier->notify(n); };
    m_receiver = std::make_unique<Receiver>(m_s.loop, this, m_link->library(), m_link->devices(),
                                            m_link->pending(), *m_store, m_settings, m_s.messageBox,
                                            std::move(rp));
    m_watch = std::make_unique<DeliveryWatch>(*m_store, m_s.clock, m_settings, m_link->library());
    SendPump::Ports sp;
    sp.linkActive = [this] { return m_link && m_link->linkActive(); };
    sp.startAnimation = [this] { m_sendAnimation.start(); };
    sp.handedOver = [this](int64_t id) { m_watch->handedOver(id); };
    sp.sent = [this](int64_t id, const MessageRecord& row) { m_watch->sent(id, row); };
    m_pump = std::make_unique<SendPump>(m_s.loop, this, m_link->library(), m_link->devices(),
                                        *m_store, m_s.clock, m_settings, std::move(sp));
    sendBatchRunningHook = [this] { return m_pump && m_pump->sendBatchRunning(); };
    clearSendBatchHook = [this] {
        if (m_pump) m_pump->clearSendBatch();
    };
    lowerSendBatchHook = [this] {
        if (m_pump) m_pump->lowerBatchSize();
    };
    batchCompleteHook = [this] { return !m_pump || m_pump->batchComplete(); };
    sendTotalsHook = [this] { return m_pump ? m_pump->sendTotals() : std::pair{0, 0}; };
    extraHandlers.push_back([this](const platform::Message& m, std::intptr_t* r) {
        return m_receiver && m_receiver->handleMessage(m, r);
    });
    extraHandlers.push_back([this](const platform::Message& m, std::intptr_t* r) {
        return m_pump && m_pump->handleMessage(m, r);
    });
    extraHandlers.push_back([this](const platform::Message& m, std::intptr_t*) {
        if (!m_watch || !m_watch->handleMessage(m)) return false;
        // A report for the row in the preview shows there at once.
        if (m.msg == UM_STATUSREPORT && m_list && m_list->current() == SentBox)
            m_list->onSelectionChanged();
        return true;
    });
}

void MainFrameCore::onTimer(unsigned id) {
    if (id == TIMER_SEND_ANIMATION) m_sendAnimation.onTimer();
}

void MainFrameCore::redisplayContactPane() {
    m_contacts->pane().RefreshRows(0);
    if (m_window) m_window->redisplayContactPane();
}

void MainFrameCore::refreshMessageListNames() {
    m_list->refreshContactNames();
}

void MainFrameCore::removeSimMessages(int device) {
    m_store->simCache().RemoveSimMessages(device);
    m_store->PostCountRefresh();
}

void MainFrameCore::showPhoneDialog() {
    if (m_window) m_window->showPhoneDialog();
}

void MainFrameCore::sendToPhoneDialog(const platform::Message& m) {
    if (m_phone) m_s.loop.send(m_phone.get(), m);
}

// The phone dialog exists hidden from start-up, with the Volume setting.
void MainFrameCore::createPhone() {
    PhoneDialogCore::Ports p;
    p.frame = this;
    p.linkActive = [this] { return m_link && m_link->linkActive(); };
    p.deviceCount = [this] { return m_link ? m_link->deviceCount() : 0; };
    p.deviceAttached = [this](int d) { return m_link && m_link->deviceAttached(d); };
    p.changed = [this](PhoneDialogCore::Field f) {
        if (phoneChanged) phoneChanged(f);
    };
    m_phone = std::make_unique<PhoneDialogCore>(m_s.loop, m_s.clock, m_s.messageBox, std::move(p),
                                                m_settings.Volume);
}

void MainFrameCore::postToDeviceDialog(const platform::Message& m) {
    if (m_deviceDialog)
        m_s.loop.post(m_deviceDialog, m);
    else if (m_window)
        m_window->postToDeviceDialog(m);
}

// The open device dialog and the phone window hear it; the SIM information
// view is a snapshot and is not told.
void MainFrameCore::tellDeviceGone(int device) {
    const platform::Message m{UM_DEVICEGONE, static_cast<platform::WPARAM>(device), 0, nullptr};
    postToDeviceDialog(m);
    if (m_phone) m_s.loop.post(m_phone.get(), m);
}

void MainFrameCore::showSimFullBitmap(bool visible) {
    if (m_window) m_window->setSimFullVisible(visible);
}

}  // namespace msgdesk
