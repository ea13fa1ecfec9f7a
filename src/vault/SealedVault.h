#pragma once
// The encrypted form of data.enc, which the user chooses: a header (magic, format version, the key
// derivation's parameters and salt, the nonce, a key-check value and a checksum of the header),
// then the XChaCha20-Poly1305 encryption of exactly the bytes a plain save writes, with the whole
// header as associated data. Argon2id derives the key from the master password. libsodium only.
#include "platform/base/Result.h"
#include "platform/base/Secret.h"
#include "vault/KdfCosts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vault::sealed {

using platform::Failure;
using platform::Result;

// The most a file may ask for: beyond it a hostile file could make Keyloft allocate gigabytes or
// derive for minutes.
inline constexpr std::uint64_t kMaxMemLimit = 1ULL << 30;
inline constexpr std::uint64_t kMaxOpsLimit = 16;
// The least Keyloft chooses when it encrypts.
inline constexpr std::uint64_t kMinChosenMemLimit = 64ULL << 20;
inline constexpr std::uint64_t kMinChosenOpsLimit = 3;

// Costs for this machine: at least 64 MiB and 3 passes, grown until one derivation takes
// about half a second (measured here, so it takes a moment).
KdfParams chooseParams();

// A derived key: memory locked against swap and left out of core dumps, wiped when destroyed.
// Without that memory (or without libsodium) it holds nothing, and no key can be derived into it.
class Key final {
 public:
  static constexpr std::size_t kSize = 32;
  Key() noexcept;
  ~Key();
  Key(Key&& other) noexcept;
  Key& operator=(Key&& other) noexcept;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool usable() const noexcept { return bytes_ != nullptr; }
  unsigned char* data() { return bytes_; }
  const unsigned char* data() const { return bytes_; }

 private:
  unsigned char* bytes_ = nullptr;
};

inline constexpr std::size_t kSaltSize = 16;

// What a save needs to seal again: the key and the salt and parameters it was derived with.
struct Sealing {
  KdfParams params;
  std::array<unsigned char, kSaltSize> salt{};
  Key key;
};

// True when the bytes begin with the sealed format's magic (a plain vault never does in practice).
bool isSealed(std::string_view fileBytes);

// What is wrong with a sealed file that can be told without the password (cut short, a damaged
// header, an unknown format version, parameters beyond the limits above), as a sentence for the
// user; nothing when the header is sound.
std::optional<std::string> headerProblem(std::string_view fileBytes);

// True when a vault's key was derived with less than `least` asks for, in passes or in memory.
bool weakerThan(const KdfParams& params, const KdfParams& least);

// Derives the key for `password` (code-page bytes) with the header's salt and parameters, and
// checks it against the header's key-check value: nothing when the password is wrong, a failure
// when the key could not be derived at all (its memory could not be had). Slow: call it off the
// window thread. The header must be sound (headerProblem empty).
Result<std::optional<Sealing>> unlock(std::string_view fileBytes, std::string_view password);

// The plain bytes of a sealed file, opened with a key that unlock() gave for it, or a sentence for
// the user when the content is damaged; kNoMemoryToOpen when the plain bytes don't fit in memory.
inline constexpr char kNoMemoryToOpen[] = "Not enough memory to open the encrypted vault";
Result<platform::SecretBytes> open(std::string_view fileBytes, const Sealing& sealing);

// A new key for `password` with a fresh salt (slow, like unlock), or why it could not be derived.
Result<Sealing> newSealing(std::string_view password, const KdfParams& params);

// The sealed file of `plain`: a header with a fresh nonce, then the encryption.
Result<std::string> seal(std::string_view plain, const Sealing& sealing);

}  // namespace vault::sealed
