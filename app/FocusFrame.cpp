#include "app/FocusFrame.h"

#include <QPainter>

FocusFrame::FocusFrame(QWidget* parent, QPen pen, bool rounded)
    : QWidget(parent), pen_(std::move(pen)), rounded_(rounded)
{
    // The frame never takes a press from what lies beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    hide();
}

void FocusFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, rounded_);
    painter.setPen(pen_);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = pen_.widthF() / 2;
    const QRectF frame = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (rounded_)
        painter.drawRoundedRect(frame, 4, 4);
    else
        painter.drawRect(frame);
}
