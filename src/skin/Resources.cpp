// Registers the resources compiled into this static library: nothing else references them, so
// without an explicit call the linker would leave them out.
#include "skin/modSkin.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must not be used inside a namespace.
static void registerKeyloftResources() { Q_INIT_RESOURCE(keyloft); }

namespace modSkin {

void initResources() {
  static std::once_flag once;
  std::call_once(once, registerKeyloftResources);
}

}  // namespace modSkin
