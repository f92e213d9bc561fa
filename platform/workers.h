// How many workers a program runs side by side: as many as TARN_JOBS in the environment
// asks for, or as the machine has cores. tarnpack and tarnsplit take the same number.
#pragma once

#include <cstddef>

// The most workers a program runs, however many cores the machine has.
constexpr unsigned max_workers = 8;

// The number of workers that a TARN_JOBS setting asks for (nullptr when unset) on a machine
// of cores cores (0 when unknown): a whole number from 1 up, at most max_workers; unset,
// empty or anything else (0, negative, not a number) gives the cores, at least 1 and at most
// max_workers.
unsigned workers_for(const char* setting, unsigned cores);

// workers_for this process's TARN_JOBS and this machine's cores, never more than tasks
// (at least 1): one worker each.
unsigned configured_workers(size_t tasks);
