// Widget tests run headless: without a display of their own they use Qt's
// offscreen platform. Settings go to a folder of the run's own; the games are
// the source tree's.
#include <QApplication>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("FORTELLE_GAMES_DIR")) qputenv("FORTELLE_GAMES_DIR", FORTELLE_GAMES_SOURCE);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fortelle"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
