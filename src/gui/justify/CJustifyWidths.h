#pragma once

#include <QDialog>
#include <array>

#include "base/Host.h"
#include "justify/JustifySettings.h"

class QLineEdit;

namespace velmora::gui {

// "Widths (in Score units at stave size 1.0)": the 19 widths in dialog order.
class CJustifyWidths : public QDialog {
  Q_OBJECT
public:
  explicit CJustifyWidths(IHost& host, QWidget* parent = nullptr);

  // Runs the dialog; on OK the values are replaced and true is returned.
  bool edit(JustifyWidthValues& values);

  void setValues(const JustifyWidthValues& values);
  // False when a field holds no number; the other fields are still read.
  bool readValues(JustifyWidthValues& values) const;

  void accept() override;

private:
  void reset();

  IHost& host_;
  std::array<QLineEdit*, kJustifyWidthCount> edits_{};
};

} // namespace velmora::gui
