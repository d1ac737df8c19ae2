#pragma once

#include "gui/edit/CSearchReplaceDlg.h"

namespace velmora::gui {

// "Search and replace text": two texts of at most 160 characters; the replacement may be empty.
class CTextChangeDlg : public CSearchReplaceDlg {
  Q_OBJECT
public:
  explicit CTextChangeDlg(IHost& host, QWidget* parent = nullptr);

protected:
  ReplaceCheck check(std::string_view search, std::string_view replacement) const override {
    return checkTextReplace(search, replacement);
  }
};

} // namespace velmora::gui
