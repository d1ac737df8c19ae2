#include "beams/BeamAnglesEditor.h"

#include "base/FileSystem.h"
#include "base/Format.h"
#include "beams/BeamLibrary.h"
#include "beams/Messages.h"

namespace velmora {

namespace {

constexpr const char* kFieldNames[kBeamFieldCount] = {"Left Note Position field", "Mid Note Position field",
                                                      "Right Note Position field", "Left Beam Endpoint field",
                                                      "Right Beam Endpoint field"};

enum class Place { Before, After, Next };

// The dialog's test on one field of an existing row against the new row.
Place placeOnField(const BeamRowFields& row, const BeamRowFields& added, int field) {
  const BeamField existing = parseNoteField(row[static_cast<size_t>(field)]);
  const BeamField wanted = parseNoteField(added[static_cast<size_t>(field)]);
  if (existing.value > wanted.value) return Place::Before;
  if (existing.value != wanted.value) return Place::After;
  if (wanted.compare == kCompareBelow && existing.compare != kCompareBelow) return Place::Before;
  return field < kRightNoteField ? Place::Next : Place::After;
}

// Rows that stand for entries: the blank row and an empty row are only places to type into.
std::vector<std::string> entryRows(const std::vector<std::string>& rows) {
  std::vector<std::string> entries;
  for (const std::string& row : rows)
    if (!row.empty() && row != kBlankBeamRow) entries.push_back(row);
  return entries;
}

} // namespace

std::string beamRowText(const BeamRowFields& fields) {
  std::string row;
  for (const std::string& field : fields)
    row += "\t" + field;
  return row;
}

BeamRowFields beamRowFields(const std::string& row) { return splitBeamRecord(row); }

size_t beamRowPlace(const std::vector<std::string>& rows, const std::string& row) {
  const BeamRowFields added = beamRowFields(row);
  if (added[kLeftNoteField].empty()) return 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const BeamRowFields existing = beamRowFields(rows[i]);
    for (int field = kLeftNoteField; field <= kRightNoteField; ++field) {
      const Place place = placeOnField(existing, added, field);
      if (place == Place::Before) return i;
      if (place == Place::After) break;
    }
  }
  return rows.size();
}

const char* beamFieldName(int field) { return kFieldNames[field >= 0 && field < kBeamFieldCount ? field : 0]; }

std::string checkBeamField(int field, const std::string& text) {
  const std::string_view allowed = field <= kRightNoteField ? "0123456789.<>-" : "0123456789.-";
  for (char c : text) {
    if (allowed.find(c) == std::string_view::npos)
      return strprintf(beams_msg::kInvalidField, text.c_str(), beamFieldName(field));
  }
  return {};
}

std::string BeamAnglesEditor::countText() const { return strprintf(beams_msg::kCountLine, count_); }

std::string BeamAnglesEditor::path() const { return beamLibraryPath(projectFolder_, library_); }

void BeamAnglesEditor::load(int libraryIndex) {
  library_ = isValidBeamLibrary(libraryIndex) ? libraryIndex : 0;
  const std::string file = path();
  std::string why;
  const LibraryRead read = readLibraryRecords(file, rows_, why);
  if (read == LibraryRead::CannotOpen) host_.showMessage(strprintf(beams_msg::kUnableToOpen, file.c_str()));
  if (read == LibraryRead::Damaged) host_.showMessage(strprintf(beams_msg::kLibraryDamaged, file.c_str(), why.c_str()));
  incomplete_ = read == LibraryRead::Damaged || (read != LibraryRead::Loaded && fileExists(file));
  loadedRows_ = rows_;
  readOnly_ = isReadOnlyFile(file);
  count_ = static_cast<int>(rows_.size());
  selected_ = -1;
}

void BeamAnglesEditor::open(int libraryIndex) {
  load(libraryIndex);
  if (rows_.empty()) rows_.push_back(kBlankBeamRow);
  selectRow(0);
}

void BeamAnglesEditor::openPrefilled(int libraryIndex, const std::string& left, const std::string& mid,
                                     const std::string& right) {
  load(libraryIndex);
  rows_.insert(rows_.begin(), kBlankBeamRow);
  selected_ = 0;
  fields_ = {left, mid, right, std::string(), std::string()};
}

void BeamAnglesEditor::setField(int field, std::string text) {
  if (field >= 0 && field < kBeamFieldCount) fields_[static_cast<size_t>(field)] = std::move(text);
}

void BeamAnglesEditor::selectRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  selected_ = row;
  fields_ = beamRowFields(rows_[static_cast<size_t>(row)]);
}

bool BeamAnglesEditor::leaveField(int field) {
  if (field < 0 || field >= kBeamFieldCount || readOnly_) return true;
  const std::string message = checkBeamField(field, fields_[static_cast<size_t>(field)]);
  if (!message.empty()) {
    host_.showMessage(message);
    return false;
  }
  if (selected_ >= 0 && selected_ < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + selected_);
  const std::string row = beamRowText(fields_);
  const size_t place = beamRowPlace(rows_, row);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(place), row);
  selected_ = static_cast<int>(place);
  return true;
}

bool BeamAnglesEditor::add() {
  if (readOnly_ || (!rows_.empty() && rows_.front() == kBlankBeamRow)) return false;
  rows_.insert(rows_.begin(), kBlankBeamRow);
  count_ = static_cast<int>(rows_.size());
  selected_ = 0;
  return true;
}

void BeamAnglesEditor::remove() {
  if (readOnly_ || selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
  const size_t removed = static_cast<size_t>(selected_);
  rows_.erase(rows_.begin() + selected_);
  selected_ = removed < rows_.size() ? 0 : -1;
  count_ = static_cast<int>(rows_.size());
}

bool BeamAnglesEditor::clearAll(IBeamDialogs& dialogs) {
  if (!dialogs.askAreYouSure()) return false;
  rows_.clear();
  selected_ = -1;
  count_ = 0;
  return true;
}

void BeamAnglesEditor::save() {
  // A blank row as a record would match notes at 0; nor does it count as an edit of a damaged file.
  const std::vector<std::string> records = entryRows(rows_);
  if (incomplete_ && records == entryRows(loadedRows_)) return;
  const std::string file = path();
  if (fileExists(file)) {
    if (const int error = setReadOnlyFile(file, false)) host_.showMessage(strprintf(beams_msg::kErrorCode, error));
  }
  const bool written = writeLibraryRecords(file, records);
  if (written) {
    loadedRows_ = rows_;
    incomplete_ = false;
    written_ |= 1u << library_;
  } else {
    host_.showMessage(strprintf(beams_msg::kUnableToOpen, file.c_str()));
  }
  // The attribute follows the check box whether or not the rows could be written.
  if (written || fileExists(file)) {
    if (const int error = setReadOnlyFile(file, readOnly_)) host_.showMessage(strprintf(beams_msg::kErrorCode, error));
  }
}

void BeamAnglesEditor::changeDirection(int libraryIndex) {
  if (!isValidBeamLibrary(libraryIndex) || libraryIndex == library_) return;
  save();
  rows_.clear();
  load(libraryIndex);
  // Unlike opening, an empty library gets a row without any text.
  if (rows_.empty()) rows_.emplace_back();
  selectRow(0);
}

void BeamAnglesEditor::setReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (const int error = setReadOnlyFile(path(), readOnly)) host_.showMessage(strprintf(beams_msg::kErrorCode, error));
}

void BeamAnglesEditor::ok() {
  if (!rows_.empty() && rows_.front() == kBlankBeamRow) {
    rows_.erase(rows_.begin());
    if (selected_ == 0) selected_ = -1;
  }
  save();
}

} // namespace velmora
