#pragma once

namespace velmora {

// Shown by --version of both programs and by the About box.
inline constexpr const char* kVersionNumber = "3.7";
inline constexpr const char* kCopyrightLine = "Copyright (C) 2026 Corvane Software";
inline constexpr const char* kLicenseLine =
    "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.";

} // namespace velmora
