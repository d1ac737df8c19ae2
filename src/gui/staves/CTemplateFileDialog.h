#pragma once

#include <QFileDialog>

#include "staves/StaveDialogs.h"

namespace velmora::gui {

// "Choose Template for Unoptimization": a file-open dialog for one existing file.
class CTemplateFileDialog : public QFileDialog {
  Q_OBJECT
public:
  explicit CTemplateFileDialog(QWidget* parent = nullptr);
  // Shows the request's title and filters; on OK the path is copied back.
  bool choose(TemplateChoice& choice);
};

} // namespace velmora::gui
