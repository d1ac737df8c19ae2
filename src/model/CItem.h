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
class CFloatArray {
public:
  int32_t size() const { return static_cast<int32_t>(data_.size()); }
  bool empty() const { return data_.empty(); }
  float get(int32_t index) const { return data_[static_cast<size_t>(index)]; }
  void set(int32_t index, float value) { data_[static_cast<size_t>(index)] = value; }
  // A set at index == size grows the array, as SCORE's own arrays do.
  void setAtGrow(int32_t index, float value);
  void append(float value) { data_.push_back(value); }
  void removeAt(int32_t index, int32_t count = 1);
  // set-size to 0 frees the buffer.
  void setSize(int32_t size);
  void assign(std::span<const float> values) { data_.assign(values.begin(), values.end()); }

  std::span<const float> values() const { return data_; }
  std::span<float> values() { return data_; }

private:
  std::vector<float> data_;
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
  if (static_cast<size_t>(index) >= data_.size()) data_.resize(static_cast<size_t>(index) + 1, 0.0f);
  data_[static_cast<size_t>(index)] = value;
}

inline void CFloatArray::removeAt(int32_t index, int32_t count) {
  if (index < 0 || count <= 0 || index >= size()) return;
  const auto first = data_.begin() + index;
  const auto last = data_.begin() + std::min<int32_t>(size(), index + count);
  data_.erase(first, last);
}

inline void CFloatArray::setSize(int32_t size) {
  if (size <= 0) {
    std::vector<float>().swap(data_);
    return;
  }
  data_.resize(static_cast<size_t>(size), 0.0f);
}

} // namespace velmora
