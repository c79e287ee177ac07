// TNXPanel: the skinned picture button. It paints itself from up to five
// pictures (idle, mouse over, pressed, checked, disabled) and draws a one- or
// multi-line label over them in one of five fonts. A picture is decoded when it is
// first shown, once per file (the pressed and checked looks often share one), in the
// version that fits the screen's device pixel ratio. Called on the GUI thread.
#pragma once

#include "common/Vexel/src/PicUtils.h"
#include "controls/Nxcomponentutils.h"

#include <QColor>
#include <QFontMetrics>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <variant>

class TImage;

// How a panel's label is offset: margins, the shift while pressed, alignment.
struct LabelPlacement {
    int marginX = 0;
    int marginY = 0;
    int moveX = 0;
    int moveY = 0;
    bool marginOn = false;
    Qt::AlignmentFlag alignment = Qt::AlignHCenter;
    bool pressed = false;
};

// Where a panel writes its label. A one-line label too wide for the panel is
// shortened from the end and gets ".."; a label with line feeds is centred in a box.
struct PanelLabel {
    QString text;
    QPoint origin;  // top-left of a one-line label
    QRect box;      // the box of a multi-line label
    bool multiLine = false;
};
PanelLabel LayOutPanelLabel(const QFontMetrics& metrics, const QString& text, QSize panel,
                            const LabelPlacement& placement);

class TNXPanel : public QWidget {
    Q_OBJECT
public:
    // Picture slots; the state value doubles as the slot of its look.
    enum Slot { SlotIdle = 0, SlotMouseMove = 1, SlotMouseDown = 2, SlotChecked = 3, SlotDisabled = 4 };
    // -1 until Loaded, then idle, mouse over, pressed or checked.
    enum StateValue { StateNotLoaded = -1, StateIdle = 0, StateMouseMove = 1, StateMouseDown = 2, StateChecked = 3 };

    explicit TNXPanel(QWidget* parent = nullptr);
    ~TNXPanel() override;

    // Arms hover and leave tracking and starts every label font as the control's own
    // (inherited) font, antialiased. Runs once;
    // later calls do nothing. Call it after the parent is set, before the pictures.
    void Loaded();
    int State() const { return state_; }

    // Picture setters: an unchanged name does nothing; a missing file clears the
    // name and throws "File not found : <name>" (the slot keeps its picture).
    // The file is decoded when the slot is first drawn; one that does not decode
    // then draws nothing.
    void SetPicOnIdle(const std::string& name);
    void SetPicOnMouseMove(const std::string& name);
    void SetPicOnMouseDown(const std::string& name);
    void SetPicOnChecked(const std::string& name);
    void SetPicOnDisabled(const std::string& name);
    const std::string& GetPicOnIdle() const { return picNames_[SlotIdle]; }
    const std::string& GetPicOnMouseMove() const { return picNames_[SlotMouseMove]; }
    const std::string& GetPicOnMouseDown() const { return picNames_[SlotMouseDown]; }
    const std::string& GetPicOnChecked() const { return picNames_[SlotChecked]; }
    const std::string& GetPicOnDisabled() const { return picNames_[SlotDisabled]; }
    // Whether a slot holds a picture (an undecodable file still fills its slot).
    bool HoldsPicture(int slot) const;
    // Whether the slot's file has been decoded yet (tests and benchmarks).
    bool PictureDecoded(int slot) const;

    using Picture = std::variant<std::monostate, TPicture, AlphaImage>;
    // The picture the panel paints in its present state, to be decoded on another thread
    // (Decode) and handed back on the panel's (PutDecoded), so that painting need not
    // decode it. The panel may change meanwhile: what no longer fits is dropped.
    struct PictureJob {
        int slot = -1;
        int kind = 0;
        int scale = 0;
        std::shared_ptr<const EncodedPicture> encoded;
        Picture decoded;
        void Decode();
    };
    // None when that picture is decoded already, or there is none to decode.
    std::optional<PictureJob> ShownPictureJob() const;
    void PutDecoded(PictureJob job);

    void SetText(const std::string& text);
    const std::string& GetText() const { return text_; }
    void SetTextMarginX(int value);
    void SetTextMarginY(int value);
    void SetTextMoveX(int value);
    void SetTextMoveY(int value);
    void SetTextMarginOn(bool value);
    int GetTextMarginX() const { return textMarginX_; }
    int GetTextMarginY() const { return textMarginY_; }
    int GetTextMoveX() const { return textMoveX_; }
    int GetTextMoveY() const { return textMoveY_; }
    bool GetTextMarginOn() const { return textMarginOn_; }
    // Where a one-line label sits when the text margin is off: Qt::AlignLeft,
    // Qt::AlignRight or Qt::AlignHCenter (the default).
    void SetAlignment(Qt::AlignmentFlag alignment);
    Qt::AlignmentFlag Alignment() const { return alignment_; }

    // Setting the idle font replaces all five; the others replace only their own.
    void SetFontOnIdle(const LabelFont& font);
    void SetFontOnMouseMove(const LabelFont& font);
    void SetFontOnMouseDown(const LabelFont& font);
    void SetFontOnChecked(const LabelFont& font);
    void SetFontOnDisabled(const LabelFont& font);
    const LabelFont& FontOnIdle() const { return fonts_[SlotIdle]; }
    const LabelFont& FontOnMouseMove() const { return fonts_[SlotMouseMove]; }
    const LabelFont& FontOnMouseDown() const { return fonts_[SlotMouseDown]; }
    const LabelFont& FontOnChecked() const { return fonts_[SlotChecked]; }
    const LabelFont& FontOnDisabled() const { return fonts_[SlotDisabled]; }

    void SetChecked(bool checked);
    bool Checked() const { return checked_; }
    // A left press and click at the left of the face, as a screen reader's press action
    // gives it; the pressed look does not stay.
    void Press();
    // Colour of the plain face drawn where no picture is.
    void SetBkColor(const QColor& colour);
    QColor BkColor() const { return bkColor_; }
    // Pictures set from now on keep their alpha and are blended over the face.
    bool UseAlpha = false;
    // A canvas whose content shows through behind the panel; not owned.
    TImage* BackgroundImage = nullptr;

    // Storage for the program; never drawn and never read by the panel.
    void SetCaption(const std::string& caption) { caption_ = caption; }
    const std::string& Caption() const { return caption_; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void clicked();
    void focusEntered();
    void focusLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What a slot shows: the file it came from ("" for an empty slot), read when it was
    // set, and decoded on first use.
    struct SlotPicture {
        std::string source;
        int kind = 0;                                   // 0 opaque, 1 with alpha
        std::shared_ptr<const EncodedPicture> encoded;  // shared by slots of one file
        Picture decoded;
        int decodedScale = 0;                           // 0 = not decoded yet
    };

    void SetPicture(int slot, const std::string& name);
    void SetImage(int kind, int slot, const std::string& name);
    void FreeImage(int slot);
    const Picture& DecodedPicture(int slot);
    int shownSlot() const;
    bool ImageDraw(QImage& canvas, int slot);
    void MEnter();
    void MLeave();
    void MouseDown(Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::MouseButtons held, Qt::KeyboardModifiers modifiers, int x, int y);
    void Click();
    void PaintPlainFace(QImage& canvas) const;
    void CopyBackground(QImage& canvas) const;
    void DrawLabel(QImage& canvas, const LabelFont& font) const;

    std::array<std::string, 5> picNames_;
    std::array<SlotPicture, 5> slots_;
    std::array<LabelFont, 5> fonts_;
    QColor bkColor_ = Qt::black;
    std::string text_;
    std::string caption_;
    int textMarginX_ = 0;
    int textMoveX_ = 0;
    int textMoveY_ = 0;
    int textMarginY_ = 0;
    bool textMarginOn_ = false;
    Qt::AlignmentFlag alignment_ = Qt::AlignHCenter;
    bool checked_ = false;
    int state_ = StateNotLoaded;
    int tag_ = 0;
    bool pressedLeft_ = false;
    // Hover and leave notifications are one-shot requests, re-armed by each other.
    bool hoverRequested_ = false;
    bool leaveRequested_ = false;
};
