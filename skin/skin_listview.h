// TSkinListView: the scroll bars of a list view (table or tree with a header) from the skin,
// and its column header through a header skin.
#pragma once

#include "skin/skin_header.h"
#include "skin/skin_scrollbar.h"

namespace kelpo::skin {

class TSkinListView : public TSkinScrollBar {
  Q_OBJECT
 public:
  explicit TSkinListView(TSkinControlSet* owner) : TSkinScrollBar(owner, false) {}
  void attachToControl(QWidget* control, TSkinData* data, bool colour) override;
  void restore() override;
  TSkinHeader* header() const { return header_.get(); }

 private:
  std::unique_ptr<TSkinHeader> header_;
};

}  // namespace kelpo::skin
