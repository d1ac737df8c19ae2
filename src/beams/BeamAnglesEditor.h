#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/Host.h"
#include "beams/BeamDialogs.h"

namespace velmora {

// Edit fields of the library dialog, in tab order.
enum BeamEditField { kLeftNoteField = 0, kMidNoteField, kRightNoteField, kLeftEndField, kRightEndField };
inline constexpr int kBeamFieldCount = 5;
using BeamRowFields = std::array<std::string, kBeamFieldCount>;

// The blank row: five tabs.
inline constexpr const char* kBlankBeamRow = "\t\t\t\t\t";

// Tab stops of the row list, in dialog units.
inline constexpr std::array<int, 5> kBeamRowTabStops{20, 65, 110, 155, 200};

// "\t" + the five texts joined by tabs, as typed; no final tab.
std::string beamRowText(const BeamRowFields& fields);
BeamRowFields beamRowFields(const std::string& row);
// Where the dialog inserts a new or edited row.
size_t beamRowPlace(const std::vector<std::string>& rows, const std::string& row);
// "" when the text is acceptable for the field, else the message to show.
std::string checkBeamField(int field, const std::string& text);
const char* beamFieldName(int field);

// The "Set Beam Angles" dialog without its widgets; it edits the library files, not the run's copies.
class BeamAnglesEditor {
public:
  BeamAnglesEditor(IHost& host, std::string projectFolder) : host_(host), projectFolder_(std::move(projectFolder)) {}

  // Opening from Beam Settings.
  void open(int libraryIndex);
  // Opening from the not-found flow: a blank top row, the note positions in the edit fields.
  void openPrefilled(int libraryIndex, const std::string& left, const std::string& mid, const std::string& right);

  int library() const { return library_; }
  const std::vector<std::string>& rows() const { return rows_; }
  int selected() const { return selected_; }
  const BeamRowFields& fields() const { return fields_; }
  bool readOnly() const { return readOnly_; }
  int count() const { return count_; }
  std::string countText() const;
  std::string path() const;
  // A bit per library whose file this dialog wrote.
  unsigned writtenLibraries() const { return written_; }

  // Typing into an edit field.
  void setField(int field, std::string text);
  // The user selects a row: its fields go into the edit fields.
  void selectRow(int row);
  // Leaving an edit field. False after the message: focus goes back to it.
  bool leaveField(int field);
  // "&Add": true when a blank row was put on top; focus goes to the left note field.
  bool add();
  // "&Remove"
  void remove();
  // "&d", after "Are You Sure?".
  bool clearAll(IBeamDialogs& dialogs);
  // "Beam direction": saves the shown library, then shows the chosen one.
  void changeDirection(int libraryIndex);
  // "Read Only": sets the file's attribute at once.
  void setReadOnly(bool readOnly);
  // "OK": drops a blank first row and writes the shown library.
  void ok();

private:
  void load(int libraryIndex);
  void save();

  IHost& host_;
  std::string projectFolder_;
  int library_ = 0;
  std::vector<std::string> rows_;
  // As loaded: a damaged file is only rewritten once its rows were changed.
  std::vector<std::string> loadedRows_;
  bool incomplete_ = false;
  int selected_ = -1;
  BeamRowFields fields_;
  bool readOnly_ = false;
  int count_ = 0;
  unsigned written_ = 0;
};

} // namespace velmora
