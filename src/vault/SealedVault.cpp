#include "vault/SealedVault.h"

#include <QtEndian>
#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace vault::sealed {

namespace {

constexpr std::string_view kMagic{"KLVAULT\0", 8};
constexpr unsigned char kVersion = 1;

// The header, field by field; each offset follows from the one before.
constexpr std::size_t kMagicAt = 0;
constexpr std::size_t kVersionAt = kMagicAt + kMagic.size();
constexpr std::size_t kReservedAt = kVersionAt + 1;
constexpr std::size_t kOpsAt = kReservedAt + 1;
constexpr std::size_t kMemAt = kOpsAt + 4;
constexpr std::size_t kSaltAt = kMemAt + 8;
constexpr std::size_t kNonceAt = kSaltAt + kSaltSize;
constexpr std::size_t kNonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr std::size_t kKeyCheckAt = kNonceAt + kNonceSize;
constexpr std::size_t kCheckSize = 16;
constexpr std::size_t kChecksumAt = kKeyCheckAt + kCheckSize;
constexpr std::size_t kHeaderSize = kChecksumAt + kCheckSize;
constexpr std::size_t kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;

static_assert(kSaltSize == crypto_pwhash_SALTBYTES);
static_assert(Key::kSize == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
static_assert(kCheckSize >= crypto_generichash_BYTES_MIN);
static_assert(kHeaderSize == 94);

// Hashed with the key into the header: a wrong password shows as a mismatch here before any
// decryption, and the value tells nothing about the key itself.
constexpr std::string_view kKeyCheckContext = "Keyloft sealed vault key check 1";

constexpr std::uint64_t kMiB = 1ULL << 20;

bool sodiumReady() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = sodium_init() >= 0; });
  return ready;
}

const Failure kNoSodium{"The encryption library could not start"};

const unsigned char* bytesOf(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }
unsigned char* bytesOf(std::string& s) { return reinterpret_cast<unsigned char*>(s.data()); }
unsigned char* bytesOf(platform::SecretBytes& s) { return reinterpret_cast<unsigned char*>(s.data()); }

std::uint64_t readLittle(std::string_view bytes, std::size_t at, std::size_t width) {
  const char* field = bytes.data() + at;
  return width == 4 ? qFromLittleEndian<quint32>(field) : qFromLittleEndian<quint64>(field);
}

void writeLittle(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
  char* field = bytes.data() + at;
  if (width == 4)
    qToLittleEndian(static_cast<quint32>(value), field);
  else
    qToLittleEndian(static_cast<quint64>(value), field);
}

std::array<unsigned char, kCheckSize> keyCheckOf(const Key& key) {
  std::array<unsigned char, kCheckSize> check{};
  crypto_generichash(check.data(), check.size(), bytesOf(kKeyCheckContext), kKeyCheckContext.size(), key.data(),
                     Key::kSize);
  return check;
}

std::array<unsigned char, kCheckSize> checksumOf(std::string_view header) {
  std::array<unsigned char, kCheckSize> sum{};
  crypto_generichash(sum.data(), sum.size(), bytesOf(header), kChecksumAt, nullptr, 0);
  return sum;
}

bool derive(Key& key, std::string_view password, const unsigned char* salt, const KdfParams& params) {
  return key.usable() && argon2id(key.data(), Key::kSize, password, salt, params);
}

bool withinLimits(const KdfParams& p) {
  return p.opsLimit >= crypto_pwhash_OPSLIMIT_MIN && p.opsLimit <= kMaxOpsLimit &&
         p.memLimit >= crypto_pwhash_MEMLIMIT_MIN && p.memLimit <= kMaxMemLimit;
}

// Argon2id fails only when its memory can't be had (the parameters are checked before).
Failure noMemoryFor(const KdfParams& params) {
  return {"Not enough memory for the key derivation (" + std::to_string(params.memLimit / kMiB) + " MiB)"};
}

std::string passes(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " pass" : " passes"); }

// A rounded-up MiB count that cannot overflow for any 64-bit value.
std::uint64_t mibOf(std::uint64_t bytes) { return bytes / kMiB + (bytes % kMiB != 0 ? 1 : 0); }

KdfParams paramsOf(std::string_view fileBytes) {
  return {readLittle(fileBytes, kOpsAt, 4), readLittle(fileBytes, kMemAt, 8)};
}

double secondsFor(const KdfParams& params, bool& ok) {
  static constexpr std::string_view kTrialPassword = "trial";
  std::array<unsigned char, kSaltSize> salt{};
  Key key;
  const auto start = std::chrono::steady_clock::now();
  ok = derive(key, kTrialPassword, salt.data(), params);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

Key::Key() noexcept {
  if (sodiumReady()) bytes_ = static_cast<unsigned char*>(sodium_malloc(kSize));
}

Key::~Key() { sodium_free(bytes_); }

Key::Key(Key&& other) noexcept : bytes_(std::exchange(other.bytes_, nullptr)) {}

Key& Key::operator=(Key&& other) noexcept {
  if (this != &other) {
    sodium_free(bytes_);
    bytes_ = std::exchange(other.bytes_, nullptr);
  }
  return *this;
}

KdfParams chooseParams() {
  // Memory is what makes guessing dear on special hardware, so it grows first, and only while the
  // doubled derivation (about twice the time) should still land near the target. Passes come once
  // memory is at its cap, estimated from the measured time per pass so that the trials stay few.
  constexpr double kTarget = 0.5;
  constexpr double kPassTarget = 0.35;
  constexpr std::uint64_t kMemCap = std::min<std::uint64_t>(1ULL << 30, kMaxMemLimit);
  KdfParams chosen{kMinChosenOpsLimit, kMinChosenMemLimit};
  bool ok = false;
  double seconds = secondsFor(chosen, ok);
  while (ok && chosen.memLimit < kMemCap && seconds * 2 <= kTarget * 1.05) {
    const KdfParams next{chosen.opsLimit, std::min(chosen.memLimit * 2, kMemCap)};
    bool nextOk = false;
    const double nextSeconds = secondsFor(next, nextOk);
    if (!nextOk) break;  // out of memory: keep what worked
    chosen = next;
    seconds = nextSeconds;
  }
  if (ok && chosen.memLimit == kMemCap) {
    const double perPass = seconds / static_cast<double>(chosen.opsLimit);
    while (chosen.opsLimit < kMaxOpsLimit && seconds + perPass < kPassTarget) {
      ++chosen.opsLimit;
      seconds += perPass;
    }
  }
  return chosen;
}

bool isSealed(std::string_view fileBytes) { return fileBytes.starts_with(kMagic); }

std::optional<std::string> headerProblem(std::string_view fileBytes) {
  if (fileBytes.size() < kHeaderSize + kTagSize) return "The encrypted vault is cut short";
  const auto sum = checksumOf(fileBytes);
  if (sodium_memcmp(sum.data(), bytesOf(fileBytes) + kChecksumAt, kCheckSize) != 0 ||
      fileBytes.substr(kMagicAt, kMagic.size()) != kMagic)
    return "The encrypted vault's header is damaged";
  const unsigned version = static_cast<unsigned char>(fileBytes[kVersionAt]);
  if (version != kVersion)
    return "The encrypted vault has format version " + std::to_string(version) + ", which this Keyloft cannot read";
  if (fileBytes[kReservedAt] != 0) return "The encrypted vault's header is damaged";
  const KdfParams p = paramsOf(fileBytes);
  if (p.memLimit > kMaxMemLimit || p.opsLimit > kMaxOpsLimit)
    return "The encrypted vault asks for " + std::to_string(mibOf(p.memLimit)) + " MiB and " + passes(p.opsLimit) +
           " to derive its key; at most " + std::to_string(kMaxMemLimit / kMiB) + " MiB and " + passes(kMaxOpsLimit) +
           " are allowed";
  // Keyloft never writes these, and libsodium would refuse them.
  if (!withinLimits(p)) return "The encrypted vault's key derivation settings are damaged";
  return std::nullopt;
}

bool weakerThan(const KdfParams& params, const KdfParams& least) {
  return params.opsLimit < least.opsLimit || params.memLimit < least.memLimit;
}

Result<std::optional<Sealing>> unlock(std::string_view fileBytes, std::string_view password) {
  if (!sodiumReady()) return kNoSodium;
  // Checked again here so that no file can make the derivation exceed the limits.
  if (auto problem = headerProblem(fileBytes)) return Failure{std::move(*problem)};
  Sealing sealing;
  sealing.params = paramsOf(fileBytes);
  std::memcpy(sealing.salt.data(), fileBytes.data() + kSaltAt, kSaltSize);
  if (!derive(sealing.key, password, sealing.salt.data(), sealing.params)) return noMemoryFor(sealing.params);
  const auto check = keyCheckOf(sealing.key);
  if (sodium_memcmp(check.data(), bytesOf(fileBytes) + kKeyCheckAt, kCheckSize) != 0) return std::optional<Sealing>();
  return std::optional<Sealing>(std::move(sealing));
}

Result<platform::SecretBytes> open(std::string_view fileBytes, const Sealing& sealing) {
  if (!sodiumReady()) return kNoSodium;
  if (auto problem = headerProblem(fileBytes)) return Failure{std::move(*problem)};
  const std::string_view cipher = fileBytes.substr(kHeaderSize);
  platform::SecretBytes plain;
  try {
    plain.resize(cipher.size() - kTagSize);
  } catch (const std::bad_alloc&) {
    return Failure{kNoMemoryToOpen};
  }
  unsigned long long plainSize = 0;
  if (crypto_aead_xchacha20poly1305_ietf_decrypt(bytesOf(plain), &plainSize, nullptr, bytesOf(cipher), cipher.size(),
                                                 bytesOf(fileBytes), kHeaderSize, bytesOf(fileBytes) + kNonceAt,
                                                 sealing.key.data()) != 0)
    return Failure{"The encrypted vault's content is damaged"};
  plain.resize(static_cast<std::size_t>(plainSize));
  return plain;
}

Result<Sealing> newSealing(std::string_view password, const KdfParams& params) {
  if (!sodiumReady()) return kNoSodium;
  if (!withinLimits(params)) return Failure{"The key derivation settings are out of range"};
  Sealing sealing;
  sealing.params = params;
  randombytes_buf(sealing.salt.data(), sealing.salt.size());
  if (!derive(sealing.key, password, sealing.salt.data(), params)) return noMemoryFor(params);
  return sealing;
}

Result<std::string> seal(std::string_view plain, const Sealing& sealing) {
  if (!sodiumReady()) return kNoSodium;
  std::string file;
  try {
    file.resize(kHeaderSize + plain.size() + kTagSize);
  } catch (const std::bad_alloc&) {
    return Failure{"Not enough memory to encrypt the vault"};
  }
  std::memcpy(file.data() + kMagicAt, kMagic.data(), kMagic.size());
  file[kVersionAt] = static_cast<char>(kVersion);
  writeLittle(file, kOpsAt, sealing.params.opsLimit, 4);
  writeLittle(file, kMemAt, sealing.params.memLimit, 8);
  std::memcpy(file.data() + kSaltAt, sealing.salt.data(), kSaltSize);
  randombytes_buf(file.data() + kNonceAt, kNonceSize);
  const auto check = keyCheckOf(sealing.key);
  std::memcpy(file.data() + kKeyCheckAt, check.data(), kCheckSize);
  const auto sum = checksumOf(file);
  std::memcpy(file.data() + kChecksumAt, sum.data(), kCheckSize);
  unsigned long long cipherSize = 0;
  crypto_aead_xchacha20poly1305_ietf_encrypt(bytesOf(file) + kHeaderSize, &cipherSize, bytesOf(plain), plain.size(),
                                             bytesOf(file), kHeaderSize, nullptr, bytesOf(file) + kNonceAt,
                                             sealing.key.data());
  return file;
}

}  // namespace vault::sealed
