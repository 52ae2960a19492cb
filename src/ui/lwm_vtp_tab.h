// The tab " LWM / VTP": the mask's land or water and altitude, and the vector
// data's mode, land class, type, width and layer.
#pragma once

#include <QWidget>

class LwmVtpTab : public QWidget {
  public:
    explicit LwmVtpTab(QWidget* parent = nullptr);
};
