#pragma once
// The dialog that lists the filters of a built conversion graph and opens
// the property pages of the selected one, before the graph starts. Closing
// it lets the conversion go on; it cannot cancel it.

#include "platform/dshow/graph_interfaces.h"
#include "platform/ui/dialog.h"

class CDialogFilterPerproty : public ui::Dialog {
 public:
  explicit CDialogFilterPerproty(ui::Dialog* parent);

  // Set by the caller before the dialog runs; not referenced by the dialog.
  IGraphBuilder* graph = nullptr;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification) override;

 private:
  void FillFilterList();
  // The graph's filter of that listed name, found afresh; empty when the
  // graph cannot be walked or a filter cannot tell its name.
  ComPtr<IBaseFilter> FindFilter(const std::string& listedName);
  // The filter of the selected item, if any.
  ComPtr<IBaseFilter> SelectedFilter();
  void OnSelectionChange();
  void OnSettings();
};

// Shows the dialog modally over the graph. The run control calls it for MP4
// output after building the graph and before starting it, and starts the
// graph whatever the dialog returned.
void ShowFilterProperties(IGraphBuilder* graph, ui::Dialog* parent);
