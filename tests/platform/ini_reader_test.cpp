#include "platform/profile/ini_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/language_folder.h"
#include "tests/support/test_environment.h"

namespace {

using profile::IniFile;
using namespace std::string_literals;

std::string Get(std::string_view content, std::string_view section, std::string_view key,
                std::string_view def = "default", std::size_t size = 2048) {
  return IniFile::FromBytes(content).GetString(section, key, def, size);
}

TEST(IniReader, LineEndsCommentsAndSections) {
  EXPECT_EQ(Get("[DIALOG]\r\nIDC_BUTTON_EXIT=Quit", "dialog", "idc_button_exit"), "Quit");
  EXPECT_EQ(Get("[s]\rk=v\r", "s", "k"), "v");
  EXPECT_EQ(Get("[s]\nk=v\n", "S", "K"), "v");
  EXPECT_EQ(Get("[S]\r\n;k=v", "S", ";k"), "default");
  EXPECT_EQ(Get("[S]\r\n   ;k=v\r\nk=w", "S", "k"), "w");
  EXPECT_EQ(Get("[S]\r\n#k=v", "S", "#k"), "v") << "'#' is an ordinary character";
  EXPECT_EQ(Get("[S]\r\nk=v ;c", "S", "k"), "v ;c");
  EXPECT_EQ(Get("[ x ]\nk=v", "x", "k"), "v");
  EXPECT_EQ(Get("[sec]whoops]\nk=v", "sec", "k"), "v");
  EXPECT_EQ(Get("[S]k=v\n", "S", "k"), "default") << "text after ']' is no key";
  EXPECT_EQ(Get("[Name   \nk=v", "Name", "k"), "v");
  EXPECT_EQ(Get("S]\nk=v", "S", "k"), "default");
  EXPECT_EQ(Get("k=a\r\n[]\r\nk=b", "", "k"), "b");
  EXPECT_EQ(Get("k=a\r\n[S]\r\nj=b", "", "k"), "default") << "keys before any section";
  EXPECT_EQ(Get("\n\n  \t\n[S]\n\v\nk=v", "S", "k"), "v");
}

TEST(IniReader, OnlyTheFirstSectionAndTheFirstKeyCount) {
  EXPECT_EQ(Get("[S]\r\nk=A\r\nk=B", "S", "k"), "A");
  EXPECT_EQ(Get("[S]\r\nK=A\r\nk=B", "S", "k"), "A");
  EXPECT_EQ(Get("[S]\r\n[S]\r\nk=v", "S", "k"), "default");
  EXPECT_EQ(Get("[S]\r\na=1\r\n[T]\r\nk=t\r\n[s]\r\nk=v", "S", "k"), "default");
  EXPECT_EQ(Get("[S]\r\na=1\r\n[T]\r\nk=t\r\n[s]\r\nk=v", "T", "k"), "t");
  EXPECT_EQ(Get("[S]\r\nnoequals\r\nk=v", "S", "noequals"), "default");
}

TEST(IniReader, TrimmingAndQuotes) {
  EXPECT_EQ(Get("[S]\n \tk\t = \tv\t ", "S", "k"), "v");
  EXPECT_EQ(Get("[S]\nk=", "S", "k"), "");
  EXPECT_EQ(Get("[S]\nk=  \"   v   \"  ", "S", "k"), "   v   ");
  EXPECT_EQ(Get("[S]\nk='\"v\"'", "S", "k"), "\"v\"");
  EXPECT_EQ(Get("[S]\nk=\"v'", "S", "k"), "\"v'");
  EXPECT_EQ(Get("[S]\nk=\"", "S", "k"), "\"");
  EXPECT_EQ(Get("[S]\nk=\"\"", "S", "k"), "");
  EXPECT_EQ(Get("[S]\nk=[x]", "S", "k"), "[x]");
  EXPECT_EQ(Get("[S]\nk=a=b", "S", "k"), "a=b");
  EXPECT_EQ(Get("[S]\nk=Value Keeps Case", "s", "K"), "Value Keeps Case");
}

TEST(IniReader, SizeLimitAndNul) {
  const std::string value(3000, 'x');
  EXPECT_EQ(Get("[S]\r\nk=" + value, "S", "k").size(), 2047u);
  EXPECT_EQ(Get("[S]\r\nk=abcdef", "S", "k", "", 4), "abc");
  EXPECT_EQ(Get("[S]\r\nk=abcdef", "S", "k", "", 0), "");
  EXPECT_EQ(Get("[S]\r\nk=abcdef", "S", "missing", "defaults", 4), "def");
  EXPECT_EQ(Get("[S]\nk=ab\0cd\nj=e"s, "S", "k"), "ab");
  EXPECT_EQ(Get("[S]\nk=ab\0cd\nj=e"s, "S", "j"), "e");
}

TEST(IniReader, DefaultLosesOnlyTrailingSpaces) {
  EXPECT_EQ(Get("", "S", "k", " \"d\"  "), " \"d\"");
  EXPECT_EQ(Get("", "S", "k", "d\t \n"), "d\t \n");
  EXPECT_EQ(Get("[S]\nk=v", "T", "k", "d  "), "d");
}

TEST(IniReader, EncodingsAreDecidedByTheFirstBytes) {
  // UTF-16LE with its mark: decoded, names compared after decoding.
  const std::string utf16 = test_support::Utf16LeWithMark(u"[S]\r\nk=Grüße 你好 \U0001F600\r\n");
  EXPECT_EQ(Get(utf16, "s", "K"), "Grüße 你好 \U0001F600");

  // A lone surrogate becomes U+FFFD; an odd last byte is dropped.
  std::string broken = "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x00\xD8x\0"s;
  broken += 'y';
  EXPECT_EQ(Get(broken, "S", "k"), "\xEF\xBF\xBDx");

  // A UTF-8 mark is not recognised: the first header is not found.
  EXPECT_EQ(Get("\xEF\xBB\xBF[S1]\nk=v\n[S2]\nk=w", "S1", "k"), "default");
  EXPECT_EQ(Get("\xEF\xBB\xBF[S1]\nk=v\n[S2]\nk=w", "S2", "k"), "w");
  // UTF-8 without a mark comes back byte for byte.
  EXPECT_EQ(Get("[S]\nk=Grüße", "S", "k"), "Grüße");
  // A big-endian mark is not recognised: the bytes are read as they are.
  EXPECT_EQ(Get("\xFE\xFF\0[\0S\0]"s, "S", "k"), "default");
}

class IniFileOnDisk : public ::testing::Test {
 protected:
  std::filesystem::path dir = std::filesystem::path(test_support::HomeFolder()) / "ini-reader";
  void SetUp() override { std::filesystem::create_directories(dir); }
  std::string Write(const std::string& name, const std::string& content) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
};

TEST_F(IniFileOnDisk, MissingAndUnreadableFilesGiveTheDefault) {
  EXPECT_EQ(profile::GetPrivateProfileStringA("S", "k", "def  ", 2048, (dir / "none.ini").string()),
            "def");
  EXPECT_EQ(IniFile::Load((dir / "no-folder" / "x.ini").string()).status(),
            profile::FileBytes::Status::Missing);

  // A folder, and a FIFO nobody writes to, must neither be read nor block.
  std::filesystem::create_directories(dir / "folder.ini");
  EXPECT_EQ(IniFile::Load((dir / "folder.ini").string()).status(),
            profile::FileBytes::Status::Unreadable);
  const std::string fifo = (dir / "fifo.ini").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(profile::GetPrivateProfileStringA("S", "k", "d", 2048, fifo), "d");
}

TEST_F(IniFileOnDisk, HugeFilesAreReadUpToTheCap) {
  // A value of 10 MB on one line, then a key that lies beyond the cap.
  std::string content = "[S]\r\nfirst=1\r\nlong=";
  content.append(10u * 1024u * 1024u, 'a');
  content += "\r\nlast=2\r\n";
  const std::string path = Write("huge.ini", content);

  const IniFile file = IniFile::Load(path);
  EXPECT_EQ(file.status(), profile::FileBytes::Status::Truncated);
  EXPECT_EQ(file.GetString("S", "first", "", 2048), "1");
  EXPECT_EQ(file.GetString("S", "long", "", 2048), std::string(2047, 'a'));
  EXPECT_EQ(file.GetString("S", "last", "none", 2048), "none");

  const std::string exact = Write("exact.ini", std::string(profile::kMaxIniFileBytes, 'x'));
  EXPECT_EQ(IniFile::Load(exact).status(), profile::FileBytes::Status::Read);
}

}  // namespace
