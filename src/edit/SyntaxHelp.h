#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The help text of the step editor's "Syntax..." button, in the settings folder.
inline constexpr const char* kSyntaxFileName = "SYNTAX.TXT";

// The copy shipped with the program, CR LF line ends.
std::string_view builtInSyntaxText();

// Only this much of a SYNTAX.TXT is shown; the rest is left out with a note.
inline constexpr size_t kMaxSyntaxBytes = 1u << 20;

// The settings folder's SYNTAX.TXT as the "Syntax" window shows it: every
// line ended by CR LF, NUL bytes as blanks; empty when there is none.
std::string readSyntaxHelp(const std::string& settingsFolder);

// The same for bytes already read; `cut` adds the note that the file was longer.
std::string syntaxLines(std::string_view bytes, bool cut);

} // namespace velmora
