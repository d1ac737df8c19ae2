#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// Integer part of a parameter used as a code or stave number; 0 for NaN and
// values far outside any code, so hostile floats never reach a cast.
inline int intPart(float value) {
  if (!(value > -1000000.0f && value < 1000000.0f)) return 0;
  return static_cast<int>(value);
}

// Growable array of 32-bit float parameters, kept bit for bit as in the file.
// Most items have a handful of parameters; those live inside the array, so
// reading a file costs one allocation per item instead of two.
class CFloatArray {
public:
  CFloatArray() = default;
  CFloatArray(const CFloatArray& other) { assign(other.values()); }
  CFloatArray(CFloatArray&& other) noexcept { take(other); }
  CFloatArray& operator=(const CFloatArray& other) {
    if (this != &other) assign(other.values());
    return *this;
  }
  CFloatArray& operator=(CFloatArray&& other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~CFloatArray() { release(); }

  int32_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  float get(int32_t index) const { return data_[index]; }
  void set(int32_t index, float value) { data_[index] = value; }
  // A set at index == size grows the array, as SCORE's own arrays do.
  void setAtGrow(int32_t index, float value);
  void append(float value) {
    reserve(size_ + 1);
    data_[size_++] = value;
  }
  void removeAt(int32_t index, int32_t count = 1);
  // set-size to 0 frees the buffer.
  void setSize(int32_t size);
  void assign(std::span<const float> values) {
    size_ = 0;
    reserve(static_cast<int32_t>(values.size()));
    std::copy(values.begin(), values.end(), data_);
    size_ = static_cast<int32_t>(values.size());
  }

  std::span<const float> values() const { return {data_, static_cast<size_t>(size_)}; }
  std::span<float> values() { return {data_, static_cast<size_t>(size_)}; }

private:
  static constexpr int32_t kInline = 8;

  bool onHeap() const { return data_ != inline_; }
  void reserve(int32_t n) {
    if (n <= capacity_) return;
    const int32_t capacity = std::max(n, capacity_ * 2);
    auto* grown = new float[static_cast<size_t>(capacity)];
    std::copy(data_, data_ + size_, grown);
    release();
    data_ = grown;
    capacity_ = capacity;
  }
  void release() {
    if (onHeap()) delete[] data_;
    data_ = inline_;
    capacity_ = kInline;
  }
  // Takes the other's buffer, or copies its inline values; the other is left empty.
  void take(CFloatArray& other) {
    size_ = other.size_;
    if (other.onHeap()) {
      data_ = other.data_;
      capacity_ = other.capacity_;
      other.data_ = other.inline_;
      other.capacity_ = kInline;
    } else {
      std::copy(other.inline_, other.inline_ + other.size_, inline_);
    }
    other.size_ = 0;
  }

  float* data_ = inline_;
  int32_t size_ = 0;
  int32_t capacity_ = kInline;
  float inline_[kInline];
};

// One SCORE item: its parameters P1..Pn, stored zero-based.
class CItem {
public:
  CItem() = default;
  explicit CItem(std::span<const float> params) { params_.assign(params); }

  int32_t count() const { return params_.size(); }
  // Pn by SCORE's 1-based numbering; 0 for a parameter the item lacks.
  float p(int32_t n) const { return n >= 1 && n <= count() ? params_.get(n - 1) : 0.0f; }
  float code() const { return p(1); }
  float stave() const { return p(2); }

  CFloatArray& params() { return params_; }
  const CFloatArray& params() const { return params_; }

private:
  CFloatArray params_;
};

inline void CFloatArray::setAtGrow(int32_t index, float value) {
  if (index < 0) return;
  if (index >= size_) setSize(index + 1);
  data_[index] = value;
}

inline void CFloatArray::removeAt(int32_t index, int32_t count) {
  if (index < 0 || count <= 0 || index >= size_) return;
  const int32_t last = std::min<int32_t>(size_, index + count);
  std::copy(data_ + last, data_ + size_, data_ + index);
  size_ -= last - index;
}

inline void CFloatArray::setSize(int32_t size) {
  if (size <= 0) {
    release();
    size_ = 0;
    return;
  }
  reserve(size);
  if (size > size_) std::fill(data_ + size_, data_ + size, 0.0f);
  size_ = size;
}

} // namespace velmora
