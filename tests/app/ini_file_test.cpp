// The INI reader and writer against real files: what a read gives for a file's text,
// and what a write makes of a file's text, byte for byte.
#include "app/ini_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kSection = "\xC5\xE4\xD6\xC3";                  // 配置
const std::string kWorkers = "\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC";  // 工作线程
const std::string kDepth = "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0";    // 采集级别
// Two characters that differ only in a second byte that looks like 'A' and 'a'.
const std::string kTrailUpper = "\xB0\x41";
const std::string kTrailLower = "\xB0\x61";

TEST(IniFile, ReadsAsThePrivateProfileRulesSay) {
  struct Case {
    const char* what;
    std::string content, section, key, fallback, expected;
  } cases[] = {
      {"plain", "[" + kSection + "]\r\n" + kWorkers + "=8\r\n", kSection, kWorkers, "20", "8"},
      {"empty value is a present key", "[" + kSection + "]\r\n" + kWorkers + "=\r\n", kSection,
       kWorkers, "20", ""},
      {"blanks around name and value",
       "  [ " + kSection + " ]  \r\n\t" + kWorkers + "  =  8 \t\r\n", kSection, kWorkers, "20",
       "8"},
      {"double quotes, inner blanks kept", "[s]\r\nk = \" 8 \" \r\n", "s", "k", "", " 8 "},
      {"single quotes", "[s]\r\nk='8'\r\n", "s", "k", "", "8"},
      {"only one pair of quotes", "[s]\r\nk=''8''\r\n", "s", "k", "", "'8'"},
      {"quotes that do not pair", "[s]\r\nk=\"8'\r\n", "s", "k", "", "\"8'"},
      {"a lone quote", "[s]\r\nk=\"\r\n", "s", "k", "", "\""},
      {"empty quotes", "[s]\r\nk=\"\"\r\n", "s", "k", "x", ""},
      {"case-blind names", "[Config]\r\nWorkers=3\r\n", "CONFIG", "workers", "", "3"},
      {"second bytes are not letters", "[s]\r\n" + kTrailUpper + "=1\r\n", "s", kTrailLower, "d",
       "d"},
      {"the first of two keys", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "", "1"},
      {"the first of two sections", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "k", "", "1"},
      {"a key of another section", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", "d", "d"},
      {"a key before any section", "k=1\r\n[s]\r\n", "s", "k", "d", "d"},
      {"a line without '=' is a key without value", "[s]\r\nk\r\n", "s", "k", "d", ""},
      {"a header without ']' is no section", "[s\r\nk=1\r\n", "s", "k", "d", "d"},
      {"'=' inside the value", "[s]\r\nk=a=b\r\n", "s", "k", "", "a=b"},
      {"LF line ends", "[s]\nk=1\nj=2\n", "s", "j", "", "2"},
      {"last line without line end", "[s]\r\nk=1", "s", "k", "", "1"},
      {"missing section", "[t]\r\nk=1\r\n", "s", "k", "20", "20"},
      {"the default loses trailing blanks", "", "s", "k", "20  ", "20"},
      {"leading control bytes of the names", "[s]\r\nk=1\r\n", "\t\x01 s", "\r\nk", "", "1"},
      {"a name of blanks only reads nothing", "[s]\r\nk=1\r\n", "s", "  ", "d", ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const auto file = dir / "config.ini";
    WriteBytes(file, c.content);
    EXPECT_EQ(ReadIniText(file, c.section, c.key, c.fallback), c.expected) << c.what;
  }
  EXPECT_EQ(ReadIniText(dir / "missing.ini", "s", "k", "20"), "20") << "missing file";
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.ini"));
}

TEST(IniFile, LongValuesAreCutTo10239BytesWithoutSplittingACharacter) {
  TempDir dir;
  const auto file = dir / "config.ini";
  WriteBytes(file, "[s]\r\nk=" + std::string(12000, '7') + "\r\n");
  EXPECT_EQ(ReadIniText(file, "s", "k", ""), std::string(10239, '7'));

  // 6,000 two-byte characters: the 10,239th byte would be half of one.
  std::string chinese;
  for (int i = 0; i < 6000; ++i) chinese += kSection.substr(0, 2);
  WriteBytes(file, "[s]\r\nk=" + chinese + "\r\n");
  EXPECT_EQ(ReadIniText(file, "s", "k", ""), chinese.substr(0, 10238));
}

TEST(IniFile, WritesInPlaceAndLeavesEveryOtherLineAlone) {
  struct Case {
    const char* what;
    std::string before, section, key, value, after;
  } cases[] = {
      {"new file", "", kSection, kWorkers, "20", "[" + kSection + "]\r\n" + kWorkers + "=20\r\n"},
      {"replaced in place, blanks and quotes gone",
       "; mine\r\n[" + kSection + "]\r\n  " + kWorkers + " = '5' \r\n\r\n[other]\r\nx = 1\r\n",
       kSection, kWorkers, "7",
       "; mine\r\n[" + kSection + "]\r\n" + kWorkers + "=7\r\n\r\n[other]\r\nx = 1\r\n"},
      {"missing key at the end of its section, before the blank line",
       "[" + kSection + "]\r\n" + kWorkers + "=20\r\n\r\n[other]\r\nx=1\r\n", kSection, kDepth, "1",
       "[" + kSection + "]\r\n" + kWorkers + "=20\r\n" + kDepth + "=1\r\n\r\n[other]\r\nx=1\r\n"},
      {"missing key in an empty section", "[s]\r\n[t]\r\n", "s", "k", "1", "[s]\r\nk=1\r\n[t]\r\n"},
      {"missing section at the end", "[other]\r\nx=1\r\n", "s", "k", "1",
       "[other]\r\nx=1\r\n[s]\r\nk=1\r\n"},
      {"a last line without line end gets one", "[other]\r\nx=1", "s", "k", "1",
       "[other]\r\nx=1\r\n[s]\r\nk=1\r\n"},
      {"a key added after a last line without line end", "[s]\r\nj=1", "s", "k", "2",
       "[s]\r\nj=1\r\nk=2\r\n"},
      {"case-blind section and key, the given name written", "[CONFIG]\r\nWORKERS=1\r\n", "config",
       "workers", "2", "[CONFIG]\r\nworkers=2\r\n"},
      {"empty value", "[s]\r\nk=1\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
      {"LF line ends kept", "[s]\nk=1\nj=2\n", "s", "k", "3", "[s]\nk=3\nj=2\n"},
      {"only the first of two keys", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3",
       "[s]\r\nk=3\r\nk=2\r\n"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const auto file = dir / "config.ini";
    std::filesystem::remove(file);
    if (!c.before.empty()) WriteBytes(file, c.before);
    EXPECT_TRUE(WriteIniText(file, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(ReadBytes(file), c.after) << c.what;
  }
  // Nothing but the file itself is left in the directory: no temporary files.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(IniFile, AReadOnlyFileIsNotWritten) {
  TempDir dir;
  const auto file = dir / "config.ini";
  WriteBytes(file, "[s]\r\nk=1\r\n");
  std::filesystem::permissions(file,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(WriteIniText(file, "s", "k", "2"));
  EXPECT_EQ(ReadBytes(file), "[s]\r\nk=1\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(IniFile, WritesToAFolderWithChineseCharacters) {
  TempDir dir;
  const std::filesystem::path folder = dir.Path() / std::filesystem::path(u8"采集 工具");
  std::filesystem::create_directory(folder);
  EXPECT_TRUE(WriteIniText(folder / "config.ini", "s", "k", "1"));
  EXPECT_EQ(ReadIniText(folder / "config.ini", "s", "k", ""), "1");
}

}  // namespace
}  // namespace kelvaro
