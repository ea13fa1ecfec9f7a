// Secrets never hand a buffer back to the heap with their text still in it.
#include "platform/base/Secret.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Released {
  std::size_t buffers = 0;
  std::size_t dirty = 0;  // buffers that still held a non-zero byte
};
Released g_released;

void observe(const void* bytes, std::size_t size) {
  ++g_released.buffers;
  const auto* b = static_cast<const unsigned char*>(bytes);
  if (std::any_of(b, b + size, [](unsigned char c) { return c != 0; })) ++g_released.dirty;
}

class SecretTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_released = {};
    platform::secret::setReleaseObserverForTests(observe);
  }
  void TearDown() override { platform::secret::setReleaseObserverForTests(nullptr); }
};

TEST_F(SecretTest, everyBufferItHeldIsWipedWhenReleased) {
  const std::size_t liveBefore = platform::secret::liveBuffersForTests();
  {
    platform::SecretText shortText(u"abc");  // short enough for the string's own body
    platform::SecretBytes grown("x");
    for (int i = 0; i < 1000; ++i) grown.push_back('y');  // every growth frees a full buffer
    platform::SecretText moved(u"moved away");
    platform::SecretText target(std::move(moved));
    platform::SecretText assigned(u"old content");
    assigned = std::move(target);
    platform::SecretText copy = assigned;
    EXPECT_EQ(copy, std::u16string_view(u"moved away"));
  }
  EXPECT_GT(g_released.buffers, 5u);
  EXPECT_EQ(g_released.dirty, 0u);
  EXPECT_EQ(platform::secret::liveBuffersForTests(), liveBefore);
}

TEST_F(SecretTest, aMovedFromShortTextLeavesNothingBehind) {
  platform::SecretText from(u"pw12");
  const char16_t* body = from.data();
  platform::SecretText to(std::move(from));
  EXPECT_EQ(to.data(), body);  // the buffer went along; nothing was copied
  EXPECT_TRUE(from.empty());   // NOLINT(bugprone-use-after-move): what a move leaves is the point
}

TEST_F(SecretTest, wipeEmptiesNowAndQtRoundTripKeepsEveryCharacter) {
  const QString typed = QStringLiteral("p\u00e4ss \u20ac|||");
  platform::SecretText secret = platform::secretOf(typed);
  EXPECT_EQ(platform::qStringOf(secret), typed);
  char16_t* buffer = secret.data();
  secret.wipe();
  EXPECT_TRUE(secret.empty());
  EXPECT_TRUE(std::all_of(buffer, buffer + typed.size(), [](char16_t c) { return c == 0; }));
}

}  // namespace
