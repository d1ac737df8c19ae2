#include "base/Host.h"

namespace velmora {

bool askCancelAction(IHost& host) { return host.askYesNo(kCancelActionTitle, kCancelActionText); }

} // namespace velmora
