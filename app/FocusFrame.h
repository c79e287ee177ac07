// A frame drawn with a dotted pen and no fill: the keyboard focus frames of the selectors.
// Called on the GUI thread.
#pragma once

#include <QColor>
#include <QWidget>

class DottedFrame : public QWidget {
public:
    DottedFrame(QWidget* parent, QColor colour, bool rounded);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
    bool rounded_;
};
