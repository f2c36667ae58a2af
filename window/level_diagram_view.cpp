#include "window/level_diagram_view.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "app/level_diagram_build.h"

namespace lobewright {
namespace {

QColor qColour(const Rgb& colour) { return QColor::fromRgbF(colour.r, colour.g, colour.b); }

const QColor kPage(Qt::white);
const QColor kMark(255, 236, 150);

}  // namespace

LevelDiagramView::LevelDiagramView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
}

void LevelDiagramView::setRows(const std::vector<OrbitalRow>& rows) {
  m_rows = rows;
  m_diagram = buildLevelDiagram(rows, std::nullopt, std::nullopt, {}).diagram;
  layOut();
  update();
}

void LevelDiagramView::showOrbital(int number, Spin spin) {
  m_number = number;
  m_spin = spin;
  update();
}

void LevelDiagramView::layOut() {
  m_layout = {};
  if (!m_diagram) return;
  DiagramStyle style;
  style.width = width();
  style.height = height();
  style.fontSize = std::max(7, QFontInfo(font()).pixelSize() - 1);
  style.detail = DiagramDetail::energies;
  m_layout = layOutDiagram(*m_diagram, style);
}

std::optional<DiagramPlace> LevelDiagramView::placeOf(int number, Spin spin) const {
  if (!m_diagram) return std::nullopt;
  for (const DiagramPlace& place : m_layout.places) {
    const DiagramColumn& column = m_diagram->columns[place.column];
    if (column.levels[place.level].number != number) continue;
    if (column.spin == Spin::none || column.spin == spin) return place;
  }
  return std::nullopt;
}

std::optional<QPoint> LevelDiagramView::pointOf(int number, Spin spin) const {
  const std::optional<DiagramPlace> place = placeOf(number, spin);
  if (!place) return std::nullopt;
  return QPoint(static_cast<int>(0.5 * (place->left + place->right)),
                static_cast<int>(0.5 * (place->top + place->bottom)));
}

void LevelDiagramView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOut();
}

void LevelDiagramView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), isEnabled() ? kPage : palette().color(QPalette::Window));
  painter.setRenderHint(QPainter::Antialiasing);
  if (const std::optional<DiagramPlace> marked = placeOf(m_number, m_spin)) {
    painter.fillRect(QRectF(marked->left - 2, marked->top, marked->right - marked->left + 4,
                            marked->bottom - marked->top),
                     kMark);
  }
  for (const DiagramLine& line : m_layout.lines) {
    painter.setPen(QPen(qColour(line.colour), line.width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
  }
  painter.setPen(Qt::NoPen);
  for (const DiagramTriangle& triangle : m_layout.triangles) {
    painter.setBrush(qColour(triangle.colour));
    QPolygonF corners;
    for (const DiagramPoint& p : triangle.corners) corners << QPointF(p.x, p.y);
    painter.drawPolygon(corners);
  }
  for (const DiagramText& text : m_layout.texts) {
    QFont face = font();
    face.setPixelSize(std::max(1, static_cast<int>(text.size + 0.5)));
    face.setBold(text.bold);
    painter.setFont(face);
    painter.setPen(qColour(text.colour));
    const QString words = QString::fromStdString(text.text);
    const double advance = QFontMetricsF(face).horizontalAdvance(words);
    const double shift = text.anchor == TextAnchor::middle ? advance / 2.0
                         : text.anchor == TextAnchor::end  ? advance
                                                           : 0.0;
    painter.drawText(QPointF(text.at.x - shift, text.at.y), words);
  }
}

void LevelDiagramView::mousePressEvent(QMouseEvent* event) {
  if (!m_diagram || event->button() != Qt::LeftButton) return;
  const QPointF at = event->position();
  const std::optional<DiagramPlace> place = levelAt(m_layout, {at.x(), at.y()});
  if (!place) return;
  const DiagramColumn& column = m_diagram->columns[place->column];
  const int number = column.levels[place->level].number;
  for (const OrbitalRow& row : m_rows) {
    if (row.number == number && row.spin == column.spin) {
      emit picked(row);
      return;
    }
  }
}

}  // namespace lobewright
