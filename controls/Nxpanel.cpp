// TNXPanel: state machine, picture slots and painting of the skinned button.
#include "controls/Nxpanel.h"

#include "base/Files.h"

#include "controls/NxpanelAccessible.h"
#include "controls/Timage.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <stdexcept>

TNXPanel::TNXPanel(QWidget* parent) : QWidget(parent)
{
    // Moves arrive without a button held, as the hover look needs them.
    setMouseTracking(true);
    fonts_.fill(DefaultLabelFont());
    EnablePanelAccessibility();
}

TNXPanel::~TNXPanel() = default;

void TNXPanel::Loaded()
{
    if (state_ != StateNotLoaded)
        return;
    state_ = StateIdle;
    hoverRequested_ = true;
    leaveRequested_ = true;
    // Labels start in the control's own font, the one it takes from its window.
    for (int slot : {SlotIdle, SlotChecked, SlotDisabled, SlotMouseMove, SlotMouseDown}) {
        fonts_[slot].font = font();
        MakeFontAntialiased(fonts_[slot].font);
    }
}

bool TNXPanel::HoldsPicture(int slot) const
{
    return slot >= 0 && slot < 5 && !slots_[slot].source.empty();
}

bool TNXPanel::PictureDecoded(int slot) const
{
    return HoldsPicture(slot) && slots_[slot].decodedScale != 0;
}

void TNXPanel::SetPicOnIdle(const std::string& name)
{
    if (name == picNames_[SlotIdle])
        return;
    SetPicture(SlotIdle, name);
    state_ = StateIdle;
    update();
}

void TNXPanel::SetPicOnMouseMove(const std::string& name)
{
    if (name != picNames_[SlotMouseMove])
        SetPicture(SlotMouseMove, name);
}

void TNXPanel::SetPicOnMouseDown(const std::string& name)
{
    if (name != picNames_[SlotMouseDown])
        SetPicture(SlotMouseDown, name);
}

void TNXPanel::SetPicOnChecked(const std::string& name)
{
    if (name == picNames_[SlotChecked])
        return;
    SetPicture(SlotChecked, name);
    update();
}

void TNXPanel::SetPicOnDisabled(const std::string& name)
{
    if (name != picNames_[SlotDisabled])
        SetPicture(SlotDisabled, name);
}

// The shared part of the five picture setters, for a name that changed.
void TNXPanel::SetPicture(int slot, const std::string& name)
{
    if (!FileExists(name)) {
        picNames_[slot].clear();
        throw std::runtime_error("File not found : " + name);
    }
    picNames_[slot] = name;
    SetImage(UseAlpha ? 1 : 0, slot, name);
}

// Fills the slot with the file read into memory (shared with a slot that already holds
// it); decoding waits until the slot is first drawn.
void TNXPanel::SetImage(int kind, int slot, const std::string& name)
{
    FreeImage(slot);
    SlotPicture& target = slots_[slot];
    target.source = name;
    target.kind = kind;
    for (const SlotPicture& other : slots_)
        if (&other != &target && other.source == name && other.encoded) {
            target.encoded = other.encoded;
            return;
        }
    target.encoded = std::make_shared<const EncodedPicture>(EncodedPicture::ForScreen(name, devicePixelRatioF()));
}

void TNXPanel::FreeImage(int slot)
{
    slots_[slot] = SlotPicture();
}

namespace {

TNXPanel::Picture decodeSlotPicture(const EncodedPicture& encoded, int kind)
{
    if (kind == 1)
        return encoded.DecodeAlphaImage();
    return TPicture{encoded.DecodeBitmap()};
}

} // namespace

void TNXPanel::PictureJob::Decode()
{
    decoded = decodeSlotPicture(*encoded, kind);
}

std::optional<TNXPanel::PictureJob> TNXPanel::ShownPictureJob() const
{
    const int slot = shownSlot();
    if (!HoldsPicture(slot))
        return std::nullopt;
    const SlotPicture& shown = slots_[slot];
    const int scale = PictureScaleFor(devicePixelRatioF());
    if (shown.decodedScale != 0 || !shown.encoded || shown.encoded->scale != scale)
        return std::nullopt;
    return PictureJob{slot, shown.kind, scale, shown.encoded, {}};
}

void TNXPanel::PutDecoded(PictureJob job)
{
    if (!HoldsPicture(job.slot))
        return;
    SlotPicture& target = slots_[job.slot];
    if (target.encoded != job.encoded || target.kind != job.kind || target.decodedScale != 0 ||
        job.scale != PictureScaleFor(devicePixelRatioF()))
        return;
    target.decoded = std::move(job.decoded);
    target.decodedScale = job.scale;
}

// The slot's picture, decoded now unless it was already or another slot holds the same
// file decoded alike. The version read at setting time is re-read when the panel has
// moved to a screen of another density since.
const TNXPanel::Picture& TNXPanel::DecodedPicture(int slot)
{
    SlotPicture& target = slots_[slot];
    const int scale = PictureScaleFor(devicePixelRatioF());
    if (target.decodedScale == scale || target.source.empty())
        return target.decoded;
    for (const SlotPicture& other : slots_)
        if (&other != &target && other.decodedScale == scale && other.source == target.source &&
            other.kind == target.kind) {
            target.decoded = other.decoded;
            target.decodedScale = scale;
            return target.decoded;
        }
    if (target.encoded->scale != scale) {
        auto reread = std::make_shared<const EncodedPicture>(EncodedPicture::ForScreen(target.source, devicePixelRatioF()));
        if (!reread->bytes.empty())
            target.encoded = std::move(reread);
    }
    target.decoded = decodeSlotPicture(*target.encoded, target.kind);
    target.decodedScale = scale;
    return target.decoded;
}

bool TNXPanel::ImageDraw(QImage& canvas, int slot)
{
    if (!HoldsPicture(slot))
        return false;
    const Picture& picture = DecodedPicture(slot);
    if (const auto* alpha = std::get_if<AlphaImage>(&picture)) {
        alpha->Draw(canvas, 0, 0);
    } else if (const auto* opaque = std::get_if<TPicture>(&picture); opaque && !opaque->Empty()) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QPointF(0, 0), opaque->Bitmap);
    }
    return true;
}

void TNXPanel::SetText(const std::string& text)
{
    if (!StoreIfChanged(text_, text))
        return;
    update();
    NotifyPanelTextChanged(this);
}

void TNXPanel::SetTextMarginX(int value)
{
    if (StoreIfChanged(textMarginX_, value) && textMarginOn_)
        update();
}

void TNXPanel::SetTextMarginY(int value)
{
    if (StoreIfChanged(textMarginY_, value) && textMarginOn_)
        update();
}

void TNXPanel::SetTextMoveX(int value)
{
    if (StoreIfChanged(textMoveX_, value))
        update();
}

void TNXPanel::SetTextMoveY(int value)
{
    if (StoreIfChanged(textMoveY_, value))
        update();
}

void TNXPanel::SetTextMarginOn(bool value)
{
    if (StoreIfChanged(textMarginOn_, value))
        update();
}

void TNXPanel::SetAlignment(Qt::AlignmentFlag alignment)
{
    alignment_ = alignment;
    update();
}

void TNXPanel::SetFontOnIdle(const LabelFont& font)
{
    fonts_.fill(Antialiased(font));
    update();
}

void TNXPanel::SetFontOnMouseMove(const LabelFont& font)
{
    fonts_[SlotMouseMove] = Antialiased(font);
}

void TNXPanel::SetFontOnMouseDown(const LabelFont& font)
{
    fonts_[SlotMouseDown] = Antialiased(font);
}

void TNXPanel::SetFontOnChecked(const LabelFont& font)
{
    fonts_[SlotChecked] = Antialiased(font);
    state_ = checked_ ? StateChecked : StateIdle;
    update();
}

void TNXPanel::SetFontOnDisabled(const LabelFont& font)
{
    fonts_[SlotDisabled] = Antialiased(font);
}

void TNXPanel::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    state_ = checked ? StateChecked : StateIdle;
    update();
    NotifyPanelChecked(this);
}

void TNXPanel::Press()
{
    MouseDown(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1, height() / 2);
    Click();
    if (state_ == StateMouseDown) {
        state_ = checked_ ? StateChecked : StateIdle;
        update();
    }
}

void TNXPanel::SetBkColor(const QColor& colour)
{
    bkColor_ = colour;
    update();
}

// The pointer came to rest inside (Qt's enter event is the hover notification).
void TNXPanel::MEnter()
{
    if (HoldsPicture(SlotMouseMove))
        state_ = StateMouseMove;
    update();
    hoverRequested_ = false;
    leaveRequested_ = true;
}

void TNXPanel::MLeave()
{
    if (HoldsPicture(SlotIdle))
        state_ = StateIdle;
    update();
    leaveRequested_ = false;
    hoverRequested_ = true;
}

void TNXPanel::MouseDown(Qt::MouseButton button, Qt::MouseButtons, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (HoldsPicture(SlotMouseDown) && state_ != StateMouseDown) {
        state_ = StateMouseDown;
        update();
    }
    emit mouseDown(button, modifiers, x, y);
}

void TNXPanel::MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (HoldsPicture(SlotMouseMove) && !(held & Qt::LeftButton) && state_ != StateMouseMove) {
        state_ = StateMouseMove;
        update();
        leaveRequested_ = true;
    }
    emit mouseMove(modifiers, x, y);
}

void TNXPanel::Click()
{
    emit clicked();
}

void TNXPanel::enterEvent(QEnterEvent*)
{
    if (hoverRequested_)
        MEnter();
}

void TNXPanel::leaveEvent(QEvent*)
{
    if (leaveRequested_)
        MLeave();
}

void TNXPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    pressedLeft_ = event->button() == Qt::LeftButton;
    MouseDown(event->button(), event->buttons(), event->modifiers(), p.x(), p.y());
}

void TNXPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TNXPanel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a left press and release inside the panel.
    const bool click = pressedLeft_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        pressedLeft_ = false;
    if (click)
        Click();
}

void TNXPanel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    emit focusEntered();
}

void TNXPanel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    emit focusLeft();
}

void TNXPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void TNXPanel::PaintPlainFace(QImage& canvas) const
{
    canvas.fill(bkColor_);
}

void TNXPanel::CopyBackground(QImage& canvas) const
{
    const QImage& source = BackgroundImage->Canvas();
    if (source.isNull())
        return;
    const QPoint origin = BackgroundImage->mapFromGlobal(mapToGlobal(QPoint(0, 0)));
    const double ratio = source.devicePixelRatio();
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), source,
                      QRectF(origin.x() * ratio, origin.y() * ratio, width() * ratio, height() * ratio));
}

// The look of the present state: the checked picture over the state's own, or the disabled
// picture when the panel is disabled or its state has no picture.
int TNXPanel::shownSlot() const
{
    if (state_ >= 0 && HoldsPicture(state_) && isEnabled())
        return checked_ && HoldsPicture(SlotChecked) ? int(SlotChecked) : state_;
    return SlotDisabled;
}

void TNXPanel::paintEvent(QPaintEvent*)
{
    // Composed off screen at the screen's pixel density; what no step paints stays
    // transparent and shows the parent.
    const double ratio = devicePixelRatioF();
    QImage canvas(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)), QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    bool painted = false;
    if (BackgroundImage) {
        CopyBackground(canvas);
    } else if (UseAlpha) {
        PaintPlainFace(canvas);
        painted = true;
    }

    const int slot = shownSlot();
    if (ImageDraw(canvas, slot))
        painted = true;
    const LabelFont* font = &fonts_[SlotDisabled];
    if (slot == SlotChecked && checked_)
        font = &fonts_[SlotChecked];
    else if (slot != SlotDisabled)
        font = &fonts_[(state_ == StateMouseMove || state_ == StateMouseDown) ? state_ : int(SlotIdle)];
    if (!painted)
        PaintPlainFace(canvas);
    DrawLabel(canvas, *font);

    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), canvas);
}

PanelLabel LayOutPanelLabel(const QFontMetrics& metrics, const QString& text, QSize panel,
                            const LabelPlacement& placement)
{
    PanelLabel label;
    label.text = text;
    int h = metrics.height();
    int w = metrics.horizontalAdvance(text);
    const bool pressed = placement.pressed;

    if (text.contains(QChar(10))) {
        h *= 1 + int(text.count(QChar(10)));
        const int x = placement.marginX + (pressed ? placement.moveX : 0);
        const int y = placement.marginY + (pressed ? placement.moveY : 0);
        const int top = (panel.height() - h) / 2 + y - 1;
        const int bottom = (panel.height() + h) / 2 + y + 1;
        label.box = QRect(x, top, panel.width() - 3, bottom - top);
        label.multiLine = true;
        return label;
    }

    // Shorten a label that does not fit, from the end, keeping room for "..".
    bool shortened = false;
    while (w + placement.marginX >= panel.width() - 3 && label.text.size() > 1) {
        label.text.chop(1);
        w = metrics.horizontalAdvance(label.text + QStringLiteral(".."));
        shortened = true;
    }
    if (shortened)
        label.text += QStringLiteral("..");
    int x = 0;
    int y = (panel.height() - h) / 2;
    if (!placement.marginOn) {
        if (placement.alignment == Qt::AlignLeft)
            x = 2;
        else if (placement.alignment == Qt::AlignRight)
            x = panel.width() - w - 2;
        else
            x = (panel.width() - w) / 2;
    }
    x += placement.marginX;
    y += placement.marginY;
    if (pressed) {
        x += placement.moveX;
        y += placement.moveY;
    }
    label.origin = QPoint(x, y);
    return label;
}

void TNXPanel::DrawLabel(QImage& canvas, const LabelFont& font) const
{
    if (text_.empty())
        return;
    const QFontMetrics metrics(font.font);
    const LabelPlacement placement{textMarginX_, textMarginY_, textMoveX_, textMoveY_,
                                   textMarginOn_, alignment_, state_ == StateMouseDown};
    const PanelLabel label = LayOutPanelLabel(
        metrics, FromDataText(text_), size(), placement);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font.font);
    painter.setPen(font.colour);
    if (label.multiLine)
        painter.drawText(label.box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label.text);
    else
        painter.drawText(QPoint(label.origin.x(), label.origin.y() + metrics.ascent()), label.text);
}
