// Running the programs under test, and file times, on Windows.
#include <windows.h>

#include <stdexcept>

#include "file_time.h"
#include "test_harness.h"

namespace {

constexpr DWORD run_time_limit_ms = 120000;  // a program that waits for a key never ends

// One argument as the C runtime's command-line parser reads it back: quoted when it holds
// blanks or quotes, with backslashes doubled only where they precede a quote.
std::string quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return handle;
}

// The captured output as a text-mode read gives it: CR LF becomes LF.
std::string text_of(const std::string& path) {
  std::string bytes = read_file(path), text;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

}  // namespace

bool runs_on_windows() { return true; }

unsigned ansi_code_page() { return GetACP(); }

run_result run_program(const std::string& program, const std::vector<std::string>& args,
                       const std::string& cwd, const std::string& stdin_text) {
  scratch_dir io;
  std::string in = io / "in", out = io / "out", err = io / "err";
  write_file(in, stdin_text);

  std::string command_line = "\"" + program + "\"";
  for (const std::string& arg : args) command_line += " " + quoted(arg);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritable(in, GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = inheritable(out, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = inheritable(err, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessA(program.c_str(), &command_line[0], nullptr, nullptr, TRUE, 0,
                                nullptr, cwd.c_str(), &startup, &process);
  DWORD error = started ? 0 : GetLastError();
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started)
    throw std::runtime_error("cannot start " + program + ": error " + std::to_string(error) + ", " +
                             text_of(err));

  run_result result;
  if (WaitForSingleObject(process.hProcess, run_time_limit_ms) == WAIT_OBJECT_0) {
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    result.status = static_cast<int>(status);
  } else {
    TerminateProcess(process.hProcess, 255);
    WaitForSingleObject(process.hProcess, INFINITE);
    result.status = -1;  // it hung (waiting for a key?)
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.out = text_of(out);
  result.err = text_of(err);
  return result;
}

run_result run_program_unprivileged(const std::string& program, const std::vector<std::string>& args,
                                    const std::string& cwd) {
  return run_program(program, args, cwd);  // a read-only file is read-only for everyone
}

int64_t modification_time(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(ticks_of(data.ftLastWriteTime)) - file_time_ticks_1601_to_1970) /
         file_time_ticks_per_second;
}

void set_modification_time(const std::string& path, int64_t seconds) {
  HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  auto time = file_time_of_ticks<FILETIME>(file_time_ticks_of_seconds(seconds));
  SetFileTime(handle, nullptr, &time, &time);
  CloseHandle(handle);
}

bool make_fifo(const std::string&) { return false; }  // Windows has no FIFOs in its file system

environment_variable::environment_variable(const char* name, const char* value) : name_(name) {
  char old[32768];
  DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
  had_ = length > 0 && length < sizeof old;
  if (had_) old_.assign(old, length);
  SetEnvironmentVariableA(name, value);
}

environment_variable::~environment_variable() {
  SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr);
}
