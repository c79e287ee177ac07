// TNXList: a one-row or one-column list of text items, each drawn on a picture
// (idle, mouse over, pressed, selected, disabled); a click selects an item.
// Called on the GUI thread.
#pragma once

#include "common/Vexel/src/PicUtils.h"
#include "controls/Nxcomponentutils.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

// Widens or narrows an item picture to `width`. Narrowing keeps the rightmost
// 10 columns at the new right edge; widening keeps the last fifth of the columns
// at the right edge and repeats the column before them across the gap.
QImage StretchItemPicture(const QImage& picture, int width);

class TNXList : public QWidget {
    Q_OBJECT
public:
    explicit TNXList(QWidget* parent = nullptr);

    // Arms hover tracking and makes the fonts antialiased.
    void Loaded();

    // Picture setters: as the panel's ("File not found : ", "Error loading : ").
    void SetPicOnIdle(const std::string& name);
    void SetPicOnMouseMove(const std::string& name);
    void SetPicOnMouseDown(const std::string& name);
    void SetPicOnSelected(const std::string& name);
    void SetPicOnDisabled(const std::string& name);
    const std::string& GetPicOnIdle() const { return names_[Idle]; }
    const std::string& GetPicOnMouseMove() const { return names_[MouseMove]; }
    const std::string& GetPicOnMouseDown() const { return names_[MouseDown]; }
    const std::string& GetPicOnSelected() const { return names_[Selected]; }
    const std::string& GetPicOnDisabled() const { return names_[Disabled]; }

    void SetTextMarginX(int value);
    void SetTextMoveX(int value);
    void SetTextMarginY(int value);
    void SetTextMoveY(int value);
    void SetTextMarginOn(bool value);
    void SetAutoWidth(bool value);
    void SetMinAutoWidth(int value);
    void SetHorizontal(bool value);
    void SetAlignment(Qt::AlignmentFlag alignment);
    int MarginX() const { return marginX_; }
    int MoveX() const { return moveX_; }
    int MarginY() const { return marginY_; }
    int MoveY() const { return moveY_; }
    bool MarginOn() const { return marginOn_; }
    bool AutoWidth() const { return autoWidth_; }
    int MinAutoWidth() const { return minAutoWidth_; }
    bool Horizontal() const { return horizontal_; }

    void SetFontOnIdle(const LabelFont& font);
    void SetFontOnSelected(const LabelFont& font);
    void SetFontOnDisabled(const LabelFont& font);
    void SetFontOnMouseMove(const LabelFont& font);
    void SetFontOnMouseDown(const LabelFont& font);

    // The items; every change re-checks the selection and resizes the list.
    void SetItems(const std::vector<std::string>& items);
    void AddItem(const std::string& item);
    void DeleteItem(int index);
    const std::vector<std::string>& Items() const { return items_; }

    // Selects without firing changed().
    void SetItemIndex(int index);
    int ItemIndex() const { return itemIndex_; }
    int PressedItem() const { return pressedItem_; }
    int HoverItem() const { return hoverItem_; }
    int ItemWidth() const { return itemWidth_; }
    int ItemHeight() const { return itemHeight_; }
    int AutoItemWidth() const { return autoItemWidth_; }

signals:
    void changed();
    void clicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum Look { MouseMove, MouseDown, Idle, Selected, Disabled, LookCount };

    bool LoadPicture(Look look, const std::string& name);
    void TakeItemSizeFromIdle();
    void OnItemsChange();
    void SetSize();
    bool Inside(int x, int y) const;
    int ItemAt(int x, int y) const;
    void Click();

    std::array<std::string, LookCount> names_;
    std::array<TPicture, LookCount> pictures_;
    std::array<LabelFont, LookCount> fonts_;
    std::vector<std::string> items_;
    bool autoWidth_ = false;
    int autoItemWidth_ = 0;
    int marginX_ = 0;
    int moveX_ = 0;
    int minAutoWidth_ = 10;
    int moveY_ = 0;
    int marginY_ = 0;
    bool marginOn_ = false;
    bool horizontal_ = false;
    Qt::AlignmentFlag alignment_ = Qt::AlignHCenter;
    int itemIndex_ = -1;
    int pressedItem_ = -1;
    int hoverItem_ = -1;
    int itemWidth_ = 0;
    int itemHeight_ = 0;
    bool pressedLeft_ = false;
    bool hoverRequested_ = false;
    bool leaveRequested_ = false;
};
