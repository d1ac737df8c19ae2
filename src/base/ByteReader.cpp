#include "base/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/Format.h"

namespace velmora {

std::string hexOffset(size_t offset) { return strprintf("0x%zx", offset); }

bool ByteReader::need(size_t n) {
  if (!ok()) return false;
  if (n > data_.size() - offset_) {
    error_ = "offset " + hexOffset(offset_ + n) + " is beyond the end of data at " + hexOffset(data_.size());
    return false;
  }
  return true;
}

void ByteReader::fail(std::string message) {
  if (ok()) error_ = std::move(message);
}

void ByteReader::seek(size_t offset) {
  if (!ok()) return;
  if (offset > data_.size()) {
    error_ = "offset " + hexOffset(offset) + " is beyond the end of data at " + hexOffset(data_.size());
    return;
  }
  offset_ = offset;
}

uint8_t ByteReader::u8() {
  if (!need(1)) return 0;
  return data_[offset_++];
}

uint16_t ByteReader::u16() {
  if (!need(2)) return 0;
  const uint16_t v = static_cast<uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
  offset_ += 2;
  return v;
}

uint32_t ByteReader::u32() {
  if (!need(4)) return 0;
  const uint32_t v = static_cast<uint32_t>(data_[offset_]) | (static_cast<uint32_t>(data_[offset_ + 1]) << 8) |
                     (static_cast<uint32_t>(data_[offset_ + 2]) << 16) |
                     (static_cast<uint32_t>(data_[offset_ + 3]) << 24);
  offset_ += 4;
  return v;
}

float ByteReader::f32() {
  const uint32_t bits = u32();
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

bool ByteReader::f32s(std::span<float> out) {
  if (!need(out.size() * 4)) {
    std::fill(out.begin(), out.end(), 0.0f);
    return false;
  }
  // An item without parameters has no buffer to copy into.
  if (out.empty()) return true;
  const uint8_t* p = data_.data() + offset_;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out.data(), p, out.size() * 4);
  } else {
    for (float& v : out) {
      const uint32_t bits = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                            (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
      std::memcpy(&v, &bits, sizeof v);
      p += 4;
    }
  }
  offset_ += out.size() * 4;
  return true;
}

bool ByteReader::bytes(void* dst, size_t n) {
  if (!need(n)) return false;
  if (n) std::memcpy(dst, data_.data() + offset_, n);
  offset_ += n;
  return true;
}

void ByteWriter::u16(uint16_t v) {
  buffer_.push_back(static_cast<uint8_t>(v));
  buffer_.push_back(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i)
    buffer_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::f32(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  u32(bits);
}

void ByteWriter::f32s(std::span<const float> values) {
  const size_t at = buffer_.size();
  buffer_.resize(at + values.size() * 4);
  uint8_t* p = buffer_.data() + at;
  if constexpr (std::endian::native == std::endian::little) {
    if (!values.empty()) std::memcpy(p, values.data(), values.size() * 4);
  } else {
    for (float v : values) {
      uint32_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      for (int i = 0; i < 4; ++i)
        *p++ = static_cast<uint8_t>(bits >> (8 * i));
    }
  }
}

void ByteWriter::bytes(const void* src, size_t n) {
  const auto* p = static_cast<const uint8_t*>(src);
  buffer_.insert(buffer_.end(), p, p + n);
}

} // namespace velmora
