// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {
class MainFrameCore;
}

// The compose dialog of the headless program, scripted over standard input
// one step a line, then opened by a command:
//   script sim            tick "SIM卡内电话"
//   script pick NAME      search NAME (GBK) and add the row found
//   script number N       the extra number field
//   script text T         type T (GBK) at the end of the message, key by key
//   script send|save|cancel
//   new                   the new-message command (30101)
//   draft ROW             double-click draft ROW of the PublicBox
//   rows BOX              prints "row NUMBER|CONTACT|TEXT|DATE|TIME" per row, then "end"
// When the dialog closes it prints "dialog mode=M closed=B refused=R
// recipients=N1,N2,..." (R: typed characters refused at the text limit);
// "new" then prints "composed outbox=O public=P", the rows filed.
namespace headless {

void installComposeScript(msgdesk::MainFrameCore& core);
// True when line was one of the commands above.
bool composeCommand(msgdesk::MainFrameCore& core, const std::string& line);

}  // namespace headless
