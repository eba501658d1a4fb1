// Writes the program's icon as PNG files of the sizes given, for the desktop's icon theme:
// icons_main FOLDER SIZE... writes FOLDER/tillane-SIZE.png for each size.
#include "res/icon.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        const QString path = QString("%1/tillane-%2.png").arg(argv[1]).arg(size);
        if (size <= 0 || !res::DrawProgramIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
