#include "i18n/escapes.h"

namespace {

// Replaces every backslash + `letter` by `replacement`, from the left. A
// replacement removes its backslash and never forms a new pair with what
// precedes it, so one scan gives what replacing the leftmost pair and
// searching again from the start would. The scan is byte-wise: in UTF-8 a
// 0x5C byte is always a backslash, never part of a longer character.
void ReplaceEscape(std::string& text, char letter, char replacement) {
  std::size_t out = 0;
  for (std::size_t in = 0; in < text.size(); ++in) {
    if (text[in] == '\\' && in + 1 < text.size() && text[in + 1] == letter) {
      text[out++] = replacement;
      ++in;
    } else {
      text[out++] = text[in];
    }
  }
  text.resize(out);
}

}  // namespace

std::string ReplaceEscapes(std::string text) {
  ReplaceEscape(text, 't', '\t');
  ReplaceEscape(text, 'n', '\n');
  ReplaceEscape(text, 'r', '\r');
  return text;
}
