#pragma once

#include <string>
#include <vector>

namespace velmora {

// Told of every change to the log, so that a view can repaint or a console
// can print rows once they are final.
class ILogObserver {
public:
  virtual ~ILogObserver() = default;
  virtual void rowAppended(size_t index, bool follow) = 0;
  virtual void rowReplaced(size_t index) = 0;
  virtual void cleared() = 0;
};

// The output log: one string per row. The GUI view and the CLI render it.
class COutputLog {
public:
  void append(std::string row);
  // Appends and makes the new row the one scrolled into view.
  void appendAndFollow(std::string row);
  void clear();
  // Sets the last row (a progress notification extending the current line).
  void replaceLast(std::string row);

  const std::vector<std::string>& rows() const { return rows_; }
  size_t size() const { return rows_.size(); }

  void setObserver(ILogObserver* observer) { observer_ = observer; }

  // The rows as a text file, each ended by LF, bytes as they are; written
  // whole through a temporary file. False with the reason in `error`.
  bool saveAs(const std::string& path, std::string& error) const;

private:
  std::vector<std::string> rows_;
  ILogObserver* observer_ = nullptr;
};

} // namespace velmora
