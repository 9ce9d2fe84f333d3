#pragma once
// The image inside the sheet's scroll box: shows the sheet bitmap at its
// own size, pixel for pixel.

#include <QWidget>

class Canvas;

class SheetImage : public QWidget
{
    Q_OBJECT

  public:
    explicit SheetImage(const Canvas& bitmap, QWidget* parent = nullptr);

    // Takes the size of a new bitmap.
    void FitToBitmap();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Canvas& bitmap_;
};
