#include "platform/qt/qt_fonts.h"

namespace fortelle {

QFont::StyleHint StyleHintFor(const QString& family)
{
    const QString f = family.toLower();
    if (f.startsWith(QLatin1String("courier")) || f.contains(QLatin1String("mono"))) {
        return QFont::Monospace;
    }
    if (f.startsWith(QLatin1String("times"))) return QFont::Serif;
    return QFont::SansSerif;
}

QFont DesignFont(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setStyleHint(StyleHintFor(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace fortelle
