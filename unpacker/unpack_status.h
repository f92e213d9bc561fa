// tarnsplit's exit statuses and the messages it prints before its exit report, with the one
// function that prints them.
#pragma once

#include <cstdio>
#include <string>

// The statuses of the README's table, named for their causes.
enum class unpack_status : int {
  success = 0,                   // every section was processed
  container_not_opened = 1,      // the container cannot be opened
  directory_not_created = 2,     // the output directory cannot be created, or an earlier container
                                 // of the run was extracted into it
  container_header_short = 3,    // fewer than 8 bytes for the container header
  not_a_container = 4,           // "CONT" missing
  no_sections = 5,               // the container holds no section
  section_header_missing = 6,    // a section header is missing
  out_of_memory = 7,             // for a section's stored bytes, the typed name or the object
                                 // lines (none for the inflated content is not_inflated)
  data_past_end = 8,             // a section's name or data runs past the end of the file
  not_inflated = 9,              // a compressed section does not inflate to its declared size
  section_header_invalid = 10,   // bad magic, or a size of 0
  file_not_extracted = 11,       // cannot be created or written, or its name is unsafe
  description_not_written = 12,  // cannot be created or written; or the object header is cut short
  objects_invalid = 13,          // an object record is cut short, or the object header is invalid
  image_entry_invalid = 14,      // an image entry is cut short, its name has no NUL or no line
                                 // of the description can carry it
  bad_command_line = 15,         // an unknown option, a missing folder, options that clash
};

// The highest status of the table.
constexpr unpack_status last_unpack_status = unpack_status::bad_command_line;

// A printf format printed before the exit report, and the status the run then ends with.
struct failure_message {
  unpack_status status;
  const char* format;
};

// The messages. Their texts stay exactly as they have always been, typos and all: people
// and scripts read them.
namespace unpack_message {

inline constexpr char could_not_create[] = "Could not created %s\\%s. GetLastError(): %d\n";
inline constexpr char could_not_write[] = "Could not write %s\\%s. GetLastError(): %d\n";
using status = unpack_status;

inline constexpr failure_message
    container_not_opened{status::container_not_opened,
                         "Could not open file: %s\nExe's location: %s\nGetLastError(): %d\n"},
    // A typed name longer than the answer holds, shown as far as it does.
    typed_name_too_long{status::container_not_opened, "Path too long (over %d characters): %s\n"},
    directory_not_created{status::directory_not_created, "Could not create output directory.\n"},
    directory_used_before{status::directory_not_created,
                          "Output directory %s was used by an earlier container\n"},
    container_header_short{status::container_header_short,
                           "File not large enough to contain Lvz Header information\n"},
    not_a_container{status::not_a_container, "File is not a valid .lvz format\n"},
    // No line end: the exit report follows on the same line.
    no_sections{status::no_sections, "Lvz does not contain any data"},
    section_header_missing{status::section_header_missing,
                           "Could not access compressed data section number %u\n"},
    out_of_memory{status::out_of_memory, "Could not allocate %u bytes for decompressing data\n"},
    data_past_end{status::data_past_end, "Could read compressed data\n"},
    not_inflated{status::not_inflated, "Could not correctly decompress data\n"},
    section_header_invalid{status::section_header_invalid, "Compressed data header invalid\n"},
    unsafe_file_name{status::file_not_extracted, "Refusing unsafe file name: %s\n"},
    file_not_created{status::file_not_extracted, could_not_create},
    file_not_written{status::file_not_extracted, could_not_write},
    description_not_created{status::description_not_written, could_not_create},
    description_not_written{status::description_not_written, could_not_write},
    object_header_short{status::description_not_written, "Could not load object information header\n"},
    object_header_invalid{status::objects_invalid, "Object header is invalid\n"},
    object_missing{status::objects_invalid, "Cannot access Object number %d\n"},
    image_missing{status::image_entry_invalid, "Cannot access Image number %d\n"},
    // An image whose description line would read back as another entry, or as more lines.
    image_not_describable{status::image_entry_invalid, "Cannot describe Image number %d: its name %s\n"},
    // The command line's; the usage follows them.
    unknown_option{status::bad_command_line, "Unknown option: %s\n"},
    option_needs_folder{status::bad_command_line, "Option %s needs a folder\n"},
    options_clash{status::bad_command_line, "Options %s and %s cannot be used together\n"},
    json_without_list{status::bad_command_line, "Option --json needs --list\n"},
    json_of_several{status::bad_command_line, "Option --json lists one container only\n"},
    no_container_named{status::bad_command_line, "Option %s needs the name of a container\n"};

}  // namespace unpack_message

// Where failure messages and the exit report go: standard output, except for --list --json,
// whose standard output holds the document alone. Set once a run, before anything is printed.
inline FILE*& message_stream() {
  static FILE* stream = stdout;
  return stream;
}

// Prints message, formatted with args, on stream and returns its status. The message is a
// template argument so that the compiler checks its format against args.
template <const failure_message& message, typename... Args>
unpack_status fail_on(FILE* stream, Args... args) {
  if constexpr (sizeof...(Args) == 0)
    std::fputs(message.format, stream);  // no arguments, no conversions: the text as it is
  else
    std::fprintf(stream, message.format, args...);
  return message.status;
}

// The container that failure messages are about when several are taken in turn, shown before
// each message as "NAME: "; empty while one is, whose messages stay as they have always been.
inline std::string& message_subject() {
  static std::string subject;
  return subject;
}

// Prints message, formatted with args, on the message stream, after the message subject when
// there is one, and returns its status.
template <const failure_message& message, typename... Args>
unpack_status fail(Args... args) {
  if (!message_subject().empty()) std::fprintf(message_stream(), "%s: ", message_subject().c_str());
  return fail_on<message>(message_stream(), args...);
}
