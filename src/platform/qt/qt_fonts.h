// Font names of the design mapped onto what this machine has.
#pragma once

#include <QFont>
#include <QString>

namespace fortelle {

// The style family a design font belongs to, so that a machine without it
// picks the nearest installed face: Courier and Courier New monospaced,
// Times New Roman serif, Arial sans.
QFont::StyleHint StyleHintFor(const QString& family);

// A font of the design by name and point size.
QFont DesignFont(const QString& family, double points, bool bold = false);

} // namespace fortelle
