#pragma once

#include <cstdint>
#include <string>

#include "base/ByteReader.h"

namespace velmora {

// One serializer per record serves both directions: the archive either loads
// from a reader or stores into a writer. Loading assigns a field only when it
// was read whole, so a file that ends early keeps the fields before the break.
class Archive {
public:
  explicit Archive(ByteReader& in) : in_(&in) {}
  explicit Archive(ByteWriter& out) : out_(&out) {}

  bool isLoading() const { return in_ != nullptr; }
  bool isStoring() const { return out_ != nullptr; }

  // Storing writes kSettingsVersion; loading reads the file's stamp.
  void version();
  // The stamp read by version(); kSettingsVersion when storing.
  int32_t fileVersion() const { return version_; }
  // Whether a field introduced with `introduced` is present: always when
  // storing, by the stamp when loading.
  bool since(int32_t introduced) const;

  void int32(int32_t& value);
  // One byte; loading zero-extends it into the flag.
  void flag8(int32_t& value);
  void float32(float& value);
  void string(std::string& value);

  // False once a load ran past the end or met a bad string length.
  bool ok() const { return in_ ? in_->ok() : true; }
  std::string error() const { return in_ ? in_->error() : std::string(); }

private:
  ByteReader* in_ = nullptr;
  ByteWriter* out_ = nullptr;
  int32_t version_ = 0;
};

} // namespace velmora
