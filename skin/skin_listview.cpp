// List views: scroll bars plus the header.
#include "skin/skin_listview.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeView>

namespace kelpo::skin {

void TSkinListView::attachToControl(QWidget* control, TSkinData* data, bool colour) {
  if (attached()) return;
  TSkinScrollBar::attachToControl(control, data, colour);
  QHeaderView* header = nullptr;
  if (auto* table = qobject_cast<QTableView*>(control))
    header = table->horizontalHeader();
  else if (auto* tree = qobject_cast<QTreeView*>(control))
    header = tree->header();
  if (header) {
    header_ = std::make_unique<TSkinHeader>(owner());
    header_->attachToControl(header, data, false);
  }
}

void TSkinListView::restore() {
  header_.reset();
  TSkinScrollBar::restore();
}

}  // namespace kelpo::skin
