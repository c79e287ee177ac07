// TNXSlider: a slider painted from pictures: a track of a left end, a tiled
// middle and a right end, and a thumb dragged along it. Called on the GUI thread.
#pragma once

#include "common/Vexel/src/PicUtils.h"

#include <QColor>
#include <QWidget>

#include <string>
#include <vector>

// Left edges of the tile copies that cover `length` pixels from `start`: copies
// go on while the covered length is below `length`, so the last may be cut.
std::vector<int> TileOffsets(int start, int length, int tileSize);

class TNXSlider : public QWidget {
    Q_OBJECT
public:
    explicit TNXSlider(QWidget* parent = nullptr);

    // Takes the idle tile and thumb, arms hover tracking and composes the track.
    void Loaded();

    // Picture setters: an unchanged name does nothing; a missing file clears the
    // name and throws ("File not found : " or, for the ends, "Error loading : ").
    void SetPicBackgroundLeft(const std::string& name);
    void SetPicBackgroundRight(const std::string& name);
    void SetPicBackgroundIdle(const std::string& name);
    void SetPicBackgroundMouseMove(const std::string& name);
    void SetPicSliderIdle(const std::string& name);
    void SetPicSliderMouseDown(const std::string& name);
    const std::string& GetPicBackgroundLeft() const { return names_[Left]; }
    const std::string& GetPicBackgroundRight() const { return names_[Right]; }
    const std::string& GetPicBackgroundIdle() const { return names_[TileIdle]; }
    const std::string& GetPicBackgroundMouseMove() const { return names_[TileMouseMove]; }
    const std::string& GetPicSliderIdle() const { return names_[ThumbIdle]; }
    const std::string& GetPicSliderMouseDown() const { return names_[ThumbHeld]; }

    void SetPosition(int value);
    void SetMinPosition(int value);
    void SetMaxPosition(int value);
    void SetSlideSize(int value);
    int Position() const { return position_; }
    int MinPosition() const { return minPosition_; }
    int MaxPosition() const { return maxPosition_; }
    int SlideSpaceSize() const { return slideSpaceSize_; }
    int ThumbOffset() const { return offset_; }

    void SetBkIdleColor(const QColor& colour) { bkIdleColor_ = colour; }
    void SetBkMouseMoveColor(const QColor& colour) { bkMouseMoveColor_ = colour; }
    QColor BkIdleColor() const { return bkIdleColor_; }
    QColor BkMouseMoveColor() const { return bkMouseMoveColor_; }

    bool Horizontal = false;
    int MarginX = 0;
    int MarginY = 0;

    // Composes the track from the end pictures and the current tile.
    void Resize();
    // The composed track, for inspection.
    const QImage& Track() const { return track_; }

signals:
    void changed();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum Picture { Left, Right, TileIdle, TileMouseMove, ThumbIdle, ThumbHeld, PictureCount };

    void UpdateOffset();
    void SlideSpaceFromTile();
    void MouseMove(Qt::MouseButtons held, int x, int y);
    void MEnter();
    void MLeave();
    const TPicture* CurrentTile() const { return currentTile_ < 0 ? nullptr : &pictures_[currentTile_]; }

    std::string names_[PictureCount];
    TPicture pictures_[PictureCount];
    QImage track_;
    int currentTile_ = -1;
    int currentThumb_ = -1;
    QColor currentColour_ = Qt::black;
    QColor bkIdleColor_ = Qt::black;
    QColor bkMouseMoveColor_ = Qt::black;
    int offset_ = 0;
    int thumbWidth_ = 1;
    int thumbHeight_ = 1;
    int slideSpaceSize_ = 0;
    int position_ = 1;
    int minPosition_ = 0;
    int maxPosition_ = 100;
    bool hoverRequested_ = false;
    bool leaveRequested_ = false;
};
