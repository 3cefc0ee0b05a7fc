#pragma once
// Takes a fuzzer's bytes apart into numbers and strings, and stands in for
// the C library's rand() with values drawn from the same bytes. Past the end
// every number is 0 and every string empty, so any input is a valid case.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(c)       \
  do {                      \
    if (!(c)) std::abort(); \
  } while (0)

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | (static_cast<std::uint32_t>(U16()) << 16); }
  // A number in [low, high].
  int Range(int low, int high) {
    const std::uint32_t span = static_cast<std::uint32_t>(high - low) + 1;
    return low + static_cast<int>(U32() % span);
  }
  // A string of up to maxLength bytes, its length taken from the input.
  std::string Text(std::size_t maxLength) {
    std::size_t n = Byte();
    if (maxLength > 255) n |= static_cast<std::size_t>(Byte()) << 8;
    n %= maxLength + 1;
    std::string s;
    while (s.size() < n && at_ < size_) s += static_cast<char>(data_[at_++]);
    return s;
  }
  // Whatever is left.
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(data_) + at_, size_ - at_);
    at_ = size_;
    return s;
  }
  bool Empty() const { return at_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// 0 ... 32767 per call like rand(): the input's next two bytes, or a fixed
// linear congruential sequence once they run out.
class FuzzRandom {
 public:
  FuzzRandom(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  int operator()() {
    if (at_ + 1 < size_) {
      const int v = (data_[at_] | (data_[at_ + 1] << 8)) & 0x7FFF;
      at_ += 2;
      return v;
    }
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  std::uint32_t state_ = 1;
};
