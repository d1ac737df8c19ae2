#pragma once

#include <array>
#include <string>

#include "settings/Records.h"

namespace velmora {

struct PaperSize {
  const char* name;
  int width; // portrait, points
  int height;
};

// The "Paper size" list, by `paperSize` index.
const std::array<PaperSize, 6>& paperSizes();

// A paper choice or orientation click: the box becomes 0 0 and the paper's
// width and height (swapped for landscape). False for an unlisted index.
bool applyPaperSize(CropOptions& options, int paperSize, bool landscape);

// One click of the "XOffset" (horizontal) or "YOffset" spin button: an arrow
// reporting -1 moves the box by +1 point, one reporting +1 by -1.
void applyBoxOffset(CropOptions& options, bool horizontal, int arrowDelta);

// The edit fields of "Crop Mark Settings" as text.
struct CropFieldTexts {
  std::string boxX1, boxY1, boxX2, boxY2;
  std::string originX, originY;
  std::string markLength, markThickness;

  bool operator==(const CropFieldTexts&) const = default;
};

enum class CropField { None, BoxX1, BoxY1, BoxX2, BoxY2, OriginX, OriginY, MarkLength, MarkThickness };

CropFieldTexts cropFieldTexts(const CropOptions& options);

struct CropFieldProblem {
  CropField field = CropField::None;
  std::string message; // the framework's range message; empty when all fields are good
  bool ok() const { return field == CropField::None; }
};

// Reads the texts into `options` in dialog order, stopping at the first
// refused entry ("Enter an integer between 0 and 99.") with `options` unchanged.
CropFieldProblem readCropFieldTexts(const CropFieldTexts& texts, CropOptions& options);

inline constexpr int kMinMarkLength = 0;
inline constexpr int kMaxMarkLength = 99;
inline constexpr float kMinMarkThickness = 0.1f;
inline constexpr float kMaxMarkThickness = 5.0f;

inline constexpr const char* kCropFileFilter = "Crop Files (*.crp) | *.crp|All Files (*.*) | *.*||";
inline constexpr const char* kCropFileExtension = "CRP";
inline constexpr const char* kCropFileInitialName = "*.CRP";

// ".crp" files hold the record in the "crops.dat" layout; an empty one (as
// older versions wrote) loads nothing. False with the message for the user,
// `options` then unchanged.
bool loadCropFile(const std::string& path, CropOptions& options, std::string& message);
bool saveCropFile(const std::string& path, const CropOptions& options, std::string& message);

} // namespace velmora
