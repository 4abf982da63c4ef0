// The picture box of the bitmap window: a sunken 2-pixel border around an
// inside that shows the view image one pixel per dot, from its top-left
// corner. It paints the image it is given and keeps no copy of its own.
#pragma once
#include <QFrame>
#include <functional>

class QImage;

namespace quorel {

class PictureBox : public QFrame {
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // The image to paint (not owned; nullptr paints the inside white).
  void SetImage(const QImage* image);
  void SetDoubleClick(std::function<void()> handler) { doubleClick_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  const QImage* image_ = nullptr;
  std::function<void()> doubleClick_;
};

}  // namespace quorel
