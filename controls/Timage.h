// TImage: a widget that owns a canvas the program draws on and paints itself
// from it, so one image's canvas can be copied into another. Called on the GUI thread.
#pragma once

#include <QImage>
#include <QWidget>

#include <string>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // The canvas (RGB32). Created at the widget's size on first use when no
    // picture was set. Call Repaint() after drawing on it.
    QImage& Canvas();
    const QImage& Canvas() const { return canvas_; }
    // Gives the canvas a new size, black; the old content is dropped.
    void SetCanvasSize(int width, int height);
    // The canvas becomes a copy of the picture (converted to RGB32), repainted.
    void SetPicture(const QImage& picture);
    // Loads a picture file opaque; a missing file throws (see LoadImageToPicture).
    void LoadPicture(const std::string& file);
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
