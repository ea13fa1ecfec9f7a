#pragma once
// Text that must not outlive its use in memory: the master password, the vault's plain bytes and
// what Keyloft copied to the clipboard. Every buffer such a text ever held is wiped before it goes
// back to the heap: on destruction, on growth, and after a move has taken its content.
#include <QString>

#include <concepts>
#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace platform {

namespace secret {

// Overwrites `size` bytes with zeros in a way the compiler may not leave out.
void wipe(void* bytes, std::size_t size) noexcept;

// Called with every heap buffer a secret hands back, after its wipe and before it is freed.
void released(const void* bytes, std::size_t size) noexcept;
void allocated(std::size_t size) noexcept;

// Tests: every buffer released from now on is shown to `observer` (after its wipe); the count of
// buffers handed out and not yet given back. nullptr ends the observation.
using ReleaseObserver = void (*)(const void* bytes, std::size_t size);
void setReleaseObserverForTests(ReleaseObserver observer);
std::size_t liveBuffersForTests();

// Hands out plain heap memory and wipes it before it is freed.
template <class T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() noexcept = default;
  template <class U>
  WipingAllocator(const WipingAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    T* p = static_cast<T*>(::operator new(n * sizeof(T)));
    allocated(n * sizeof(T));
    return p;
  }
  void deallocate(T* p, std::size_t n) noexcept {
    wipe(p, n * sizeof(T));
    released(p, n * sizeof(T));
    ::operator delete(p);
  }
  template <class U>
  bool operator==(const WipingAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace secret

template <class Char>
class Secret final {
 public:
  using String = std::basic_string<Char, std::char_traits<Char>, secret::WipingAllocator<Char>>;
  using View = std::basic_string_view<Char>;

  Secret() = default;
  Secret(View text) { assign(text); }  // NOLINT(google-explicit-constructor): texts stand for secrets in calls
  Secret(const Char* text) : Secret(View(text)) {}  // NOLINT(google-explicit-constructor)
  Secret(const Secret& other) { assign(other.view()); }
  // The standard string moves its heap buffer; a short one in its own body would be copied and
  // left behind, which is why every content is given a heap buffer first.
  Secret(Secret&& other) noexcept : text_(std::move(other.text_)) {}
  Secret& operator=(const Secret& other) {
    if (this != &other) assign(other.view());
    return *this;
  }
  Secret& operator=(Secret&& other) noexcept {
    if (this != &other) {
      wipe();
      text_.swap(other.text_);
    }
    return *this;
  }
  ~Secret() { wipe(); }

  void assign(View text) {
    wipe();
    reserve(text.size());
    text_.append(text.data(), text.size());
  }
  void append(View text) {
    reserve(text_.size() + text.size());
    text_.append(text);
  }
  void push_back(Char c) {
    reserve(text_.size() + 1);
    text_.push_back(c);
  }
  // Grows the buffer; the old one is wiped as it is freed.
  void reserve(std::size_t size) { text_.reserve(size < kHeapFrom ? kHeapFrom : size); }
  // Sizes the text (new characters are zero); growth as in reserve.
  void resize(std::size_t size) {
    reserve(size);
    text_.resize(size);
  }
  // Empties the text and wipes its whole buffer now.
  void wipe() noexcept {
    secret::wipe(text_.data(), text_.capacity() * sizeof(Char));
    text_.clear();
  }

  View view() const noexcept { return text_; }
  operator View() const noexcept { return text_; }
  const Char* data() const noexcept { return text_.data(); }
  Char* data() noexcept { return text_.data(); }
  std::size_t size() const noexcept { return text_.size(); }
  bool empty() const noexcept { return text_.empty(); }
  Char& operator[](std::size_t i) noexcept { return text_[i]; }
  Char operator[](std::size_t i) const noexcept { return text_[i]; }

  friend bool operator==(const Secret& a, const Secret& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const Secret& a, View b) noexcept { return a.view() == b; }
  friend bool operator==(const Secret& a, const Char* b) noexcept { return a.view() == View(b); }

 private:
  // Longer than any text the standard string keeps in its own body.
  static constexpr std::size_t kHeapFrom = 32 / sizeof(Char) + 1;
  String text_;
};

// The master password and what Keyloft copied (UTF-16), and the vault's bytes.
using SecretText = Secret<char16_t>;
using SecretBytes = Secret<char>;

// Qt's own buffer of a text, read in place: no copy to wipe.
inline std::u16string_view viewOf(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.constData()), static_cast<std::size_t>(text.size())};
}
// A text box's text as a secret: copied straight from Qt's buffer, no other copy made.
inline SecretText secretOf(const QString& text) { return SecretText(viewOf(text)); }
// Back to Qt, for a text box or the clipboard (Qt's own copy is not ours to wipe).
inline QString qStringOf(const SecretText& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace platform
