// What every fuzz target shares: ending the run on a broken property, and a quiet console.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A finding: the property `what` does not hold. Aborts so that libFuzzer saves the input.
inline void require(bool condition, const std::string& what) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

// The programs' console messages would only slow the fuzzer down.
inline void silence_stdout() {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}
