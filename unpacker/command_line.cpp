// tarnsplit's command line.
#include "command_line.h"

#include <cstdio>
#include <cstring>

namespace {

const char usage[] =
    "Usage: tarnsplit [container.lvz]\n"
    "       tarnsplit [-o DIR] container.lvz...\n"
    "       tarnsplit -l [--json] container.lvz...\n"
    "       tarnsplit -t container.lvz...\n";

bool is(const char* argument, const char* short_form, const char* long_form) {
  return std::strcmp(argument, short_form) == 0 || std::strcmp(argument, long_form) == 0;
}

// Prints message with args and the usage on standard error: bad_command_line.
template <const failure_message& message, typename... Args>
unpack_status refuse(Args... args) {
  unpack_status status = fail_on<message>(stderr, args...);
  std::fputs(usage, stderr);
  return status;
}

// The options that only make sense together with what else was given.
unpack_status check_combination(const tarnsplit_command& command, bool list, bool test) {
  namespace message = unpack_message;
  if (list && test) return refuse<message::options_clash>("--list", "--test");
  if (command.output_directory && (list || test))
    return refuse<message::options_clash>("--output", list ? "--list" : "--test");
  if (command.json && !list) return refuse<message::json_without_list>();
  const char* needs_name =
      list ? "--list" : test ? "--test" : command.output_directory ? "--output" : nullptr;
  if (needs_name && command.containers.empty()) return refuse<message::no_container_named>(needs_name);
  if (command.json && command.containers.size() > 1) return refuse<message::json_of_several>();
  return unpack_status::success;
}

}  // namespace

unpack_status read_command_line(int argc, char** argv, tarnsplit_command& command) {
  bool list = false, test = false;
  int i = 1;
  for (; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--") == 0) {
      ++i;
      break;
    }
    if (argument[0] != '-' || argument[1] == '\0') break;  // the first name
    if (is(argument, "-h", "--help")) {
      command.action = command_action::help;
      return unpack_status::success;
    }
    if (is(argument, "-V", "--version")) {
      command.action = command_action::version;
      return unpack_status::success;
    }
    if (is(argument, "-l", "--list")) {
      list = true;
    } else if (is(argument, "-t", "--test")) {
      test = true;
    } else if (std::strcmp(argument, "--json") == 0) {
      command.json = true;
    } else if (is(argument, "-o", "--output")) {
      if (i + 1 >= argc) return refuse<unpack_message::option_needs_folder>(argument);
      command.output_directory = argv[++i];
    } else {
      return refuse<unpack_message::unknown_option>(argument);
    }
  }
  for (; i < argc; ++i) command.containers.push_back(argv[i]);
  command.mode = list ? run_mode::list : test ? run_mode::test : run_mode::extract;
  return check_combination(command, list, test);
}

void print_help() {
  std::fputs(usage, stdout);
  std::fputs(
      "Extracts every file of the container, with its time stamp, into a directory named\n"
      "after it, and writes there a description from which tarnpack rebuilds the container.\n"
      "Without an argument the container's name is asked for.\n"
      "\n"
      "  -o, --output DIR  extract into DIR (made when missing; its parent must exist)\n"
      "  -l, --list        list the sections: sizes, compression, stored time and name\n"
      "      --json        with --list: the same facts as one JSON document\n"
      "  -t, --test        check everything that extraction checks, and write nothing\n"
      "  -h, --help        print this help\n"
      "  -V, --version     print the version\n"
      "  --                end the options: every argument after it names a container\n"
      "\n"
      "Options come before the first container's name. Several containers are taken in\n"
      "turn; a failure does not stop the others. Exit status: 0 when every container went\n"
      "well, else that of the first one that failed (1 to 14, see the manual), 15 for a\n"
      "wrong command line.\n",
      stdout);
}

void print_version() { std::printf("tarnsplit " TARN_VERSION "\n"); }
