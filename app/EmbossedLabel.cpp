#include "app/EmbossedLabel.h"

#include <QPainter>

namespace {
const QColor kHighlight(255, 255, 255);
const QColor kShadow(160, 160, 160);
} // namespace

EmbossedLabel::EmbossedLabel(QWidget* parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setEnabled(false);
}

// One pixel more each way for the highlight.
QSize EmbossedLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 1, metrics.height() + 1};
}

void EmbossedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const int baseline = painter.fontMetrics().ascent();
    painter.setPen(kHighlight);
    painter.drawText(1, baseline + 1, text());
    painter.setPen(kShadow);
    painter.drawText(0, baseline, text());
}
