// TNXSlider: track composition, value arithmetic and dragging.
#include "controls/Nxslider.h"

#include "controls/Nxcomponentutils.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

std::vector<int> TileOffsets(int start, int length, int tileSize)
{
    std::vector<int> offsets;
    if (tileSize <= 0)
        return offsets;
    for (int covered = 0; covered < length; covered += tileSize)
        offsets.push_back(start + covered);
    return offsets;
}

TNXSlider::TNXSlider(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TNXSlider::Loaded()
{
    currentTile_ = TileIdle;
    currentThumb_ = ThumbIdle;
    hoverRequested_ = true;
    leaveRequested_ = true;
    Resize();
    update();
}

void TNXSlider::SlideSpaceFromTile()
{
    const TPicture& tile = pictures_[TileIdle];
    slideSpaceSize_ = Horizontal ? tile.Width() - thumbWidth_ : tile.Height() - thumbHeight_;
}

void TNXSlider::SetPicBackgroundIdle(const std::string& name)
{
    if (!SetPictureFile(names_[TileIdle], pictures_[TileIdle], name, "File not found : "))
        return;
    SlideSpaceFromTile();
    Resize();
    update();
}

void TNXSlider::SetPicBackgroundMouseMove(const std::string& name)
{
    if (SetPictureFile(names_[TileMouseMove], pictures_[TileMouseMove], name, "File not found : "))
        update();
}

void TNXSlider::SetPicBackgroundLeft(const std::string& name)
{
    if (!SetPictureFile(names_[Left], pictures_[Left], name, "Error loading : "))
        return;
    Resize();
    update();
}

void TNXSlider::SetPicBackgroundRight(const std::string& name)
{
    if (!SetPictureFile(names_[Right], pictures_[Right], name, "Error loading : "))
        return;
    Resize();
    update();
}

void TNXSlider::SetPicSliderIdle(const std::string& name)
{
    if (!SetPictureFile(names_[ThumbIdle], pictures_[ThumbIdle], name, "File not found : "))
        return;
    thumbWidth_ = pictures_[ThumbIdle].Width();
    thumbHeight_ = pictures_[ThumbIdle].Height();
    SlideSpaceFromTile();
    update();
}

void TNXSlider::SetPicSliderMouseDown(const std::string& name)
{
    if (SetPictureFile(names_[ThumbHeld], pictures_[ThumbHeld], name, "File not found : "))
        update();
}

void TNXSlider::UpdateOffset()
{
    // The range is never empty: the setters keep MinPosition below MaxPosition.
    offset_ = (position_ - minPosition_) * slideSpaceSize_ / (maxPosition_ - minPosition_);
}

void TNXSlider::SetPosition(int value)
{
    if (value == position_)
        return;
    position_ = std::clamp(value, minPosition_, maxPosition_);
    UpdateOffset();
    emit changed();
    update();
}

void TNXSlider::SetMinPosition(int value)
{
    if (value >= maxPosition_)
        return;
    minPosition_ = value;
    position_ = std::max(position_, minPosition_);
    UpdateOffset();
    update();
}

void TNXSlider::SetMaxPosition(int value)
{
    if (value <= minPosition_)
        return;
    maxPosition_ = value;
    position_ = std::min(position_, maxPosition_);
    UpdateOffset();
    update();
}

void TNXSlider::SetSlideSize(int value)
{
    if (value < 2)
        return;
    slideSpaceSize_ = value;
    UpdateOffset();
    update();
}

void TNXSlider::Resize()
{
    if (track_.size() != size())
        track_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    const TPicture* tile = CurrentTile();
    if (!tile || tile->Empty()) {
        track_.fill(currentColour_);
        return;
    }
    QPainter p(&track_);
    const int w = width();
    const int h = height();
    if (Horizontal) {
        const int left = pictures_[Left].Width();
        const int right = pictures_[Right].Width();
        if (left != 0)
            p.drawImage(QRect(0, 0, left, h), pictures_[Left].Bitmap, QRect(0, 0, left, h));
        for (int x : TileOffsets(left, w - left - right, tile->Width()))
            p.drawImage(QRect(x, 0, tile->Width(), h), tile->Bitmap, QRect(0, 0, tile->Width(), h));
        if (right != 0)
            p.drawImage(QRect(w - right, 0, right, h), pictures_[Right].Bitmap, QRect(0, 0, right, h));
        slideSpaceSize_ = w - thumbWidth_;
    } else {
        const int top = pictures_[Left].Height();
        const int bottom = pictures_[Right].Height();
        if (top != 0)
            p.drawImage(QRect(0, 0, w, top), pictures_[Left].Bitmap, QRect(0, 0, w, top));
        for (int y : TileOffsets(top, h - top - bottom, tile->Height()))
            p.drawImage(QRect(0, y, w, tile->Height()), tile->Bitmap, QRect(0, 0, w, tile->Height()));
        if (bottom != 0)
            p.drawImage(QRect(0, h - bottom, w, bottom), pictures_[Right].Bitmap, QRect(0, 0, w, bottom));
        slideSpaceSize_ = h - thumbHeight_;
    }
}

void TNXSlider::paintEvent(QPaintEvent*)
{
    QImage buffer = track_.isNull() ? QImage(size(), QImage::Format_RGB32) : track_;
    if (track_.isNull())
        buffer.fill(currentColour_);
    if (currentThumb_ >= 0 && !pictures_[currentThumb_].Empty()) {
        QPainter p(&buffer);
        const QPoint at = Horizontal ? QPoint(MarginX + offset_, MarginY) : QPoint(MarginX, MarginY + offset_);
        p.drawImage(at, pictures_[currentThumb_].Bitmap);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, buffer);
}

void TNXSlider::resizeEvent(QResizeEvent*)
{
    Resize();
}

void TNXSlider::MouseMove(Qt::MouseButtons held, int x, int y)
{
    // Without room to slide the thumb stays where it is.
    if ((held & Qt::LeftButton) && slideSpaceSize_ > 0) {
        currentThumb_ = ThumbHeld;
        offset_ = Horizontal ? x - MarginX - thumbWidth_ / 2 : y - MarginY - thumbHeight_ / 2;
        offset_ = std::clamp(offset_, 0, slideSpaceSize_);
        position_ = (maxPosition_ - minPosition_) * offset_ / slideSpaceSize_ + minPosition_;
        emit changed();
        update();
    }
    if (currentTile_ != TileMouseMove) {
        if (!pictures_[TileMouseMove].Empty())
            currentTile_ = TileMouseMove;
        currentColour_ = bkMouseMoveColor_;
        update();
        leaveRequested_ = true;
    }
}

void TNXSlider::MEnter()
{
    if (!pictures_[TileMouseMove].Empty())
        currentTile_ = TileMouseMove;
    currentColour_ = bkMouseMoveColor_;
    update();
    hoverRequested_ = false;
    leaveRequested_ = true;
}

void TNXSlider::MLeave()
{
    if (!pictures_[TileIdle].Empty())
        currentTile_ = TileIdle;
    currentColour_ = bkIdleColor_;
    update();
    leaveRequested_ = false;
    hoverRequested_ = true;
}

void TNXSlider::enterEvent(QEnterEvent*)
{
    if (hoverRequested_)
        MEnter();
}

void TNXSlider::leaveEvent(QEvent*)
{
    if (leaveRequested_)
        MLeave();
}

void TNXSlider::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        MouseMove(event->buttons() | Qt::LeftButton, p.x(), p.y());
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TNXSlider::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->buttons(), p.x(), p.y());
}

void TNXSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        currentThumb_ = ThumbIdle;
        update();
    }
    emit mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}
