#pragma once

#include "platform/picture.h"

#include <QWidget>

namespace dovrante {

// Paints a picture at its natural size from the widget's top-left corner.
class PictureWidget final : public QWidget {
public:
    explicit PictureWidget(QWidget *parent) : QWidget(parent) {}

    void setPicture(const PicturePtr &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PicturePtr m_picture;
};

} // namespace dovrante
