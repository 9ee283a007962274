#include "shell/qt/desktop.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <string_view>

namespace fortelle {

bool StyleChosenByUser(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        for (std::string_view option : {"-style", "--style"}) {
            if (arg == option || (arg.starts_with(option) && arg.substr(option.size(), 1) == "=")) {
                return true;
            }
        }
    }
    return !qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE");
}

QTranslator* InstallQtTranslations(const QLocale& locale)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace fortelle
