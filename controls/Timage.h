// TImage: a widget that owns a canvas the program draws on and paints itself
// from it, so one image's canvas can be copied into another. The canvas has the
// widget's size in layout pixels and is drawn at the screen's device pixel ratio,
// so a QPainter on it works in layout pixels and draws crisp on high-density
// screens. Called on the GUI thread.
#pragma once

#include <QImage>
#include <QWidget>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // The canvas (RGB32, device pixel ratio PixelRatio()). Created at the widget's size
    // on first use when no picture was set. Call Repaint() after drawing on it.
    QImage& Canvas();
    const QImage& Canvas() const { return canvas_; }
    // The device pixel ratio the canvas is drawn at: the screen's when it was made.
    double PixelRatio() const;
    // Gives the canvas a new size in layout pixels, black; the old content is dropped.
    void SetCanvasSize(int width, int height);
    // The canvas becomes a copy of the picture at the picture's layout size (converted to
    // RGB32 and resampled to the canvas's ratio when the picture has another), repainted.
    void SetPicture(const QImage& picture);
    void Repaint() { update(); }

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
    int tag_ = 0;
};
