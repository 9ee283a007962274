// Writes the program's icon as PNG files for installation:
//   fortelle_icon_writer SIZE FILE [SIZE FILE...]
#include <QImage>
#include <QString>
#include <cstdio>

#include "shell/qt/main_window.h"

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0 || !fortelle::DrawIcon(size).save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "fortelle_icon_writer: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
