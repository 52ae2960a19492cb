// Picture1: the 256 x 256 area view. It draws the loaded picture unscaled
// from its top-left corner on a light grey ground and reports every mouse
// move and press with its own client size.
#pragma once

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QWidget>

class PictureView : public QWidget {
    Q_OBJECT
  public:
    explicit PictureView(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }
    void setPicture(const QImage& picture);
    void clearPicture();

  signals:
    void mouseMoved(QPointF position, QSizeF clientSize);
    void mousePressed(QPointF position, QSizeF clientSize);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QSizeF clientSize() const;

    QImage picture_;
};
