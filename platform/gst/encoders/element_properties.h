#pragma once
// The settings of an element as a user edits them: its readable and writable
// GObject properties that can still change after construction, each with its
// own description and unit, ranges, enumeration and flag names. Properties of
// other types (caps, objects, structures) and the object's name are left out.

#include <gst/gst.h>

#include <string>
#include <vector>

#include "platform/gst/gst_handle.h"
#include "platform/property/property_set.h"

namespace gst {

class ElementProperties : public property::PropertySet {
 public:
  // Keeps a reference of its own to the element.
  explicit ElementProperties(GstElement* element);

  std::vector<property::PropertyDescription> Describe() const override;
  // An empty value (false) for a name that is not one of the described ones.
  property::PropertyValue Get(const std::string& name) const override;
  // Refuses names not described, values of the wrong kind, values outside
  // the property's range, and enumeration or flag values the type lacks.
  bool Set(const std::string& name, const property::PropertyValue& value) override;

 private:
  // The property's GParamSpec when it is one of the described ones.
  GParamSpec* Editable(const std::string& name) const;

  ElementPtr element_;
};

// True when the element has at least one property a user can edit.
bool HasEditableProperties(GstElement* element);

}  // namespace gst
