#include "platform/gst/element_maker.h"

#include "platform/gst/gvalue.h"

namespace gst {

namespace {

std::string NameOf(GstElement* element) {
  CharPtr name(gst_element_get_name(element));
  return name ? name.get() : "element";
}

}  // namespace

std::string_view FactoryNameOf(GstElement* element) {
  GstElementFactory* made = element ? gst_element_get_factory(element) : nullptr;
  return made ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(made)) : "";
}

std::string_view KlassOf(GstElement* element) {
  GstElementFactory* made = element ? gst_element_get_factory(element) : nullptr;
  const char* klass =
      made ? gst_element_factory_get_metadata(made, GST_ELEMENT_METADATA_KLASS) : nullptr;
  return klass ? klass : "";
}

std::string ElementChoice::FactoryName() const {
  return element ? std::string(FactoryNameOf(element.get())) : factory;
}

Result<ElementPtr> MakeElement(const char* factory) {
  GstElement* made = gst_element_factory_make(factory, nullptr);
  if (!made) return Reason{std::string("The element \"") + factory + "\" is not installed."};
  return ElementPtr(GST_ELEMENT(gst_object_ref_sink(made)));
}

Result<ElementPtr> MakeElement(const ElementChoice& choice) {
  if (choice.element) {
    if (g_object_is_floating(choice.element.get()))
      return Reason{"The element \"" + NameOf(choice.element.get()) + "\" has no owner."};
    return Borrow(choice.element.get());
  }
  Result<ElementPtr> element = MakeElement(choice.factory.c_str());
  if (!element) return element;
  for (const auto& [name, value] : choice.properties)
    if (Result<void> set = SetProperty(element->get(), name, value); !set) return set.reason();
  return element;
}

Result<void> SetProperty(GstElement* element, const std::string& name, const std::string& value) {
  GParamSpec* pspec = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name.c_str());
  if (!pspec || !(pspec->flags & G_PARAM_WRITABLE))
    return Reason{"The element \"" + NameOf(element) + "\" has no settable property \"" + name +
                  "\"."};
  Value parsed(pspec->value_type);
  if (!gst_value_deserialize_with_pspec(parsed.get(), value.c_str(), pspec))
    return Reason{"The property \"" + name + "\" of \"" + NameOf(element) + "\" cannot take \"" +
                  value + "\"."};
  g_object_set_property(G_OBJECT(element), name.c_str(), parsed.get());
  return {};
}

}  // namespace gst
