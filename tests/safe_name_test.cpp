// The one decision whether an extracted file's name may be created.
#include <gtest/gtest.h>

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

TEST(SafeName, PrintsControlBytesEscaped) {
  EXPECT_EQ(printable_name("a\x1b[2Jb\x7F"), "a\\x1B[2Jb\\x7F");
  EXPECT_EQ(printable_name("plain"), "plain");
}
