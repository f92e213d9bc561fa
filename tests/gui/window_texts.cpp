// Prints what a top-level window shows, for the GUI test to read: the text of each control
// in it, and for a combo box that holds strings each of its items, one a line.
// Usage: window_texts TITLE. Exit status 0 printed, 1 no visible window has the title, 2 usage.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// Every call goes through SendMessageTimeout: a hung window must fail the test, not stall it.
constexpr UINT reply_ms = 5000;
constexpr size_t text_size = 8192;  // the longest text read, with its NUL

// The text that message asks for (WM_GETTEXT, CB_GETLBTEXT), in UTF-8. Asked for in UTF-16,
// as the controls hold it: asked for in 8-bit text, wine cuts another process's items to
// their first character.
std::string ask_text(HWND window, UINT message, WPARAM which) {
  wchar_t text[text_size] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, message, which, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, reply_ms, &length) ||
      length >= text_size)
    return std::string();
  char utf8[4 * text_size] = "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8, sizeof utf8, nullptr, nullptr);
  return std::string(utf8, size > 0 ? size : 0);
}

BOOL CALLBACK print_control(HWND control, LPARAM) {
  std::printf("%s\n", ask_text(control, WM_GETTEXT, text_size).c_str());
  char class_name[64] = "";
  GetClassNameA(control, class_name, sizeof class_name);
  LONG style = GetWindowLongA(control, GWL_STYLE);
  bool holds_strings = (style & CBS_HASSTRINGS) || !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE));
  DWORD_PTR count = 0;
  if (lstrcmpiA(class_name, "ComboBox") == 0 && holds_strings &&
      SendMessageTimeoutW(control, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, reply_ms, &count) &&
      static_cast<LRESULT>(count) != CB_ERR) {
    for (DWORD_PTR item = 0; item < count; ++item) {
      DWORD_PTR length = 0;
      if (SendMessageTimeoutW(control, CB_GETLBTEXTLEN, item, 0, SMTO_ABORTIFHUNG, reply_ms, &length) &&
          length < text_size)
        std::printf("%s\n", ask_text(control, CB_GETLBTEXT, item).c_str());
    }
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: window_texts TITLE\n", stderr);
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window || !IsWindowVisible(window)) return 1;
  EnumChildWindows(window, print_control, 0);
  return 0;
}
