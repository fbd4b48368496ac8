// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace msgdesk {
class MainFrameCore;
}

// The device dialogs of the headless program, scripted one command a line:
//   simlist D               the SIM manager filtered on D (0 all): prints
//                           "simrow NUMBER KEY" per row, then "simlist COUNT"
//                           ("simlist disabled" when the command is)
//   simdelete D K yes|no|cancel   selects the first K rows of device D and
//                           deletes them, the keep prompt answered as given:
//                           "simdelete rows=N" (the rows listed before)
//   centre ROW NUMBER       an in-place edit of centre row ROW for the next
//                           properties dialog
//   properties ok|cancel    runs the properties dialog with those edits:
//                           "properties modified=M"
//   centres                 "centres N1,N2,..." the devices' centre numbers
//   boxes                   "boxes ID,ID,..." every message box shown so far
namespace headless {

void installDialogScripts(msgdesk::MainFrameCore& core, std::vector<unsigned>* boxesShown);
bool dialogCommand(msgdesk::MainFrameCore& core, const std::string& line);

}  // namespace headless
