#pragma once
#include <optional>

#include "at/CpbrParser.h"
#include "at/NameCodec.h"

namespace modlink {

// What the worker knows about its modem. Touched only on the worker thread.
// (A message store and call state go here too.)
struct DeviceState {
    at::Charset charset = at::Charset::Ira;
    bool phonebookSelected = false;
    std::optional<at::PhonebookGeometry> phonebook;
};

}  // namespace modlink
