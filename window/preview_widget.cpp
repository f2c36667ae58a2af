#include "window/preview_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace lobewright {
namespace {

constexpr uint32_t kBackground = 0xFF202428;
// A drag across the whole width of a 300-pixel preview turns the scene by about 170 degrees.
constexpr double kRadiansPerPixel = 0.01;
// One notch of a wheel zooms by 15 percent.
constexpr double kZoomPerNotch = 1.15;
constexpr double kEighthsPerNotch = 120.0;
constexpr const char* kEmptyText =
    "Choose an input with In file...:\nthe MO or field picked appears here.";

}  // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setCursor(Qt::OpenHandCursor);
}

void PreviewWidget::setScene(std::shared_ptr<const WrittenScene> scene, bool structure,
                             const PreviewView& first, bool fromFirstView) {
  m_scene = std::move(scene);
  m_firstView = first;
  if (fromFirstView) m_view = first;
  setStructureShown(structure);
}

void PreviewWidget::clear() { setScene(nullptr, false); }

void PreviewWidget::setStructureShown(bool structure) {
  m_structure = structure && m_scene ? buildBallAndStick(m_scene->atoms) : BallAndStickModel{};
  update();
}

void PreviewWidget::setColours(const LobeColours& colours) {
  m_colours = colours;
  update();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const qreal ratio = devicePixelRatioF();
  const int width = static_cast<int>(std::lround(this->width() * ratio));
  const int height = static_cast<int>(std::lround(this->height() * ratio));
  PreviewImage image =
      renderPreview({m_scene.get(), &m_structure, m_colours}, m_view, width, height, kBackground);
  if (image.pixels.empty()) {
    painter.fillRect(rect(), QColor::fromRgb(kBackground));
  } else {
    // The image borrows the pixels, which outlive the drawing.
    QImage frame(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                 image.width * 4, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    painter.drawImage(QPoint(0, 0), frame);
  }
  if (!m_scene) {
    painter.setPen(QColor(170, 170, 170));
    painter.drawText(rect(), Qt::AlignCenter, kEmptyText);
  }
}

void PreviewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_lastDrag = event->position().toPoint();
}

void PreviewWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint at = event->position().toPoint();
  const QPoint moved = at - m_lastDrag;
  m_lastDrag = at;
  m_view = turned(m_view, moved.x() * kRadiansPerPixel, moved.y() * kRadiansPerPixel);
  update();
}

void PreviewWidget::mouseDoubleClickEvent(QMouseEvent*) {
  m_view = m_firstView;
  update();
}

void PreviewWidget::wheelEvent(QWheelEvent* event) {
  m_view = zoomed(m_view, std::pow(kZoomPerNotch, event->angleDelta().y() / kEighthsPerNotch));
  event->accept();
  update();
}

}  // namespace lobewright
