#include "app/DottedFrame.h"

#include <QPainter>

DottedFrame::DottedFrame(QWidget* parent, QColor colour, bool rounded)
    : QWidget(parent), colour_(colour), rounded_(rounded)
{
    // The frame never takes a press from what lies beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    hide();
}

void DottedFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(colour_, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    if (rounded_)
        painter.drawRoundedRect(frame, 4, 4);
    else
        painter.drawRect(frame);
}
