#include "tests/support/language_folder.h"

#include <filesystem>
#include <fstream>

#include "tests/support/test_environment.h"

namespace test_support {

namespace {
int folderCount = 0;
}

LanguageFolder::LanguageFolder()
    : base_(HomeFolder() + "/languages-" + std::to_string(++folderCount)) {
  std::filesystem::remove_all(base_);
  std::filesystem::create_directories(base_ + "/language");
}

LanguageFolder::~LanguageFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
}

std::string LanguageFolder::Add(const std::string& fileName, const std::string& content) {
  const std::string path = base_ + "/language/" + fileName;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

void LanguageFolder::Remove(const std::string& fileName) {
  std::filesystem::remove(base_ + "/language/" + fileName);
}

std::string Utf16LeWithMark(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace test_support
