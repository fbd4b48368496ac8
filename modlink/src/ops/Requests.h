// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "at/AtCommand.h"
#include "smspdu/SmsMessage.h"

// The library's requests. Each queues one request on a device and returns
// its command id, or -1 when refused; the answer event comes from the
// device's worker thread. New features add their requests here, built the
// same way: a run function that executes AT commands on the channel and
// emits the answer, and an abort function that answers when the device
// goes away before the request ran.
namespace modlink::requests {

int signal(int device);                                // event 4
int getCentre(int device);                             // event 258
int setCentre(int device, const std::string& number);  // event 257
int simInfo(int device, int kind);                     // events 3841, 3842
int listPhonebook(int device);                         // events 516..., null
int readPhonebookEntry(int device, int index);         // event 516?, null
int writePhonebookEntry(int device, int index, const std::string& number,
                        const std::string& name);  // event 514
int deletePhonebookEntry(int device, int index);   // event 513

// Short messages. The SIM index is the modem's.
int readMessage(int device, int index);    // event 261
int listMessages(int device);              // events 264..., null (param device)
int deleteMessage(int device, int index);  // event 262
// GBK text to a number on the least busy device; event 260 exactly OK,
// ERROR or TIMEOUT once every part is accepted or one failed. Withdrawable
// (Link::cancel) until it starts.
int sendMessage(const std::string& number, const std::string& gbkText);
// TP-SRR of the messages submitted from now on (SetStatusReports).
void setStatusReports(bool on);
// The TP-MR of a +CMGS / +CMSS reply; nullopt when the modem gave none.
std::optional<int> sentReference(const at::AtReply& reply);
// A decoded SMS-STATUS-REPORT as event 4100 of a device.
void emitStatusReport(const pdu::SmsMessage& report, int device);
// +CDS -> 4100; +CDSI -> the stored report read, 4100, deleted. Call once,
// before the link opens.
void installStatusReportIndications();

// USSD (27.007 7.15): the code, or the reply to a network that waits for
// one; event 4101 "m","text" once the network answered, TIMEOUT when it
// did not within the time-out, ERROR... when the modem refused.
int sendUssd(int device, const std::string& gbkText);
// Ends the session (AT+CUSD=2), also one whose answer is still awaited;
// event 4102.
int cancelUssd(int device);
// +CUSD -> the waiting request's answer. Call once, before the link opens.
void installUssdIndications();

// The number as TP-DA takes it: blanks and '-' dropped; digits, '*', '#'
// and a leading '+' only, 1..20 digits. nullopt otherwise.
std::optional<std::string> cleanSmsNumber(const std::string& number);

// Voice calls; answers 770, 771, 772, 775, 773, 776 carry the command id.
int dial(int device, const std::string& number);
int answer(int device);
int hangUp(int device);
int sendTones(int device, const std::string& digits);
int setVolume(int device, int level);  // 10..90 onto the modem's +CLVL range
int callStatus(int device);
// BeginPhone/EndPhone: 0 for an attached device (its audio needs nothing).
int audioPath(int device);
// +CMTI -> 259, RING/+CLIP -> 769, NO CARRIER/BUSY/NO ANSWER -> 774. Call
// once, before the link opens.
void installCallAndMessageIndications();

// The SIM's PIN: gives the PIN, or the PUK and a new PIN, and answers
// 4098 (after a wrong one also 4097 with the tries left). -1 when the
// device's SIM is not locked or a code is not 4 to 8 digits.
int enterSimPin(int device, const std::string& pin, const std::optional<std::string>& newPin);

// A raw command for diagnosis (it runs also while the SIM is locked): done gets the reply on the
// worker thread.
int raw(int device, const std::string& text, std::function<void(const at::AtReply&)> done);

}  // namespace modlink::requests
