#include "platform/wmf/markup.h"

#include <algorithm>

namespace wmf {

namespace {

constexpr int kMaxDepth = 8;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.' || c == ':';
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<Element> Document() {
    SkipSpace();
    auto root = ElementAt(0);
    SkipSpace();
    if (!root || pos_ != text_.size()) return std::nullopt;
    return root;
  }

 private:
  std::optional<Element> ElementAt(int depth) {
    if (depth > kMaxDepth || !Take('<')) return std::nullopt;
    Element element;
    element.name = Name();
    if (element.name.empty()) return std::nullopt;
    for (;;) {
      const bool spaced = SkipSpace();
      if (Take('/')) return Take('>') ? std::optional(std::move(element)) : std::nullopt;
      if (Take('>')) break;
      if (!spaced) return std::nullopt;
      std::string key = Name();
      if (key.empty() || element.Attribute(key) || !Take('=') || !Take('"')) return std::nullopt;
      auto value = QuotedValue();
      if (!value) return std::nullopt;
      element.attributes.emplace_back(std::move(key), std::move(*value));
    }
    for (;;) {
      SkipSpace();
      if (text_.substr(pos_, 2) == "</") {
        pos_ += 2;
        if (Name() != element.name) return std::nullopt;
        SkipSpace();
        return Take('>') ? std::optional(std::move(element)) : std::nullopt;
      }
      auto child = ElementAt(depth + 1);
      if (!child) return std::nullopt;
      element.children.push_back(std::move(*child));
    }
  }

  // The value up to the closing quote, with entities replaced.
  std::optional<std::string> QuotedValue() {
    std::string value;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return value;
      if (c == '<') return std::nullopt;
      if (c != '&') {
        value += c;
        continue;
      }
      static constexpr std::pair<std::string_view, char> kEntities[] = {
          {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
      const auto* entity = std::ranges::find_if(
          kEntities, [&](const auto& e) { return text_.substr(pos_, e.first.size()) == e.first; });
      if (entity == std::end(kEntities)) return std::nullopt;
      value += entity->second;
      pos_ += entity->first.size();
    }
    return std::nullopt;
  }

  std::string Name() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }
  bool SkipSpace() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    return pos_ != start;
  }
  bool Take(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Write(const Element& element, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += '<' + element.name;
  for (const auto& [key, value] : element.attributes)
    out += ' ' + key + "=\"" + Escaped(value) + '"';
  if (element.children.empty()) {
    out += "/>\n";
    return;
  }
  out += ">\n";
  for (const Element& child : element.children) Write(child, depth + 1, out);
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += "</" + element.name + ">\n";
}

}  // namespace

const std::string* Element::Attribute(std::string_view key) const {
  for (const auto& [attributeName, value] : attributes)
    if (attributeName == key) return &value;
  return nullptr;
}

Element& Element::Set(std::string key, std::string value) {
  attributes.emplace_back(std::move(key), std::move(value));
  return *this;
}

std::optional<Element> ParseMarkup(std::string_view text) { return Reader(text).Document(); }

std::string WriteMarkup(const Element& root) {
  std::string out;
  Write(root, 0, out);
  return out;
}

}  // namespace wmf
