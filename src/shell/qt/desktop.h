// Fitting in with the user's desktop: their widget style and their language.
#pragma once

#include <QLocale>

class QTranslator;

namespace fortelle {

// True when the user picked a widget style of their own, on the command
// line (-style NAME) or in the environment (QT_STYLE_OVERRIDE).
bool StyleChosenByUser(int argc, const char* const* argv);

// Loads Qt's translations of its own texts (the standard dialogs' buttons
// and labels) for `locale`; the program's own texts stay as they are. The
// translator installed (owned by the application), or null when there are
// none for the locale.
QTranslator* InstallQtTranslations(const QLocale& locale);

} // namespace fortelle
