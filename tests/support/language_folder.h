#pragma once
// A base folder with a "language" subfolder of language files, made fresh in
// the test's private home for each test.

#include <string>

namespace test_support {

class LanguageFolder {
 public:
  LanguageFolder();
  ~LanguageFolder();
  LanguageFolder(const LanguageFolder&) = delete;
  LanguageFolder& operator=(const LanguageFolder&) = delete;

  // The base folder (holding "language/").
  const std::string& Base() const { return base_; }
  // Writes language/<fileName> with these bytes; returns its path.
  std::string Add(const std::string& fileName, const std::string& content);
  void Remove(const std::string& fileName);

 private:
  std::string base_;
};

// A language file's bytes in UTF-16LE with its byte-order mark.
std::string Utf16LeWithMark(const std::u16string& text);

}  // namespace test_support
