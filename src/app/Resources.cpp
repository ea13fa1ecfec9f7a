// Registers the resources compiled into this static library: nothing else references them, so
// without an explicit call the linker would leave them out.
#include "app/Resources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must not be used inside a namespace.
static void registerKeyloftResources() { Q_INIT_RESOURCE(keyloft); }

namespace resources {

void initResources() {
  static std::once_flag once;
  std::call_once(once, registerKeyloftResources);
}

}  // namespace resources
