// TNXList: item sizing, picture stretching, painting and item hit tests.
#include "controls/Nxlist.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Copies columns [from, from + count) of the image so that they start at column to.
void copyColumns(QImage& image, int from, int count, int to)
{
    if (count <= 0)
        return;
    const QImage block = image.copy(from, 0, count, image.height());
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(to, 0, block);
}

} // namespace

QImage StretchItemPicture(const QImage& picture, int width)
{
    const int w = picture.width();
    if (picture.isNull() || width <= 0 || width == w)
        return picture;
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    if (width < w) {
        copyColumns(image, std::max(0, w - 10), std::min(10, w), width - std::min(10, w));
        return image.copy(0, 0, width, image.height());
    }
    const int q = w / 5;
    QImage wide(width, image.height(), QImage::Format_RGB32);
    // The new columns start as copies of the last one, so a picture under five
    // pixels wide (whose last fifth is empty) still fills its width.
    {
        QPainter p(&wide);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
        for (int x = w; x < width; ++x)
            p.drawImage(QRect(x, 0, 1, image.height()), image, QRect(w - 1, 0, 1, image.height()));
    }
    for (int k = 0; k < width - w; ++k)
        copyColumns(wide, w + k - q, q, w + k - q + 1);
    return wide;
}

TNXList::TNXList(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    fonts_.fill(DefaultLabelFont());
}

void TNXList::Loaded()
{
    hoverRequested_ = true;
    leaveRequested_ = true;
    for (LabelFont& font : fonts_)
        MakeFontAntialiased(font.font);
    update();
}

bool TNXList::LoadPicture(Look look, const std::string& name)
{
    return SetPictureFile(names_[look], pictures_[look], name, "File not found : ");
}

void TNXList::TakeItemSizeFromIdle()
{
    itemWidth_ = pictures_[Idle].Width();
    itemHeight_ = pictures_[Idle].Height();
}

void TNXList::SetPicOnIdle(const std::string& name)
{
    if (!LoadPicture(Idle, name))
        return;
    TakeItemSizeFromIdle();
    SetSize();
    update();
}

void TNXList::SetPicOnMouseMove(const std::string& name)
{
    if (LoadPicture(MouseMove, name) && itemWidth_ == 0) {
        TakeItemSizeFromIdle();
        SetSize();
    }
}

void TNXList::SetPicOnMouseDown(const std::string& name)
{
    if (LoadPicture(MouseDown, name) && itemWidth_ == 0) {
        TakeItemSizeFromIdle();
        SetSize();
    }
}

void TNXList::SetPicOnDisabled(const std::string& name)
{
    if (LoadPicture(Disabled, name) && itemWidth_ == 0) {
        TakeItemSizeFromIdle();
        SetSize();
    }
}

void TNXList::SetPicOnSelected(const std::string& name)
{
    if (!LoadPicture(Selected, name))
        return;
    if (itemWidth_ == 0) {
        TakeItemSizeFromIdle();
        SetSize();
    }
    update();
}

void TNXList::SetTextMarginX(int value)
{
    if (StoreIfChanged(marginX_, value) && marginOn_)
        update();
}

void TNXList::SetTextMoveX(int value)
{
    if (StoreIfChanged(moveX_, value) && marginOn_)
        update();
}

void TNXList::SetTextMarginY(int value)
{
    if (StoreIfChanged(marginY_, value))
        update();
}

void TNXList::SetTextMoveY(int value)
{
    if (StoreIfChanged(moveY_, value))
        update();
}

void TNXList::SetTextMarginOn(bool value)
{
    if (StoreIfChanged(marginOn_, value))
        update();
}

void TNXList::SetAutoWidth(bool value)
{
    if (StoreIfChanged(autoWidth_, value))
        update();
}

void TNXList::SetMinAutoWidth(int value)
{
    if (!StoreIfChanged(minAutoWidth_, value))
        return;
    SetSize();
    update();
}

void TNXList::SetHorizontal(bool value)
{
    if (!StoreIfChanged(horizontal_, value))
        return;
    SetSize();
    update();
}

void TNXList::SetAlignment(Qt::AlignmentFlag alignment)
{
    alignment_ = alignment;
    update();
}

void TNXList::SetFontOnIdle(const LabelFont& font)
{
    fonts_.fill(Antialiased(font));
    update();
}

void TNXList::SetFontOnSelected(const LabelFont& font)
{
    fonts_[Selected] = Antialiased(font);
    update();
}

void TNXList::SetFontOnDisabled(const LabelFont& font)
{
    fonts_[Disabled] = Antialiased(font);
}

void TNXList::SetFontOnMouseMove(const LabelFont& font)
{
    fonts_[MouseMove] = Antialiased(font);
}

void TNXList::SetFontOnMouseDown(const LabelFont& font)
{
    fonts_[MouseDown] = Antialiased(font);
}

void TNXList::SetItems(const std::vector<std::string>& items)
{
    items_ = items;
    OnItemsChange();
    update();
}

void TNXList::AddItem(const std::string& item)
{
    items_.push_back(item);
    OnItemsChange();
}

void TNXList::DeleteItem(int index)
{
    if (index < 0 || index >= int(items_.size()))
        return;
    items_.erase(items_.begin() + index);
    OnItemsChange();
}

void TNXList::SetItemIndex(int index)
{
    if (StoreIfChanged(itemIndex_, index))
        update();
}

void TNXList::OnItemsChange()
{
    if (itemIndex_ >= int(items_.size())) {
        itemIndex_ = -1;
        emit changed();
    }
    SetSize();
    update();
}

void TNXList::SetSize()
{
    const int count = int(items_.size());
    if (count > 0 && itemWidth_ != 0 && itemHeight_ != 0) {
        if (autoWidth_) {
            // The widest text is guessed from the most characters (the first of a tie).
            const auto longest = std::max_element(items_.begin(), items_.end(),
                [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
            const QFontMetrics metrics(fonts_[Idle].font);
            autoItemWidth_ = metrics.horizontalAdvance(FromDataText(*longest) + QStringLiteral("HH")) + moveX_;
            autoItemWidth_ = std::max({autoItemWidth_, 6, minAutoWidth_});
            resize(horizontal_ ? QSize(count * autoItemWidth_, itemHeight_) : QSize(autoItemWidth_, count * itemHeight_));
        } else {
            resize(horizontal_ ? QSize(count * itemWidth_, itemHeight_) : QSize(itemWidth_, count * itemHeight_));
            autoItemWidth_ = 0;
        }
    }
    if (autoItemWidth_ == 0)
        return;
    for (Look look : {Idle, MouseDown, MouseMove, Disabled, Selected}) {
        if (names_[look].empty())
            continue;
        try {
            LoadImageToPicture(pictures_[look], names_[look]);
        } catch (const std::exception&) {
            continue; // the file went away: keep the picture we have
        }
        pictures_[look].Bitmap = StretchItemPicture(pictures_[look].Bitmap, autoItemWidth_);
    }
    itemWidth_ = autoItemWidth_;
}

void TNXList::paintEvent(QPaintEvent*)
{
    if (autoWidth_ && autoItemWidth_ != 0) {
        const bool stale = std::any_of(pictures_.begin(), pictures_.end(),
            [&](const TPicture& p) { return !p.Empty() && p.Width() != autoItemWidth_; });
        if (stale)
            SetSize();
    }
    // What no item covers stays transparent and shows the parent.
    QImage buffer(size(), QImage::Format_ARGB32);
    buffer.fill(Qt::transparent);
    QPainter p(&buffer);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int i = 0; i < int(items_.size()); ++i) {
        Look look = Idle;
        bool pressed = false;
        if (isEnabled() || pictures_[Disabled].Empty()) {
            if (i == hoverItem_)
                look = MouseMove;
            if (i == itemIndex_)
                look = Selected;
            if (i == pressedItem_) {
                look = MouseDown;
                pressed = true;
            }
        } else {
            look = Disabled;
        }
        const QFontMetrics metrics(fonts_[look].font);
        const QString text = FromDataText(items_[i]);
        const int textWidth = metrics.horizontalAdvance(text);
        int dy = (itemHeight_ - metrics.height()) / 2 + (pressed ? moveY_ : 0);
        int dx = pressed ? moveX_ : 0;
        if (!marginOn_) {
            if (alignment_ == Qt::AlignLeft)
                dx += 2;
            else if (alignment_ == Qt::AlignRight)
                dx += itemWidth_ - textWidth - 2;
            else
                dx += (itemWidth_ - textWidth) / 2;
        }
        dx += marginX_;
        dy += marginY_;
        const QPoint cell = horizontal_ ? QPoint(i * itemWidth_, 0) : QPoint(0, i * itemHeight_);
        if (!pictures_[look].Empty())
            p.drawImage(cell, pictures_[look].Bitmap);
        p.setFont(fonts_[look].font);
        p.setPen(fonts_[look].colour);
        p.drawText(cell + QPoint(dx, dy + metrics.ascent()), text);
    }
    p.end();
    QPainter painter(this);
    painter.drawImage(0, 0, buffer);
}

bool TNXList::Inside(int x, int y) const
{
    return x > 0 && x < width() && y > 0 && y < height();
}

int TNXList::ItemAt(int x, int y) const
{
    // Before the first idle picture there is no item size and no item to hit.
    if (itemWidth_ <= 0 || itemHeight_ <= 0)
        return -1;
    const int index = horizontal_ ? x / itemWidth_ : y / itemHeight_;
    return index < int(items_.size()) ? index : -1;
}

void TNXList::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        pressedLeft_ = true;
        if (!pictures_[MouseDown].Empty() && !items_.empty() && Inside(pos.x(), pos.y())) {
            pressedItem_ = ItemAt(pos.x(), pos.y());
            update();
        }
    }
    emit mouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
}

void TNXList::Click()
{
    itemIndex_ = pressedItem_;
    pressedItem_ = -1;
    emit changed();
    if (!items_.empty())
        update();
    emit clicked();
}

void TNXList::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool click = pressedLeft_ && event->button() == Qt::LeftButton && rect().contains(pos);
    if (event->button() == Qt::LeftButton)
        pressedLeft_ = false;
    if (click)
        Click();
    emit mouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
}

void TNXList::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!pictures_[MouseMove].Empty() && Inside(pos.x(), pos.y()) && !(event->buttons() & Qt::LeftButton)) {
        if (!items_.empty()) {
            int hover = ItemAt(pos.x(), pos.y());
            // The pressed item keeps its pressed look under the pointer.
            if (hover == pressedItem_)
                hover = -1;
            if (hover != hoverItem_) {
                hoverItem_ = hover;
                update();
            }
        }
        leaveRequested_ = true;
    }
    emit mouseMove(event->modifiers(), pos.x(), pos.y());
}

void TNXList::enterEvent(QEnterEvent*)
{
    if (!hoverRequested_)
        return;
    hoverRequested_ = false;
    leaveRequested_ = true;
}

void TNXList::leaveEvent(QEvent*)
{
    if (!leaveRequested_)
        return;
    hoverItem_ = -1;
    update();
    leaveRequested_ = false;
    hoverRequested_ = true;
}

void TNXList::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
