#pragma once

#include "platform/picture.h"

#include <QWidget>

namespace dovrante {

// Paints a picture at its natural size from the widget's top-left corner. It keeps the mouse
// presses it gets, so that they do not reach the viewport or the window beneath as clicks there.
class PictureWidget final : public QWidget {
public:
    explicit PictureWidget(QWidget *parent) : QWidget(parent) {}

    void setPicture(const PicturePtr &picture);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    PicturePtr m_picture;
};

} // namespace dovrante
