#pragma once
// A small markup of nested elements with attributes — the shape of profile
// text. No text content, comments or entities beyond the five standard ones;
// anything else is refused rather than guessed at.
//
// Not GLib's GMarkupParseContext: that one also takes character references,
// comments, processing instructions, single quotes and several root
// elements, refuses bytes that are not UTF-8 (a name stored byte for byte
// would no longer read back) and escapes differently when writing.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wmf {

struct Element {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<Element> children;

  const std::string* Attribute(std::string_view key) const;
  Element& Set(std::string key, std::string value);
};

// One root element, optionally surrounded by white space. Nothing when the
// text is malformed or nests deeper than a profile ever does.
std::optional<Element> ParseMarkup(std::string_view text);

// Indented text that ParseMarkup reads back to the same element.
std::string WriteMarkup(const Element& root);

}  // namespace wmf
