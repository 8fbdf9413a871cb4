#pragma once
// A modal editor of an object's properties, with OK, Cancel and Apply
// (platform/ui only).

#include <string>

class QWidget;

namespace property {
class PropertySet;
}

namespace ui {

// Shows the editor; true when the user left it with OK. Apply and OK write
// the edited values to the object; Cancel leaves it as it was since the last
// Apply.
bool RunPropertyEditor(QWidget* parent, const std::string& caption, property::PropertySet& object);

}  // namespace ui
