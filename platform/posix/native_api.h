// The Windows calls that the packer makes, declared for POSIX with the Windows names,
// signatures and values and implemented by native_*.cpp in this folder: only what the
// packer calls, and only the ways it calls them; and local_zone_rules, the Windows build's
// helper over them. Paths may use backslashes; they become '/' before they reach the system.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint32_t DWORD;  // 32 bits, as on Windows
typedef uint16_t WORD;
typedef unsigned int UINT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef size_t SIZE_T;

typedef void* HANDLE;
typedef void* HLOCAL;
typedef struct native_window* HWND;
typedef struct native_module* HINSTANCE;
typedef HINSTANCE HMODULE;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Last-error codes that the packer tells apart.
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;

// Files.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_FLAG_BACKUP_SEMANTICS = 0x02000000u;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD FILE_TYPE_UNKNOWN = 0;
constexpr DWORD FILE_TYPE_DISK = 1;
constexpr DWORD FILE_TYPE_CHAR = 2;
constexpr DWORD FILE_TYPE_PIPE = 3;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
constexpr DWORD REPLACEFILE_IGNORE_MERGE_ERRORS = 0x2;
constexpr DWORD FILE_NAME_NORMALIZED = 0x0;
constexpr DWORD VOLUME_NAME_DOS = 0x0;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// What GetFileInformationByHandle tells of an open file; volume and index together tell one
// file from every other.
struct BY_HANDLE_FILE_INFORMATION {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD dwVolumeSerialNumber;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD nNumberOfLinks;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
};
typedef BY_HANDLE_FILE_INFORMATION* LPBY_HANDLE_FILE_INFORMATION;

// The field of a directory entry that the packer reads.
struct WIN32_FIND_DATAA {
  FILETIME ftLastWriteTime;
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
// A zone's rules. The time calls here know only the machine's own zone (none given), whose
// rules the time-zone database gives for every date, so the record holds nothing.
struct TIME_ZONE_INFORMATION {};

// Local heap.
constexpr UINT LMEM_FIXED = 0x0;
constexpr UINT LMEM_MOVEABLE = 0x2;

// Message box.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_SETFOREGROUND = 0x10000;

// File-open dialog: the fields of the record that the packer sets.
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  DWORD Flags;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;

constexpr size_t OPENFILENAME_SIZE_VERSION_400A = sizeof(OPENFILENAMEA);

// Files (native_files.cpp): opening to read (GENERIC_READ), to read and write
// (GENERIC_READ | GENERIC_WRITE) or only to ask about the file (access 0), an existing file
// (OPEN_EXISTING) or, for writing, one made anew (CREATE_ALWAYS, or CREATE_NEW, which fails
// with ERROR_FILE_EXISTS where any entry has the name and never follows a link there); any
// other disposition fails. To read or write only regular files open, for writing character
// devices too; access 0 opens any entry, following links. Share modes, security attributes
// and flags have no effect; there is no overlapped I/O.
HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES security, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD count_read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD count_written,
               LPOVERLAPPED overlapped);
// Writes what the system holds of the file to the disk (fsync).
BOOL FlushFileBuffers(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
// FILE_TYPE_DISK for a regular file or directory, FILE_TYPE_CHAR for a character device,
// FILE_TYPE_PIPE for a FIFO or socket.
DWORD GetFileType(HANDLE file);
// The volume serial number is the device number folded to 32 bits, the file index the inode.
BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
// The path of the file open behind the handle, links resolved (flags must be 0): its
// length, or the room it needs (terminator included) when size is too small; 0 on failure.
DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags);
BOOL CloseHandle(HANDLE object);
BOOL DeleteFileA(LPCSTR file_name);
// Renames existing over new_name, whatever has that name (a link itself, never what it points
// to). flags must hold MOVEFILE_REPLACE_EXISTING; with MOVEFILE_WRITE_THROUGH the folder is
// flushed to the disk too, so that the rename lasts (where the system cannot, that goes
// unreported: the rename has happened).
BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags);
// Gives the file replacement the name of the existing file replaced, which goes, and
// replaced's permission bits and, where the user may set it, its owner (as Windows keeps its
// security); the folder is flushed as for MOVEFILE_WRITE_THROUGH. When the permission bits
// cannot be passed on, the call fails unless flags hold REPLACEFILE_IGNORE_MERGE_ERRORS. No
// backup (backup must be nullptr). Fails with ERROR_FILE_NOT_FOUND when replaced does not exist.
BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID exclude,
                  LPVOID reserved);
DWORD GetCurrentProcessId();
DWORD GetLastError();
void SetLastError(DWORD code);
// Looks up one entry for its last-write time: the name is taken literally (no wildcards);
// links are followed.
HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data);
BOOL FindClose(HANDLE find);
// FILE_ATTRIBUTE_DIRECTORY for a directory, FILE_ATTRIBUTE_NORMAL for any other entry;
// INVALID_FILE_ATTRIBUTES when there is none. A symbolic link is FILE_ATTRIBUTE_REPARSE_POINT,
// with FILE_ATTRIBUTE_DIRECTORY when it leads to a directory, as a Windows directory link is.
DWORD GetFileAttributesA(LPCSTR file_name);
// Makes path (a directory) the process's current directory.
BOOL SetCurrentDirectoryA(LPCSTR path);

// Times (native_files.cpp), on the Gregorian calendar. Each fails (invalid parameter) for a
// time outside what a FILETIME holds (below 2^63 ticks) and for fields out of range.
BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time);
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, FILETIME* file_time);
// The local time of the machine's zone (zone must be nullptr) at a UTC time, by the rule of
// file_time.h.
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal_time,
                                     LPSYSTEMTIME local_time);
// The rules of the machine's zone for one year of its clock, which the Windows build takes
// from Windows (windows/local_zone.h): here always nullptr, the machine's zone, since the
// database's rules hold for every date already.
inline const TIME_ZONE_INFORMATION* local_zone_rules(WORD, TIME_ZONE_INFORMATION*) { return nullptr; }

// Local heap (native_memory.cpp), on the C heap: LocalAlloc takes LMEM_FIXED, LocalReAlloc
// LMEM_MOVEABLE (the block may move).
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalReAlloc(HLOCAL block, SIZE_T bytes, UINT flags);
HLOCAL LocalFree(HLOCAL block);

// User interface (native_dialogs.cpp), on the console: the message box writes
// "caption: text" to standard error; the file-open dialog asks on the terminal.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HWND GetActiveWindow();
BOOL GetOpenFileNameA(LPOPENFILENAMEA record);
// The program's own module (module_name nullptr, as the packer asks).
HMODULE GetModuleHandleA(LPCSTR module_name);
