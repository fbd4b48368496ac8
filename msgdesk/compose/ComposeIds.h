// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Control ids and results of the compose dialog (template 180), the message
// view (183) and the keep-on-computer prompt (192).
namespace msgdesk::compose {

// CComposeDlg.
constexpr int IDC_EXTRA_NUMBER = 1006;
constexpr int IDC_RECIPIENTS = 1005;
constexpr int IDC_TEXT = 1003;
constexpr int IDC_SEARCH = 1002;
constexpr int IDC_PHONEBOOK = 1000;
constexpr int IDC_SHOW_LOCAL = 1053;
constexpr int IDC_SHOW_SIM = 1052;
constexpr int IDC_ADD = 1007;
constexpr int IDC_REMOVE = 20012;
constexpr int IDC_SEND = 1009;
constexpr int IDC_SAVE = 1001;
constexpr int IDC_CANCEL = 2;
// Popup items of the two lists.
constexpr int ID_POPUP_SELECTALL = 20001;
constexpr int ID_POPUP_ADD = 20002;
constexpr int ID_POPUP_REMOVE = 20012;

// CMessageViewDlg fields (buttons: IDC_VIEW_REPLY/FORWARD/CANCEL of the store).
constexpr int IDC_VIEW_CONTACT = 1029;
constexpr int IDC_VIEW_NUMBER = 1006;
constexpr int IDC_VIEW_DATE = 1007;
constexpr int IDC_VIEW_TIME = 1030;
constexpr int IDC_VIEW_TEXT = 1003;

// CKeepOnComputerDlg results.
constexpr int IDC_KEEP_YES = 1;
constexpr int IDC_KEEP_NO = 1044;
constexpr int IDC_KEEP_CANCEL = 2;

// Field limits: the extra number in characters, the text in GBK bytes (70
// Chinese characters, one UCS-2 message).
constexpr int kNumberLimit = 20;
constexpr int kTextLimit = 140;

}  // namespace msgdesk::compose
