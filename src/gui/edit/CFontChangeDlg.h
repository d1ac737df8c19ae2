#pragma once

#include "gui/edit/CSearchReplaceDlg.h"

namespace velmora::gui {

// "Search and replace Initial Font Number": two font numbers of 1 or 2 characters.
class CFontChangeDlg : public CSearchReplaceDlg {
  Q_OBJECT
public:
  explicit CFontChangeDlg(IHost& host, QWidget* parent = nullptr);

protected:
  ReplaceCheck check(std::string_view search, std::string_view replacement) const override {
    return checkFontReplace(search, replacement);
  }
};

} // namespace velmora::gui
