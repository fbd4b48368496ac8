#include "Texts.h"
// The texts are header-only; this unit keeps the core library non-empty
// until the dialer's core lands.
namespace wanmate::text {
const char* appTitle() { return kAppTitle; }
}  // namespace wanmate::text
