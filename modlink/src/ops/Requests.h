#pragma once
#include <functional>
#include <string>

#include "at/AtCommand.h"

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

// A raw command for diagnosis: done gets the reply on the worker thread.
int raw(int device, const std::string& text, std::function<void(const at::AtReply&)> done);

}  // namespace modlink::requests
