// tonvera-skin OUTDIR: writes the skin's pictures, each at 1x and as "<name>@2x.png" at 2x
// for high-density screens, and the installation marker "Images.dir" (written last, so it
// only exists beside a complete set).
#include "common/Vexel/src/PicUtils.h"
#include "tools/skin/PngWriter.h"
#include "tools/skin/SkinArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tonvera-skin OUTDIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "tonvera-skin: cannot create %s\n", argv[1]);
        return 1;
    }
    QFile::remove(folder + "/Images.dir");
    QByteArray listing;
    for (int scale : {1, 2}) {
        for (const skin::Picture& picture : skin::RenderSkin(scale)) {
            const std::string name = PictureFileAtScale(picture.file, scale);
            const QString file = folder + "/" + QString::fromStdString(name);
            if (!skin::WritePng(picture.image, file)) {
                std::fprintf(stderr, "tonvera-skin: cannot write %s\n", qPrintable(file));
                return 1;
            }
            listing += QByteArray::fromStdString(name) + "\n";
        }
    }
    QFile marker(folder + "/Images.dir");
    if (!marker.open(QIODevice::WriteOnly) || marker.write(listing) != listing.size()) {
        std::fprintf(stderr, "tonvera-skin: cannot write %s\n", qPrintable(marker.fileName()));
        return 1;
    }
    return 0;
}
