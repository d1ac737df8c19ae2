#pragma once

#include <string>
#include <vector>

namespace velmora {

// What the message pump tells a loop: go on, or the user confirmed a cancel.
enum class Pump { GoOn, Cancel };

enum class FileKind { Score, PostScript };

// The answers of the "Prompt before Operation" window, which Edit and Justify share.
enum class PromptAnswer { Yes, YesToAll, No, Cancel };

// Input and output of the file-list dialog.
struct FileListRequest {
  std::string title;
  FileKind kind = FileKind::Score;
  bool explorerStyle = false;
  int filterIndex = 0; // remembered by the batch frame between runs
};

// The core's only way to reach the user. The GUI, the CLI and the tests
// implement it; the core never knows which one it talks to.
class IHost {
public:
  virtual ~IHost() = default;

  // Modal message box with an OK button.
  virtual void showMessage(const std::string& text) = 0;
  // Modal question; true for "Yes".
  virtual bool askYesNo(const std::string& title, const std::string& text) = 0;
  // Modal OK/Cancel box; true for OK.
  virtual bool askOkCancel(const std::string& text) = 0;
  // Handles pending input. A right click or typed key raises the "Cancel
  // Action" question (see askCancelAction); Cancel means it was confirmed.
  virtual Pump pump() = 0;
  // The file-list dialog: appends the chosen paths to `files` and returns
  // 1 if at least one file was chosen, else 0.
  virtual int chooseFiles(FileListRequest& request, std::vector<std::string>& files) = 0;
  // Opens a file in the desktop's viewer (the report, the font list, a score).
  virtual void openInViewer(const std::string& path) = 0;
  // True once pump() has returned Cancel. A batch that goes on past a failed
  // file asks it, so that a confirmed cancel still ends the batch.
  virtual bool cancelConfirmed() const { return false; }
};

inline constexpr const char* kCancelActionTitle = "Cancel Action";
inline constexpr const char* kCancelActionText = "Do you wish to cancel the current operation?";

// The "Cancel Action" question; true when the user answers "Yes".
bool askCancelAction(IHost& host);

} // namespace velmora
