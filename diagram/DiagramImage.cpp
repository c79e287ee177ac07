// Painting diagrams with Qt and saving them.
#include "diagram/DiagramImage.h"

#include "base/TextUtil.h"
#include "platform/IniFile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <stdexcept>

namespace diagram {

namespace {

constexpr double PngScale = 2;

QColor qColour(Rgb rgb) { return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

void setPaint(QPainter& painter, const Paint& paint)
{
    painter.setBrush(paint.fill ? QBrush(qColour(*paint.fill)) : QBrush(Qt::NoBrush));
    painter.setPen(paint.stroke ? QPen(qColour(*paint.stroke), paint.strokeWidth) : QPen(Qt::NoPen));
}

void paintShape(QPainter& painter, const Shape& shape)
{
    std::visit(
        [&](const auto& form) {
            using Form = std::decay_t<decltype(form)>;
            if constexpr (std::is_same_v<Form, Line>) {
                painter.setPen(QPen(qColour(form.colour), form.width, Qt::SolidLine, Qt::FlatCap));
                painter.drawLine(QPointF(form.x1, form.y1), QPointF(form.x2, form.y2));
            } else if constexpr (std::is_same_v<Form, Rect>) {
                setPaint(painter, form.paint);
                painter.drawRect(QRectF(form.x, form.y, form.width, form.height));
            } else if constexpr (std::is_same_v<Form, Circle>) {
                setPaint(painter, form.paint);
                painter.drawEllipse(QPointF(form.cx, form.cy), form.r, form.r);
            } else {
                // The same faces the SVG asks for.
                QFont font("Liberation Sans");
                font.setStyleHint(QFont::SansSerif);
                font.setPixelSize(std::max(1, int(std::lround(form.size))));
                font.setBold(form.bold);
                const QString content = QString::fromUtf8(form.text.data(), qsizetype(form.text.size()));
                const double width = QFontMetricsF(font).horizontalAdvance(content);
                const double shift = form.anchor == Anchor::Middle ? width / 2 : form.anchor == Anchor::End ? width : 0;
                painter.setFont(font);
                painter.setPen(qColour(form.colour));
                painter.drawText(QPointF(form.x - shift, form.y), content);
            }
        },
        shape.form);
}

std::string lowerEnding(const std::string& path)
{
    const auto dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : LowerCase(path.substr(dot));
}

} // namespace

QImage RenderDiagram(const Drawing& drawing, double scale)
{
    QImage image(std::max(1, int(std::ceil(drawing.width * scale))), std::max(1, int(std::ceil(drawing.height * scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    for (const Shape& shape : drawing.shapes)
        paintShape(painter, shape);
    return image;
}

bool IsDiagramFileName(const std::string& path)
{
    const std::string ending = lowerEnding(path);
    return ending == ".svg" || ending == ".png";
}

void SaveDiagram(const Drawing& drawing, const std::string& path)
{
    if (lowerEnding(path) == ".svg") {
        WriteTextFileAtomically(path, SvgText(drawing));
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!RenderDiagram(drawing, PngScale).save(&buffer, "PNG"))
        throw std::runtime_error("Cannot write " + path + ": the picture could not be encoded");
    WriteTextFileAtomically(path, bytes.toStdString());
}

} // namespace diagram
