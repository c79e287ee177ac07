// A frame drawn with a pen and no fill: the keyboard focus frames of the selectors (a dotted
// one around the chord-type column, a bold one around the focused button). Called on the
// GUI thread.
#pragma once

#include <QPen>
#include <QWidget>

class FocusFrame : public QWidget {
public:
    // The pen's width lies inside the frame's rectangle.
    FocusFrame(QWidget* parent, QPen pen, bool rounded);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPen pen_;
    bool rounded_;
};
