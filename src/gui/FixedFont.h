#pragma once

#include <QFont>
#include <QStringList>

namespace velmora::gui {

// A font that really is fixed-pitch on this machine: the first of `preferred`
// that resolves to a fixed face, else the system's fixed font, else any
// installed fixed family. Families such as "monospace" may resolve to a face
// that fontconfig lists as proportional, so each is checked, not trusted.
QFont fixedPitchFont(const QStringList& preferred = {});

} // namespace velmora::gui
