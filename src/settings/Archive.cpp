#include "settings/Archive.h"

#include "base/CountedString.h"
#include "settings/Records.h"

namespace velmora {

void Archive::version() {
  if (out_) {
    version_ = kSettingsVersion;
    out_->i32(version_);
    return;
  }
  const int32_t v = in_->i32();
  if (in_->ok()) version_ = v;
}

bool Archive::since(int32_t introduced) const {
  if (out_) return true;
  return in_->ok() && version_ >= introduced;
}

void Archive::int32(int32_t& value) {
  if (out_) {
    out_->i32(value);
    return;
  }
  const int32_t v = in_->i32();
  if (in_->ok()) value = v;
}

void Archive::flag8(int32_t& value) {
  if (out_) {
    out_->u8(static_cast<uint8_t>(value & 0xFF));
    return;
  }
  const uint8_t v = in_->u8();
  if (in_->ok()) value = v;
}

void Archive::float32(float& value) {
  if (out_) {
    out_->f32(value);
    return;
  }
  const float v = in_->f32();
  if (in_->ok()) value = v;
}

void Archive::string(std::string& value) {
  if (out_) {
    writeCountedString(*out_, value);
    return;
  }
  std::string v = readCountedString(*in_);
  if (in_->ok()) value = std::move(v);
}

} // namespace velmora
