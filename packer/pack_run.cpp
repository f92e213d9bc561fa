// The packer's run: description, container, output file, and the one handler of failures.
#include "pack_run.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "check_report.h"
#include "container_format.h"
#include "container_output.h"
#include "disk_file.h"
#include "file_packing.h"
#include "ini_file.h"
#include "native_api.h"
#include "object_compiler.h"
#include "packer_errors.h"
#include "packing_pipeline.h"
#include "paths.h"
#include "safe_name.h"
#include "source_date.h"
#include "string_helpers.h"
#include "workers.h"

namespace {

// What becomes of the container once it is whole: written to OutFile, or for a check only
// foreseen as far as it can be without writing.
using output_step = void (*)(const char* output_path, const byte_buffer& container);

// Shows a failure, or records it for the check to show after its warnings.
using failure_step = std::function<void(const base_exception& error)>;

// A path that its buffer would cut is refused: cut, it names another file. kept is what the
// buffer holds of it.
text_exception path_too_long(const char* kept) {
  return text_exception("Path too long (over %u characters): %s", static_cast<unsigned>(path_size - 1), kept);
}

// The head parameter name's value into path, with observer told; false when an optional one
// is missing. Throws what get_value throws, and path_too_long.
bool read_path(ini_file& description, const char* name, bool optional, char (&path)[path_size],
               packing_observer& observer) {
  bool cut = false;
  if (!description.get_value(path, sizeof path, name, optional, &cut)) return false;
  if (cut) throw path_too_long(path);
  observer.value_read(name, path, false, sizeof path - 1);
  return true;
}

// Packs every File entry, then every ExtractFile entry, in the order of the description,
// into the container that will be written to output_path, on as many workers as TARN_JOBS
// or the machine's cores give, no file with a time later than clamp's. Returns the entries'
// paths.
std::vector<std::string> pack_entries(ini_file& description, byte_buffer& container, const char* output_path,
                                      const time_clamp& clamp, packing_observer& observer) {
  std::vector<std::string> paths;
  char entry[path_size];
  for (const char* keyword : {"File", "ExtractFile"})
    while (read_path(description, keyword, true, entry, observer)) paths.emplace_back(entry);
  std::string extracted_description = description_name_for(system_file_name(output_path));
  unsigned workers = configured_workers(paths.size());
  uint32_t clamped =
      pack_file_entries(container, paths, extracted_description.c_str(), workers, clamp.latest, observer);
  observer.head_read(description);
  if (clamp.set) observer.times_clamped(source_date_variable, clamp.setting, clamped);
  return paths;
}

// Everything after the description's path is known. The output file is replaced only when
// the container is complete and never over the files it is made of, so a failure leaves an
// existing one untouched.
void pack(const char* description_path, const time_clamp& clamp, packing_observer& observer, output_step output) {
  ini_file description(description_path);
  observer.description_loaded(description);
  char output_path[path_size];
  read_path(description, "OutFile", false, output_path, observer);

  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  std::vector<std::string> entry_paths = pack_entries(description, container, output_path, clamp, observer);
  compile_objects(container, description, observer);
  if (section_count(container) == 0) throw base_exception("No data defined");
  refuse_unfit_output(output_path);
  refuse_output_over_inputs(output_path, description_path, entry_paths);
  output(output_path, container);
  observer.container_built(output_path, container);
}

// Packs the description at path, or asks for one when path is empty.
exit_status run(const char* path, packing_observer& observer, output_step output,
                const failure_step& failed) {
  char description_path[path_size];
  copy_path(description_path, path);
  try {
    if (std::strlen(path) > path_size - 1) throw path_too_long(description_path);
    // Read once, before anything else: a value that is no time fails before any file is read.
    time_clamp clamp = source_date_clamp(std::getenv(source_date_variable));
    if (!description_path[0] && !ask_description_path(description_path)) return exit_cancelled;
    pack(description_path, clamp, observer, output);
    return exit_written;
  } catch (const base_exception& error) {
    failed(error);
  } catch (const std::bad_alloc&) {  // from the standard library, which knows no other way
    failed(memory_exception());
  }
  return exit_failed;
}

// A check writes nothing; of what writing would meet it tells only a folder that is not there.
void foresee_output(const char* output_path, const byte_buffer&) { check_output_folder(output_path); }

}  // namespace

bool ask_description_path(char* path) {
  path[0] = '\0';
  OPENFILENAMEA record = {};
  record.lStructSize = static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A);
  record.hwndOwner = nullptr;
  record.hInstance = GetModuleHandleA(nullptr);
  record.lpstrFilter = "Ini Files (*.ini)\0*.ini\0All Files (*.*)\0*.*\0";
  record.nFilterIndex = 1;
  record.lpstrFile = path;
  record.nMaxFile = path_size;
  record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&record)) return false;
  // The chosen description's folder becomes the current directory, so that its paths are
  // relative to it. Windows' dialog makes it so when the user browses there, but not for
  // every way of naming the file (a name typed with its folders may leave it as it was).
  char folder[path_size];
  copy_path(folder, path);
  if (char* separator = last_separator(folder)) {  // the dialog returns a full path
    separator[1] = '\0';
    SetCurrentDirectoryA(folder);
  }
  return true;
}

exit_status run_tarnpack(const char* path) {
  return run(path, unobserved(), write_container, [](const base_exception& error) { report_error(error); });
}

exit_status check_tarnpack(const char* path, check_report& check) {
  return run(path, check, foresee_output, [&check](const base_exception& error) { check.failed(error); });
}
