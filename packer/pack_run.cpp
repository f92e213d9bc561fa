// The packer's run: description, container, output file, and the one handler of failures.
#include "pack_run.h"

#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "byte_buffer.h"
#include "check_report.h"
#include "container_format.h"
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

namespace {

// Packs every File entry, then every ExtractFile entry, in the order of the description,
// into the container that will be written to output_path, on as many workers as TARN_JOBS
// or the machine's cores give, no file with a time later than clamp's.
void pack_entries(ini_file& description, byte_buffer& container, const char* output_path,
                  const time_clamp& clamp, check_report* check) {
  std::vector<std::string> paths;
  char entry[path_size];
  bool cut = false;
  for (const char* keyword : {"File", "ExtractFile"})
    while (description.get_value(entry, sizeof entry, keyword, true, &cut)) {
      if (check) check->line_read(std::string(keyword) + "=" + entry, entry, cut, sizeof entry - 1);
      paths.emplace_back(entry);
    }
  std::string extracted_description = description_name_for(file_name_part(output_path));
  unsigned workers = packing_workers(std::getenv("TARN_JOBS"), std::thread::hardware_concurrency());
  entry_appended observe;
  if (check)
    observe = [&](size_t index, uint32_t old_size) {
      check->entry_packed(paths[index].c_str(), container, old_size);
    };
  uint32_t clamped =
      pack_file_entries(container, paths, extracted_description.c_str(), workers, clamp.latest, observe);
  if (check) check->head_read(description);
  if (check && clamp.set) check->times_clamped(source_date_variable, clamp.setting, clamped);
}

// Shows a failure, or records it for the check to show after its warnings.
void fail(const base_exception& error, check_report* check) {
  if (check)
    check->failed(error);
  else
    report_error(error);
}

void write_container(const char* output_path, const byte_buffer& container) {
  disk_file output;
  output.open_write(output_path, 0, CREATE_ALWAYS);
  output.write(container.data(), container.size());
  output.close();
}

// Everything after the description's path is known. The output file is created only when
// the container is complete, so a failure before leaves an existing one untouched. A check
// observes the same run and writes nothing.
void pack(const char* description_path, const time_clamp& clamp, check_report* check) {
  ini_file description(description_path);
  if (check) check->description_loaded(description);
  char output_path[path_size];
  bool cut = false;
  description.get_value(output_path, sizeof output_path, "OutFile", false, &cut);
  if (check)
    check->line_read(std::string("OutFile=") + output_path, output_path, cut, sizeof output_path - 1);

  byte_buffer container;
  container.set_size(container_header_size);
  encode_container_header(container.data(), 0);
  pack_entries(description, container, output_path, clamp, check);
  compile_objects(container, description, check);
  if (section_count(container) == 0) throw base_exception("No data defined");

  if (check)
    check->container_built(output_path, container);
  else
    write_container(output_path, container);
}

// Packs the description at path, or checks it when check is given.
exit_status run(const char* path, check_report* check) {
  char description_path[path_size];
  copy_path(description_path, path);
  try {
    // Read once, before anything else: a value that is no time fails before any file is read.
    time_clamp clamp = source_date_clamp(std::getenv(source_date_variable));
    if (!description_path[0] && !ask_description_path(description_path)) return exit_cancelled;
    pack(description_path, clamp, check);
    return exit_written;
  } catch (const base_exception& error) {
    fail(error, check);
  } catch (const std::bad_alloc&) {  // from the standard library, which knows no other way
    fail(memory_exception(), check);
  }
  return exit_failed;
}

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

exit_status run_tarnpack(const char* path) { return run(path, nullptr); }

exit_status check_tarnpack(const char* path, check_report& check) { return run(path, &check); }
