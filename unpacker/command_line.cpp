// tarnsplit's command line.
#include "command_line.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "manual.h"

namespace {

const char usage[] =
    "Usage: tarnsplit [container.lvz]\n"
    "       tarnsplit [-o DIR] container.lvz...\n"
    "       tarnsplit -l [--json] container.lvz...\n"
    "       tarnsplit -t container.lvz...\n"
    "       tarnsplit -h|--help | -V|--version\n";

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

// Takes mode as the way of running that an option asks for; refuses it when an earlier
// option asked for another, naming the two in the table's order.
unpack_status choose(run_mode mode, const run_mode_rules*& chosen) {
  const run_mode_rules* next = &rules_of(mode);
  if (chosen && chosen != next) {
    auto [first, second] = std::minmax(chosen, next);
    return refuse<unpack_message::options_clash>(first->option, second->option);
  }
  chosen = next;
  return unpack_status::success;
}

// What the chosen way of running (nullptr: none asked for) requires of json and the names.
unpack_status finish(const run_mode_rules* chosen, bool json, tarnsplit_command& command) {
  namespace message = unpack_message;
  if (json) {
    if (!chosen || chosen->mode != run_mode::list) return refuse<message::json_without_list>();
    chosen = &rules_of(run_mode::list_json);
  }
  command.mode = chosen ? chosen->mode : run_mode::extract;
  // Only extraction without an option asks for the name.
  if (chosen && command.containers.empty()) return refuse<message::no_container_named>(chosen->option);
  if (rules_of(command.mode).one_container && command.containers.size() > 1)
    return refuse<message::json_of_several>();
  return unpack_status::success;
}

}  // namespace

unpack_status read_command_line(int argc, char** argv, tarnsplit_command& command) {
  const run_mode_rules* chosen = nullptr;
  bool json = false;
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
    unpack_status taken = unpack_status::success;
    if (is(argument, "-l", "--list")) {
      taken = choose(run_mode::list, chosen);
    } else if (is(argument, "-t", "--test")) {
      taken = choose(run_mode::test, chosen);
    } else if (std::strcmp(argument, "--json") == 0) {
      json = true;
    } else if (is(argument, "-o", "--output")) {
      if (i + 1 >= argc) return refuse<unpack_message::option_needs_folder>(argument);
      command.output_directory = argv[++i];
      taken = choose(run_mode::extract, chosen);
    } else {
      return refuse<unpack_message::unknown_option>(argument);
    }
    if (taken != unpack_status::success) return taken;
  }
  for (; i < argc; ++i) command.containers.push_back(argv[i]);
  return finish(chosen, json, command);
}

void print_help() {
  std::fputs(usage, stdout);
  std::printf(
      "Extracts every file of the container, with its time stamp, into a directory named\n"
      "after it, and writes there a description from which tarnpack rebuilds the container.\n"
      "Without an argument the container's name is asked for.\n"
      "\n"
      "  -o, --output DIR  extract into DIR (made when missing; its parent must exist);\n"
      "                    with several containers, each into a folder of DIR named\n"
      "                    as it would be without -o\n"
      "  -l, --list        list the sections: sizes, compression, stored time and name\n"
      "      --json        with --list: the same facts as one JSON document\n"
      "  -t, --test        check everything that extraction checks, and write nothing\n"
      "  -h, --help        print this help\n"
      "  -V, --version     print the version\n"
      "  --                end the options: every argument after it names a container\n"
      "\n"
      "Options come before the first container's name. Several containers are taken in\n"
      "turn; a failure does not stop the others, and a container whose folder an earlier\n"
      "one went into is refused (status 2). Exit status: 0 when every container went\n"
      "well, else that of the first one that failed (1 to 14), 15 for a wrong command\n"
      "line. The statuses and messages: see the manual, %s.\n"
      "\n"
      "TARN_JOBS=N in the environment: the number of sections read and inflated side by\n"
      "side (1 to 8; by default the machine's cores, at most 8).\n",
      manual_of("tarnsplit").c_str());
}

void print_version() { std::printf("tarnsplit " TARN_VERSION "\n"); }
