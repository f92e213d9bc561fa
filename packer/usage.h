// What tarnpack says about itself, shown by each platform's entry point its own way.
#pragma once

// One line a paragraph: a message box wraps them to its width, the console to a terminal's.
constexpr char tarnpack_usage[] =
    "Usage: tarnpack [description.ini]\n"
    "       tarnpack -c|--check [description.ini]\n"
    "       tarnpack -h|--help | -V|--version\n"
    "Builds the level-zone container named by the description's OutFile from its File and "
    "ExtractFile entries and its object definitions, and writes it in one piece. Without an "
    "argument it asks for the description.\n"
    "-c, --check: builds the container in memory as packing would, writes nothing, and reports "
    "each section and each entry left out, with warnings for lines that packing ignores and "
    "numbers that it changes.\n"
    "Options come before the name, which is taken verbatim; -- ends them.\n"
    "TARN_JOBS=N in the environment: the number of files read and compressed side by side "
    "(1 to 8; by default the machine's cores, at most 8).\n"
    "SOURCE_DATE_EPOCH=SECONDS in the environment: files written later than that moment "
    "(seconds since 1970 UTC) are stored with its time, so that fresh copies of the same "
    "files give the same container.\n"
    "Exit status: 0 written (or sound, when checking), 1 cancelled, 2 failed (after showing "
    "the error).\n";

// tarnpack and the project's version, set by the build.
constexpr char tarnpack_version[] = "tarnpack " TARN_VERSION "\n";
