// The one decision whether an extracted file's name may be created, and the description's name.
#include <gtest/gtest.h>

#include <string>

#include "safe_name.h"

TEST(SafeName, AcceptsOrdinaryNames) {
  for (const char* name : {"ship.bmp", "a", "Ship.BMP", "..x", "a.b.c", "con1.txt", "com0.wav",
                           "lpt10", "nul_.txt", "zone.ini.bak", "\xE9t\xE9.wav", "COM"})
    EXPECT_TRUE(is_safe_file_name(name, "zone.ini")) << name;
}

TEST(SafeName, RefusesNamesThatLeaveTheDirectoryOrAreNoFile) {
  for (const char* name : {"", ".", "..", "../x", "..\\x", "a/b", "a\\b", "/etc/passwd",
                           "C:\\x", "c:x", "\\\\server\\share", "a<b", "a>b", "a\"b", "a|b",
                           "a?b", "a*b", "tab\there", "bell\x07", "del\x7F", "dot.", "blank "})
    EXPECT_FALSE(is_safe_file_name(name, "zone.ini")) << name;
}

TEST(SafeName, RefusesDeviceNamesWhateverTheCaseOrExtension) {
  for (const char* name : {"CON", "con", "prn", "AUX", "nul", "NUL.txt", "conin$", "CONOUT$",
                           "COM1", "com9", "lpt1", "LPT9.dat", "Com1 .bmp", "com\xB9", "lpt\xB2",
                           "COM\xB3.x", "nul .txt"})
    EXPECT_FALSE(is_safe_file_name(name, "zone.ini")) << name;
}

TEST(SafeName, RefusesTheDescriptionItself) {
  EXPECT_FALSE(is_safe_file_name("zone.ini", "zone.ini"));
  EXPECT_FALSE(is_safe_file_name("ZONE.INI", "zone.ini"));
  EXPECT_TRUE(is_safe_file_name("zone.ini", "other.ini"));
}

TEST(SafeName, ChecksAStoredNameAsTarnsplitKeepsIt) {
  EXPECT_FALSE(is_extractable_name((std::string(249, 'd') + ".bmp").c_str(), "zone.ini"));  // "ddd."
  EXPECT_TRUE(is_extractable_name((std::string(250, 'n') + "/../x").c_str(), "zone.ini"));
  EXPECT_FALSE(is_extractable_name("Zone.Ini", description_name_for("zone.lvz").c_str()));
  EXPECT_EQ(stored_name_fault(std::string(250, 'n').c_str(), "zone.ini"), name_fault::none);
  EXPECT_EQ(stored_name_fault(std::string(251, 'n').c_str(), "zone.ini"), name_fault::too_long);
  EXPECT_EQ(stored_name_fault(" lead.txt", "zone.ini"), name_fault::leading_blank);
  EXPECT_EQ(stored_name_fault(" a?b", "zone.ini"), name_fault::unsafe);
  EXPECT_EQ(description_name_for("zone"), "zone.ini");
  EXPECT_EQ(description_name_for("v1.2.zone.lvz"), "v1.2.zone.ini");
}

TEST(SafeName, PrintsControlBytesEscaped) {
  EXPECT_EQ(printable_name("a\x1b[2Jb\x7F"), "a\\x1B[2Jb\\x7F");
  EXPECT_EQ(printable_name("plain"), "plain");
  char cut[7];
  copy_printable(cut, sizeof cut, "ab\x1b" "cd");
  EXPECT_STREQ(cut, "ab\\x1B");  // the escape whole or not at all
  copy_printable(cut, 5, "ab\x1b" "cd");
  EXPECT_STREQ(cut, "ab");
}
