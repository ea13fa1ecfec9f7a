#include "Secret.h"

#include <atomic>
#include <cstring>

namespace platform::secret {
namespace {
std::atomic<ReleaseObserver> g_observer{nullptr};
std::atomic<std::size_t> g_live{0};
}  // namespace

void wipe(void* bytes, std::size_t size) noexcept {
  if (size != 0) ::explicit_bzero(bytes, size);
}

void allocated(std::size_t) noexcept { g_live.fetch_add(1, std::memory_order_relaxed); }

void released(const void* bytes, std::size_t size) noexcept {
  g_live.fetch_sub(1, std::memory_order_relaxed);
  if (ReleaseObserver observer = g_observer.load(std::memory_order_acquire)) observer(bytes, size);
}

void setReleaseObserverForTests(ReleaseObserver observer) { g_observer.store(observer, std::memory_order_release); }

std::size_t liveBuffersForTests() { return g_live.load(std::memory_order_relaxed); }

}  // namespace platform::secret
