// Writing the container: a temporary file beside OutFile, renamed over it when whole.
#include "container_output.h"

#include "disk_file.h"
#include "native_api.h"
#include "packer_errors.h"
#include "paths.h"
#include "safe_name.h"

namespace {

// Temporary names tried before giving up: the first is taken only by a run of the same
// process number killed before.
constexpr int temporary_attempts = 100;

bool is_taken(uint32_t code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

// The container's file under a temporary name beside its destination, removed when it goes
// unless it has taken the destination's name.
class temporary_file {
 public:
  // Creates it anew; created() tells whether that worked, error() why not.
  explicit temporary_file(const std::string& destination) {
    std::string process = std::to_string(GetCurrentProcessId());
    for (int attempt = 0; attempt < temporary_attempts; ++attempt) {
      path_ = temporary_path(destination.c_str(), attempt ? process + "-" + std::to_string(attempt) : process);
      try {
        file.open_write(path_.c_str(), 0, CREATE_NEW);
        created_ = true;
        return;
      } catch (const file_exception& failure) {
        error_ = failure.os_error();
        if (!is_taken(error_)) return;
      }
    }
  }

  ~temporary_file() {
    file.close();
    if (created_ && !named_) DeleteFileA(path_.c_str());
  }

  temporary_file(const temporary_file&) = delete;
  temporary_file& operator=(const temporary_file&) = delete;

  bool created() const { return created_; }
  uint32_t error() const { return error_; }

  // Renames the closed file over destination: ReplaceFileA keeps what the system keeps of a
  // replaced file (its permissions), MoveFileExA takes a name that nothing has. A failure
  // reads as one to create OutFile (output_path).
  void take_name(const std::string& destination, bool replacing, const char* output_path) {
    // ReplaceFileA may set the replaced file aside in its folder first (wine does), which it
    // finds only when the path names one.
    bool in_folder = !system_directory_part(destination.c_str()).empty();
    std::string replaced = in_folder ? destination : ".\\" + destination;
    bool renamed = replacing && ReplaceFileA(replaced.c_str(), path_.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!renamed && (!replacing || GetLastError() == ERROR_FILE_NOT_FOUND))  // gone meanwhile
      renamed = MoveFileExA(path_.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!renamed) throw file_exception(file_error_kind::create_failed, output_path, GetLastError());
    named_ = true;
  }

  disk_file file;

 private:
  std::string path_;
  bool created_ = false;
  bool named_ = false;
  uint32_t error_ = 0;
};

// Opens the file at path for writing without changing it; false when there is none. Throws
// what opening it anew would have thrown (create_failed), for a file that the user may not
// write, a directory, a missing folder.
bool open_existing(disk_file& file, const char* path) {
  try {
    file.open_write(path, 0, OPEN_EXISTING);
    return true;
  } catch (const file_exception& error) {
    if (error.os_error() != ERROR_FILE_NOT_FOUND) throw;
    return false;
  }
}

// Where a link named OutFile leads, so that the container replaces that file and the link
// stays; output_path itself for anything else.
std::string destination_of(disk_file& existing, const char* output_path) {
  DWORD attributes = GetFileAttributesA(output_path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return output_path;
  std::string final = existing.final_path();
  return final.empty() ? output_path : final;
}

// The container written into the file at output_path, made anew: all a file allows where no
// other file can be made beside it.
void write_in_place(const char* output_path, const byte_buffer& container) {
  disk_file output;
  output.open_write(output_path, 0, CREATE_ALWAYS);
  output.write(container.data(), container.size());
  output.close();
}

}  // namespace

void refuse_unfit_output(const char* output_path) {
  if (is_device_name(file_name_part(output_path)))
    throw text_exception("OutFile %s is a Windows device name", output_path);
  if (is_special_file(output_path)) throw text_exception("OutFile %s is not a regular file", output_path);
}

void refuse_output_over_inputs(const char* output_path, const char* description_path,
                               const std::vector<std::string>& entry_paths) {
  file_identity output, input;
  if (!get_file_identity(output_path, &output)) return;  // a new file replaces nothing
  if (get_file_identity(description_path, &input) && input == output)
    throw text_exception("OutFile %s would replace the description", output_path);
  for (const std::string& entry : entry_paths)
    if (get_file_identity(entry.c_str(), &input) && input == output)
      throw text_exception("OutFile %s would replace a file it packs", output_path);
}

void write_container(const char* output_path, const byte_buffer& container) {
  disk_file existing;
  bool replacing = open_existing(existing, output_path);
  // Checked before, but a device may have taken the name since: neither written nor renamed over.
  if (replacing && existing.is_device())
    throw file_exception(file_error_kind::create_failed, output_path, ERROR_ACCESS_DENIED);
  std::string destination = replacing ? destination_of(existing, output_path) : output_path;
  existing.close();

  temporary_file temporary(destination);
  if (!temporary.created()) {
    // A file that the user may write, in a folder where they may create none.
    if (replacing && temporary.error() == ERROR_ACCESS_DENIED) return write_in_place(output_path, container);
    throw file_exception(file_error_kind::create_failed, output_path, temporary.error());
  }
  temporary.file.write(container.data(), container.size());
  temporary.file.flush();
  temporary.file.close();
  temporary.take_name(destination, replacing, output_path);
}
