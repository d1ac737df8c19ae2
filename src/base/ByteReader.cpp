#include "base/ByteReader.h"

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

void ByteWriter::bytes(const void* src, size_t n) {
  const auto* p = static_cast<const uint8_t*>(src);
  buffer_.insert(buffer_.end(), p, p + n);
}

} // namespace velmora
