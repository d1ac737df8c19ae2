#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// Bounded little-endian reader. A read past the end sets a sticky error,
// returns zeros and never touches memory outside the data.
class ByteReader {
public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  size_t offset() const { return offset_; }
  size_t size() const { return data_.size(); }
  size_t remaining() const { return ok() ? data_.size() - offset_ : 0; }
  bool atEnd() const { return offset_ >= data_.size(); }

  void seek(size_t offset);
  uint8_t u8();
  uint16_t u16();
  int16_t i16() { return static_cast<int16_t>(u16()); }
  uint32_t u32();
  int32_t i32() { return static_cast<int32_t>(u32()); }
  float f32();
  // Reads out.size() floats at once, or fails leaving them zero.
  bool f32s(std::span<float> out);
  // Copies n bytes into dst, or fails without copying.
  bool bytes(void* dst, size_t n);
  // Fails with a message of the caller's, keeping the first error.
  void fail(std::string message);

private:
  bool need(size_t n);

  std::span<const uint8_t> data_;
  size_t offset_ = 0;
  std::string error_;
};

// Little-endian writer into a growing buffer.
class ByteWriter {
public:
  void u8(uint8_t v) { buffer_.push_back(v); }
  void u16(uint16_t v);
  void u32(uint32_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v);
  void f32s(std::span<const float> values);
  void bytes(const void* src, size_t n);

  const std::vector<uint8_t>& buffer() const { return buffer_; }
  std::vector<uint8_t>& buffer() { return buffer_; }
  void reserve(size_t n) { buffer_.reserve(n); }

private:
  std::vector<uint8_t> buffer_;
};

std::string hexOffset(size_t offset);

} // namespace velmora
