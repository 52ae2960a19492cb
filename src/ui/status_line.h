// The window's status bar: a message too long for the room left of the
// permanent labels (the working folder) ends in "..." instead of running
// under them, and shows whole as the bar's tool tip.
#pragma once

#include <QStatusBar>

class StatusLine : public QStatusBar {
  public:
    explicit StatusLine(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
