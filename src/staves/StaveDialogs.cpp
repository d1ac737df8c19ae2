#include "staves/StaveDialogs.h"

#include <string_view>

#include "staves/Messages.h"

namespace velmora {

StaveSelection staveSelectionFor(const CItemStore& store, const char* title) {
  StaveSelection selection;
  selection.title = title;
  for (int s = 1; s <= kMaxStave; ++s)
    selection.checked[static_cast<size_t>(s - 1)] = store.staveFlags[static_cast<size_t>(s)] == 0;
  return selection;
}

void applyStaveSelection(const StaveSelection& selection, CItemStore& store) {
  for (int s = 1; s <= kMaxStave; ++s)
    store.staveFlags[static_cast<size_t>(s)] = selection.checked[static_cast<size_t>(s - 1)] ? 0 : 1;
}

namespace {

std::string trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return std::string(text);
}

} // namespace

TemplateChoice templateChoiceRequest() {
  TemplateChoice choice;
  choice.title = staves_msg::kChooseTemplateTitle;
  choice.defaultExtension = "tpl";
  choice.initialName = "*.tpl";
  // The filter is stored as "label | pattern|label | pattern|...||".
  std::string_view rest = staves_msg::kTemplateFilter;
  std::vector<std::string> fields;
  while (!rest.empty()) {
    const size_t bar = rest.find('|');
    fields.push_back(trimmed(rest.substr(0, bar)));
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  for (size_t i = 0; i + 1 < fields.size(); i += 2) {
    if (fields[i].empty()) break;
    choice.filters.emplace_back(fields[i], fields[i + 1]);
    if (fields[i + 1] == choice.initialName) choice.selectedFilter = choice.filters.size() - 1;
  }
  return choice;
}

} // namespace velmora
