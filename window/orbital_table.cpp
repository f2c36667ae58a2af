#include "window/orbital_table.h"

#include <QHeaderView>
#include <algorithm>

namespace lobewright {
namespace {

enum Column { kNumber, kEnergy, kOccupancy, kLabel, kFrontier, kColumnCount };

QString numberText(const OrbitalRow& row) {
  const QString number = QString::number(row.number);
  switch (row.spin) {
    case Spin::alpha:
      return number + QStringLiteral(" α");
    case Spin::beta:
      return number + QStringLiteral(" β");
    case Spin::none:
      break;
  }
  return number;
}

}  // namespace

OrbitalTable::OrbitalTable(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(kColumnCount);
  setHeaderLabels({"MO", "Energy (eV)", "Occ.", "Label", ""});
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Out of the classic controls' tab chain; a click gives it the keys.
  setFocusPolicy(Qt::ClickFocus);
  header()->setStretchLastSection(true);
  // The columns are narrow; the header's default least width would push the marks out of view.
  header()->setMinimumSectionSize(fontMetrics().horizontalAdvance("MO") + 8);
  header()->setSectionsMovable(false);
  const auto pick = [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int at = indexOfTopLevelItem(item);
    if (at >= 0 && static_cast<std::size_t>(at) < m_rows.size()) emit picked(m_rows[at]);
  };
  // A click on the row already current picks it again: the MO field may have changed since.
  connect(this, &QTreeWidget::currentItemChanged, this, pick);
  connect(this, &QTreeWidget::itemClicked, this, pick);
}

void OrbitalTable::setRows(const OrbitalListing& listing) {
  // Filling the table is no choice of the user's.
  const QSignalBlocker quiet(this);
  clear();
  m_rows = listing.rows;
  const QString note = QString::fromStdString(listing.note);
  headerItem()->setToolTip(kEnergy, note);
  QList<QTreeWidgetItem*> items;
  QTreeWidgetItem* homo = nullptr;
  for (const OrbitalRow& row : m_rows) {
    auto* item = new QTreeWidgetItem;
    item->setText(kNumber, numberText(row));
    item->setText(kEnergy, row.energy ? QString::number(*row.energy, 'f', 3) : QStringLiteral("?"));
    item->setToolTip(kEnergy, note);
    item->setText(kOccupancy, QString::number(row.occupancy, 'f', 2));
    item->setText(kLabel, QString::fromStdString(row.symmetry));
    item->setText(kFrontier, QString::fromStdString(orbitalMarks(row)));
    for (const Column right : {kNumber, kEnergy, kOccupancy}) {
      item->setTextAlignment(right, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (!row.frontier.empty() || row.singlyOccupied) {
      QFont bold = font();
      bold.setBold(true);
      for (int column = 0; column < kColumnCount; ++column) item->setFont(column, bold);
    }
    if (homo == nullptr && row.frontier == "HOMO") homo = item;
    items.push_back(item);
  }
  addTopLevelItems(items);
  for (int column = 0; column < kColumnCount; ++column) resizeColumnToContents(column);
  if (homo != nullptr) scrollToItem(homo, QAbstractItemView::PositionAtCenter);
}

bool OrbitalTable::hasBetaRows() const {
  return std::any_of(m_rows.begin(), m_rows.end(),
                     [](const OrbitalRow& row) { return row.spin == Spin::beta; });
}

void OrbitalTable::showOrbital(int number, Spin spin) {
  const QSignalBlocker quiet(this);
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    const OrbitalRow& row = m_rows[i];
    if (row.number != number || (row.spin != Spin::none && row.spin != spin)) continue;
    QTreeWidgetItem* item = topLevelItem(static_cast<int>(i));
    setCurrentItem(item);
    scrollToItem(item);
    return;
  }
  setCurrentItem(nullptr);
  clearSelection();
}

}  // namespace lobewright
