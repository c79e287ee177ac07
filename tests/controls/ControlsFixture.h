// Solid-colour picture files for the control tests, in a folder of their own.
#pragma once

#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

class PictureFolder {
public:
    // Writes a w x h picture of one colour and returns its path.
    std::string Solid(const std::string& name, int w, int h, QColor colour)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const std::string file = Path(name);
        EXPECT_TRUE(image.save(QString::fromStdString(file), "PNG"));
        return file;
    }
    // Writes a picture whose column x has the colour columns[x].
    std::string Columns(const std::string& name, const std::vector<QColor>& columns, int h = 4)
    {
        QImage image(int(columns.size()), h, QImage::Format_RGB32);
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < h; ++y)
                image.setPixelColor(x, y, columns[x]);
        const std::string file = Path(name);
        EXPECT_TRUE(image.save(QString::fromStdString(file), "PNG"));
        return file;
    }
    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

private:
    QTemporaryDir dir_;
};

// The colour the widget shows at (x, y), as rendered.
inline QColor ShownAt(QWidget& widget, int x, int y)
{
    return widget.grab().toImage().pixelColor(x, y);
}
