#include "settings/Records.h"

namespace velmora {

const char* settingsFileName(SettingsFile file) {
  switch (file) {
  case SettingsFile::Prefs: return "prefs.dat";
  case SettingsFile::Optimize: return "opt.dat";
  case SettingsFile::Unoptimize: return "uno.dat";
  case SettingsFile::Edit: return "edi.dat";
  case SettingsFile::Justify: return "just.dat";
  case SettingsFile::Beam: return "beam.dat";
  case SettingsFile::Run: return "run.dat";
  case SettingsFile::Crops: return "crops.dat";
  case SettingsFile::Report: return "report.dat";
  case SettingsFile::ItemCount: return "SCORCNT2.DAT";
  }
  return "";
}

std::array<float, kJustifyWidthCount> justifyResetWidths() {
  return {3.0f, 3.4f, 3.6f,  2.7f, 3.2f, 2.6f,  4.7f, 3.2f, 2.7f, 4.1f,
          3.1f, 3.6f, 0.85f, 0.8f, 0.9f, 2.05f, 2.1f, 2.3f, 2.1f};
}

std::array<float*, kJustifyWidthCount> justifyWidths(JustifyOptions& o) {
  return {&o.noteheadQuarterHalf,
          &o.noteheadWhole,
          &o.noteheadDoubleWhole,
          &o.accidentalFlat,
          &o.accidentalSharp,
          &o.accidentalNatural,
          &o.accidentalDoubleFlat,
          &o.accidentalDoubleSharp,
          &o.quarterFlat,
          &o.threeQuarterFlat,
          &o.quarterSharp,
          &o.threeQuarterSharp,
          &o.ledgerQuarterHalf,
          &o.ledgerWhole,
          &o.ledgerDoubleWhole,
          &o.rhythmDot,
          &o.noteFlag,
          &o.noteParenthesis,
          &o.accidentalParenthesis};
}

void resetJustifyWidths(JustifyOptions& options) {
  const auto values = justifyResetWidths();
  const auto fields = justifyWidths(options);
  for (size_t i = 0; i < kJustifyWidthCount; ++i)
    *fields[i] = values[i];
}

} // namespace velmora
