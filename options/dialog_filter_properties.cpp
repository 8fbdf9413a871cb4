#include "options/dialog_filter_properties.h"

#include <memory>

#include "platform/com/runtime.h"
#include "platform/dshow/property_frame.h"
#include "platform/dshow/property_pages.h"
#include "platform/text/utf8.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char* kErrorItem = "<ERROR>";
// Listed names go through a 256-byte buffer.
constexpr std::size_t kNameBytes = 255;

std::string ListedName(const FILTER_INFO& info) {
  return text::TruncateUtf8(info.achName, kNameBytes);
}

struct TaskMemFree {
  void operator()(GUID* block) const { CoTaskMemFree(block); }
};

}  // namespace

CDialogFilterPerproty::CDialogFilterPerproty(ui::Dialog* parent)
    : ui::Dialog(FilterPropertiesDialogTemplate(), parent) {}

bool CDialogFilterPerproty::OnInitDialog() {
  FillFilterList();
  Item(IDC_LIST_FILTERS).SetCurSel(0);
  OnSelectionChange();
  return true;
}

bool CDialogFilterPerproty::OnCommand(int id, int notification) {
  if (id == IDC_LIST_FILTERS) {
    if (notification == LBN_SELCHANGE) OnSelectionChange();
    return true;
  }
  if (id == IDC_BUTTON_FILTER_SETTINGS) {
    OnSettings();
    return true;
  }
  return false;
}

void CDialogFilterPerproty::FillFilterList() {
  ui::Control list = Item(IDC_LIST_FILTERS);
  list.ResetContent();
  ComPtr<IEnumFilters> filters;
  if (!graph || FAILED(graph->EnumFilters(filters)) || !filters) {
    list.AddString(kErrorItem);
    return;
  }
  ComPtr<IBaseFilter> filter;
  while (filters->Next(filter) == S_OK) {
    FILTER_INFO info;
    list.AddString(SUCCEEDED(filter->QueryFilterInfo(info)) ? ListedName(info) : kErrorItem);
  }
}

ComPtr<IBaseFilter> CDialogFilterPerproty::FindFilter(const std::string& listedName) {
  ComPtr<IEnumFilters> filters;
  if (!graph || FAILED(graph->EnumFilters(filters)) || !filters) return {};
  ComPtr<IBaseFilter> filter;
  while (filters->Next(filter) == S_OK) {
    FILTER_INFO info;
    if (FAILED(filter->QueryFilterInfo(info))) return {};
    if (ListedName(info) == listedName) return filter;
  }
  return {};
}

ComPtr<IBaseFilter> CDialogFilterPerproty::SelectedFilter() {
  ui::Control list = Item(IDC_LIST_FILTERS);
  const int selected = list.GetCurSel();
  if (selected < 0) return {};
  return FindFilter(list.GetItemText(selected));
}

void CDialogFilterPerproty::OnSelectionChange() {
  const ComPtr<IBaseFilter> filter = SelectedFilter();
  if (!filter) return;
  Item(IDC_BUTTON_FILTER_SETTINGS).Enable(filter.Supports<ISpecifyPropertyPages>());
}

void CDialogFilterPerproty::OnSettings() {
  const ComPtr<IBaseFilter> filter = SelectedFilter();
  if (!filter) return;
  ComPtr<ISpecifyPropertyPages> specify;
  FILTER_INFO info;
  CAUUID pages;
  if (FAILED(filter.As(specify)) || FAILED(filter->QueryFilterInfo(info)) ||
      FAILED(specify->GetPages(&pages)))
    return;
  const std::unique_ptr<GUID, TaskMemFree> pageArray(pages.pElems);
  specify.Reset();
  IUnknown* objects[] = {filter.Get()};
  OleCreatePropertyFrame(this, 0, 0, info.achName, 1, objects, pages.cElems, pageArray.get(), 0, 0,
                         nullptr);
}

void ShowFilterProperties(IGraphBuilder* graph, ui::Dialog* parent) {
  CDialogFilterPerproty dialog(parent);
  dialog.graph = graph;
  dialog.DoModal();
}
