#include <QApplication>
#include <QStyleFactory>

#include "shell/qt/main_window.h"
#include "shell/texts.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fortelle"));
    QApplication::setApplicationVersion(QString::fromLatin1(fortelle::kVersion.data(),
                                                            fortelle::kVersion.size()));
    // One look on every desktop, in which the design's colours show.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(fortelle::FortelleIcon());

    fortelle::MainWindow window(QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
