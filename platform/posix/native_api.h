// The subset of the Windows API that the packer calls, declared for POSIX with the Windows
// signatures, types and values, and implemented by native_*.cpp in this folder.
// Paths may use backslashes; they become '/' before they reach the system.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint32_t DWORD;  // 32 bits, as on Windows
typedef uint16_t WORD;
typedef unsigned int UINT;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef size_t SIZE_T;
typedef intptr_t LONG_PTR;
typedef intptr_t LPARAM;
typedef uintptr_t UINT_PTR;

typedef void* HANDLE;
typedef void* HLOCAL;
typedef struct native_window* HWND;
typedef struct native_module* HINSTANCE;
typedef HINSTANCE HMODULE;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

#define WINAPI
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;

// Last-error codes.
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;

// Files.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;
struct TIME_ZONE_INFORMATION;  // only the machine's own zone (none given) is supported

// Local heap.
constexpr UINT LMEM_FIXED = 0x0;
constexpr UINT LMEM_MOVEABLE = 0x2;
constexpr UINT LMEM_ZEROINIT = 0x40;

// Message box.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr int IDOK = 1;

// File-open dialog.
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

typedef UINT_PTR (*LPOFNHOOKPROC)(HWND, UINT, UINT_PTR, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;

// The record as far as lpTemplateName: 76 bytes on 32-bit Windows.
#define OPENFILENAME_SIZE_VERSION_400A (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR))

// Files (native_files.cpp). Only regular files open; for writing, character devices too.
// Share modes and security attributes have no effect; there is no overlapped I/O.
HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD count_read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD count_written,
               LPOVERLAPPED overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
BOOL CloseHandle(HANDLE object);
DWORD GetLastError();
void SetLastError(DWORD code);
// Looks up one entry: the name is taken literally (no wildcards); links are followed.
HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data);
BOOL FindClose(HANDLE find);

// Times (native_files.cpp), on the Gregorian calendar. Each fails (ERROR_INVALID_PARAMETER)
// for a time outside what a FILETIME holds (below 2^63 ticks) and for fields out of range.
BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time);
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, FILETIME* file_time);
// The local time of the machine's zone (zone must be nullptr) at a UTC time: the offset is
// the one that the zone's rules give that date, daylight saving included.
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal_time,
                                     LPSYSTEMTIME local_time);

// Local heap (native_memory.cpp). Resizing supports LMEM_MOVEABLE only.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalReAlloc(HLOCAL block, SIZE_T bytes, UINT flags);
HLOCAL LocalFree(HLOCAL block);

// User interface (native_dialogs.cpp), on the console: the message box writes
// "caption: text" to standard error; the file-open dialog asks on the terminal.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HWND GetActiveWindow();
BOOL GetOpenFileNameA(LPOPENFILENAMEA record);
HMODULE GetModuleHandleA(LPCSTR module_name);
