// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/MessageLoop.h"

// The main frame's window messages (WM_USER = 1024) and the codes they carry.
namespace msgdesk {

using platform::WM_USER;

constexpr unsigned UM_WELCOME_PIN = WM_USER + 100;       // 1124: hide or pin the left pane
constexpr unsigned UM_REFRESHVIEWS = WM_USER + 101;      // 1125
constexpr unsigned UM_STATUSPANE = WM_USER + 102;        // 1126
constexpr unsigned UM_DEVICEREMOVED = WM_USER + 103;     // 1127
constexpr unsigned UM_NEWMESSAGE = WM_USER + 104;        // 1128
constexpr unsigned UM_BATCHFAILURE = WM_USER + 105;      // 1129
constexpr unsigned UM_EMPTYDELETEBOX = WM_USER + 108;    // 1132
constexpr unsigned UM_KEEPRECORD = WM_USER + 109;        // 1133
constexpr unsigned UM_SIMREADY = WM_USER + 110;          // 1134
constexpr unsigned UM_SENDQUEUE = WM_USER + 111;         // 1135
constexpr unsigned UM_COMPOSE = WM_USER + 112;           // 1136
constexpr unsigned UM_DELETESIMMESSAGE = WM_USER + 113;  // 1137
constexpr unsigned UM_SENDRESULT = WM_USER + 211;        // 1235
constexpr unsigned UM_SIMMESSAGES = WM_USER + 213;       // 1237
constexpr unsigned UM_DELETESIMENTRY = WM_USER + 220;    // 1244
constexpr unsigned UM_STORESIMENTRY = WM_USER + 222;     // 1246
constexpr unsigned UM_SIMENTRYDONE = WM_USER + 230;      // 1254
constexpr unsigned UM_PHONECOMMAND = WM_USER + 240;      // 1264
constexpr unsigned UM_CALLNOTIFY = WM_USER + 241;        // 1265
constexpr unsigned UM_PHONERESULT = WM_USER + 242;       // 1266

// The device link's own messages, posted by the device callback to the main
// frame so that lists and window-thread state change only on the window
// thread, in the order the events came. Values lie outside the ones above.
//
// UM_SIMRECORD: a message read from a SIM (answer to GetSMSMessage). wParam
// 0, lParam the ReceivedSms*, owned by the message's payload. The handler
// (receiving) files it: fromSimListing false -> InBox as "NEW", then
// UM_NEWMESSAGE, UM_STATUSPANE(50010, 1), the SIM copy deleted or kept,
// UM_STATUSPANE(50013, 226); fromSimListing true -> a SIM-resident copy.
constexpr unsigned UM_SIMRECORD = WM_USER + 300;  // 1324
// UM_SIMENTRYLISTED: one listed SIM phonebook entry. lParam the
// SimPhoneEntry*, owned by the payload; the link appends a copy to its list.
constexpr unsigned UM_SIMENTRYLISTED = WM_USER + 301;  // 1325
// UM_PHONEBOOKLISTED: a device's phonebook listing ended (lParam device).
constexpr unsigned UM_PHONEBOOKLISTED = WM_USER + 302;  // 1326
// UM_MESSAGESLISTED: a device's SIM message listing ended (lParam device).
constexpr unsigned UM_MESSAGESLISTED = WM_USER + 303;  // 1327
// UM_RETRYREQUEST: a request failed (an error answer to a read or a SIM
// size query, or a listing read the library refused); lParam the
// RetryRequest*, owned by the payload. Made again on timer 109 after a
// growing pause, a bounded number of times.
constexpr unsigned UM_RETRYREQUEST = WM_USER + 304;  // 1328
// UM_DEVICEGONE: the link's word to the open windows (the device dialog and
// the phone window) that a device went away: wParam the device 1..16, or
// DEVICE_GONE_ALL when the link closed. Its lists are already cleared when
// it arrives.
constexpr unsigned UM_DEVICEGONE = WM_USER + 305;  // 1329
constexpr platform::WPARAM DEVICE_GONE_ALL = 0;
// UM_SIMLOCKED: a device's SIM waits for its PIN or PUK, or is missing
// (event 4097). wParam the device, lParam the state text ("SIM PIN,3"),
// owned by the payload. The SIM unlock asks the user for the code.
constexpr unsigned UM_SIMLOCKED = WM_USER + 306;  // 1330
// UM_SIMPINDONE: the answer to EnterSimPin (event 4098). wParam the command
// id, lParam the answer text, owned by the payload.
constexpr unsigned UM_SIMPINDONE = WM_USER + 307;  // 1331
// UM_SENDREFS: where a send went and its parts' references (event 4099).
// wParam the send id, lParam the answers::SendRefs*, owned by the payload.
constexpr unsigned UM_SENDREFS = WM_USER + 308;  // 1332
// UM_STATUSREPORT: a status report (event 4100). lParam the
// answers::StatusReport*, owned by the payload.
constexpr unsigned UM_STATUSREPORT = WM_USER + 309;  // 1333
// UM_USSDANSWER: the answer to SendUssd (wParam 0) or CancelUssd (wParam
// 1); lParam the UssdEvent*, owned by the payload.
constexpr unsigned UM_USSDANSWER = WM_USER + 310;  // 1334

// Result codes carried in wParam.
constexpr int RESULT_OK = 224;
constexpr int RESULT_ERROR = 225;
constexpr int RESULT_TIMEOUT = 258;

// UM_KEEPRECORD forms: wParam 0 a SIM phonebook entry, 1 a MessageRecord
// for the InBox, 2 a KeptLongMessage (store/KeptLongMessage.h).
constexpr platform::WPARAM KEEP_SIM_ENTRY = 0;
constexpr platform::WPARAM KEEP_RECORD = 1;
constexpr platform::WPARAM KEEP_LONG_MESSAGE = 2;

// UM_BATCHFAILURE kinds.
constexpr int BATCH_DELETES = 225;
constexpr int BATCH_STORES = 226;
constexpr int BATCH_CENTRE = 227;

// UM_REFRESHVIEWS targets.
constexpr int REFRESH_MESSAGE_LIST = 227;
constexpr int REFRESH_CONTACT_PANE = 228;

// Status bar panes.
constexpr int PANE_MAILBOX = 50010;
constexpr int PANE_SIGNAL = 50011;
constexpr int PANE_CAPACITY = 50012;
constexpr int PANE_ACTIVITY = 50013;
constexpr int PANE_ICON = 50014;

// Main frame timers.
constexpr unsigned TIMER_SIGNAL_POLL = 101;
constexpr unsigned TIMER_SEND_ANIMATION = 103;
constexpr unsigned TIMER_SIM_FULL_BLINK = 104;
constexpr unsigned TIMER_STARTUP_POLL = 107;
// The device link's own timers: the 300 ms pause of disconnect, and the
// retries of failed requests (RetryQueue).
constexpr unsigned TIMER_DISCONNECT_PAUSE = 108;
constexpr unsigned TIMER_RETRY = 109;
constexpr unsigned kDisconnectPauseMs = 300;
// Start-up polls that ask a device for its SMS centre before it is given up
// (6 ticks of timer 107, 30 s).
constexpr int kCentrePolls = 6;
// View timers.
constexpr unsigned TIMER_RINGING = 106;

// Main frame commands.
constexpr int ID_CONNECT = 30001;
constexpr int ID_DISCONNECT = 30002;

constexpr int kMaxDevices = 16;

}  // namespace msgdesk
