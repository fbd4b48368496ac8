// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Command ids of the main window's menus, tool bar and popups.
namespace msgdesk::cmd {

constexpr int Connect = 30001;
constexpr int Disconnect = 30002;
constexpr int Settings = 30003;
constexpr int NewMessage = 30101;
constexpr int Reply = 30102;
constexpr int Forward = 30103;
constexpr int SelectAll = 30104;
constexpr int Delete = 30105;
constexpr int AddContact = 30201;
constexpr int AddContactPopup = 30202;
constexpr int ChangeContact = 30203;
constexpr int DeleteContact = 30204;
constexpr int EmptyDeleteBox = 30303;
constexpr int Restore = 32813;
constexpr int MoveToSim = 32818;
constexpr int SimMessages = 32822;
constexpr int SimInfo = 32823;
constexpr int LocalPhonebook = 32827;
constexpr int SimPhonebook = 32828;
constexpr int Phone = 32831;
constexpr int PhonebookMenu = 32832;
constexpr int Resend = 32833;
// Files long messages whose parts are not all in, as far as they came.
constexpr int FileWaitingParts = 33201;
// Service queries (USSD) to the network: balance, data left, carrier menus.
constexpr int UssdQuery = 33301;
// Opens the conversation with the selected row's number.
constexpr int Conversation = 34001;
constexpr int About = 57664;
constexpr int Exit = 57665;
constexpr int Help = 57670;
constexpr int ViewToolbar = 59392;
constexpr int ViewStatusBar = 59393;

// The command message, as menus and the posted connect command send it.
constexpr unsigned WM_COMMAND = 0x0111;

}  // namespace msgdesk::cmd
