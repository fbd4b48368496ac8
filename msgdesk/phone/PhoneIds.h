// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The phone dialog's resources, timers, operation codes and status words.
namespace msgdesk::phone {

constexpr int IDD_PHONE = 219;
constexpr int IDB_PHONE_SKIN = 220;
constexpr int IDI_PHONE = 271;

// Controls.
constexpr int IDC_DIAL = 1;  // dial / answer, the default button
constexpr int IDC_HANGUP = 2;
constexpr int IDC_REDIAL = 1103;
constexpr int IDC_BACKSPACE = 1105;
constexpr int IDC_PHONEBOOK = 1104;
constexpr int IDC_DEVICE = 1133;
constexpr int IDC_VOLUME_UP = 1101;
constexpr int IDC_VOLUME_DOWN = 1102;
constexpr int IDC_HIDE = 1106;
constexpr int IDC_MINIMISE = 1107;
constexpr int IDC_CELL_RIGHT = 1113;  // 1113 rightmost .. 1127 leftmost
constexpr int IDC_CELL_LEFT = 1127;
constexpr int IDC_CLOCK = 1128;
constexpr int IDC_DEVICE_NUMBER = 1130;
constexpr int IDC_RING_PICTURE = 1132;
constexpr int IDC_STATUS = 1134;
constexpr int IDC_VOLUME_BAR = 1112;
constexpr int IDC_QUERY_IN = 1135;   // hidden, does nothing
constexpr int IDC_QUERY_OUT = 1136;  // hidden, does nothing

// Digit-cell pictures. 810, 812 and 814 hold the characters a dial string
// may carry besides digits, so such numbers show whole.
constexpr int IDB_CELL_DIGIT0 = 800;  // 800 + d for the digit d
constexpr int IDB_CELL_STAR = 810;
constexpr int IDB_CELL_COLON = 811;
constexpr int IDB_CELL_HASH = 812;
constexpr int IDB_CELL_EMPTY = 813;
constexpr int IDB_CELL_PLUS = 814;

// Ring pictures: 700 at rest, 701..704 while ringing.
constexpr int IDB_RING_REST = 700;
constexpr int IDB_RING_FIRST = 701;
constexpr int IDB_RING_LAST = 704;

// Timers of the dialog.
constexpr unsigned TIMER_CLOCK = 105;  // 1000 ms: clock, duration, status poll
constexpr unsigned TIMER_RING = 106;   // 500 ms: ring animation
constexpr unsigned kClockMs = 1000;
constexpr unsigned kRingMs = 500;

// UM_PHONECOMMAND operation codes.
constexpr int OP_DIALUP = 1;
constexpr int OP_DIALEXT = 2;
constexpr int OP_ATTACH = 161;
constexpr int OP_UNATTACH = 162;
constexpr int OP_BEGIN = 209;
constexpr int OP_END = 210;
constexpr int OP_SETVOLUME = 225;
constexpr int OP_QUERYSTATUS = 226;

// String ids the dialog shows.
constexpr unsigned IDS_NO_ACTIVE_DEVICE = 60008;
constexpr unsigned IDS_NO_OTHER_DEVICE = 60075;
constexpr unsigned IDS_DEVICE_IN_USE = 60076;

// Status words, with their trailing blanks.
inline constexpr const char* kStatusDialling = "拨号中    ";
inline constexpr const char* kStatusRedialling = "重拨中    ";
inline constexpr const char* kStatusIncoming = "来电        ";
inline constexpr const char* kStatusConnected = "已接通    ";
inline constexpr const char* kStatusHungUp = "已挂机    ";
inline constexpr const char* kStatusNewCall = "新来电    ";
inline constexpr const char* kStatusWaiting = "呼叫等待";
inline constexpr const char* kStatusConference = "多方会议";
inline constexpr const char* kStatusDialFailed = "拨号失败";
inline constexpr const char* kStatusAnswerFailed = "接听失败";
inline constexpr const char* kStatusHangUpFailed = "挂机失败";
inline constexpr const char* kStatusEmpty = "              ";      // 14 blanks
inline constexpr const char* kStatusClear = "                  ";  // 18 blanks

}  // namespace msgdesk::phone
