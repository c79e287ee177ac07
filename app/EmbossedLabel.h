// A label that takes no mouse input and draws its text embossed, as disabled labels do:
// a light copy one pixel down and right under the text in the shadow colour.
// Called on the GUI thread.
#pragma once

#include <QLabel>

class EmbossedLabel : public QLabel {
public:
    explicit EmbossedLabel(QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
