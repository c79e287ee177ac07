// TImage: a canvas widget painting itself from its own image.
#include "controls/Timage.h"

#include "common/Vexel/src/PicUtils.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

QImage& TImage::Canvas()
{
    if (canvas_.isNull() && width() > 0 && height() > 0)
        SetCanvasSize(width(), height());
    return canvas_;
}

double TImage::PixelRatio() const
{
    return canvas_.isNull() ? devicePixelRatioF() : canvas_.devicePixelRatio();
}

void TImage::SetCanvasSize(int width, int height)
{
    const double ratio = devicePixelRatioF();
    canvas_ = QImage(int(std::lround(width * ratio)), int(std::lround(height * ratio)), QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(ratio);
    canvas_.fill(Qt::black);
    update();
}

void TImage::SetPicture(const QImage& picture)
{
    canvas_ = BitmapAtRatio(picture, devicePixelRatioF()).convertToFormat(QImage::Format_RGB32);
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Black where the canvas does not reach.
    const QSizeF covered = canvas_.isNull() ? QSizeF() : canvas_.deviceIndependentSize();
    if (covered.width() < width() || covered.height() < height())
        painter.fillRect(rect(), Qt::black);
    if (!canvas_.isNull())
        painter.drawImage(QPointF(0, 0), canvas_);
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseMove(event->modifiers(), p.x(), p.y());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}
