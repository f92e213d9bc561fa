#!/usr/bin/env python3
"""Benchmark of tarnpack and tarnsplit against their floor and against tar and zip.

    bench/benchmark.py [--scale MIB] [--reps N] [--many N] [--hostile] [--big] [--million]

Builds the programs (Release), makes the shared benchmark corpus on a tmpfs scratch
directory, and measures in one run, interleaved round by round: tarnpack on bench.ini with
TARN_JOBS=1, 2, and 4 and 8 as far as the cores go (each must write the same container),
tarnsplit on the container with TARN_JOBS=1 and with its default workers (each must write the
same files, times and description), the floor (bench_floor: zlib's compress and uncompress over the
same files and sections, one read and one write of the bytes, on one thread), tar -czf /
zip -6 and their extraction. It prints median wall time with its spread, MB/s of content, CPU
time, peak memory as the kernel accounts it (GNU time), the memory bound and the ratio to
the floor, then the scale check (time per file with many tiny files against 200); with
--hostile, an object section of a million records and a description of 100,000 File lines
and a million object lines, each against a tenth of it; with --big, a 1 GiB file packed and
unpacked within the memory bounds; with --million, a container of a million tiny sections
checked (tarnsplit --test) within tarnsplit's memory bound. Last come the targets, each "ok" or "MISS". It is a
measurement, not a test: it always ends with status 0 unless a program fails.
"""
import argparse
import hashlib
import os
import platform
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIB = 2**20
SLACK = 8 * MIB          # what the bounds allow beyond the data: program, libraries, stacks
# tarnpack against the one-thread floor, by its number of workers (TARN_JOBS).
PACK_TARGETS = {1: 1.05, 2: 0.60}
# tarnsplit against the same floor: on one thread, and with its default workers (the cores).
UNPACK_TARGETS = {1: 0.80, None: 0.45}
MAX_WORKERS = 8          # the programs' own limit
UNPACK_WINDOW = 8 * MIB  # sections that tarnsplit's workers hold ready (section_workers.h)


# -- running and measuring ------------------------------------------------------------------

class Failed(Exception):
    pass


def measure(command, cwd, stdin_path=None, env=None):
    """Runs command in cwd, with the variables env added to the environment; returns (wall
    seconds, CPU seconds, peak resident bytes).
    The peak comes from GNU time, whose own small process is what the child starts as:
    a child forked from this interpreter would report the interpreter's size."""
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-q", "-o", report.name, "-f", "%U %S %M"] + command,
                              cwd=cwd, stdin=stdin, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, env=dict(os.environ, **(env or {})))
        wall = time.perf_counter() - start
        figures = report.read().split()
    if stdin_path:
        stdin.close()
    if done.returncode != 0:
        raise Failed("%s (in %s) ended with status %d: %s" % (
            " ".join(command), cwd, done.returncode, done.stderr.decode(errors="replace").strip()))
    return wall, float(figures[0]) + float(figures[1]), int(figures[2]) * 1024   # %M is in KiB


def remove(path):
    if os.path.isdir(path) and not os.path.islink(path):
        shutil.rmtree(path)
    elif os.path.lexists(path):
        os.remove(path)


class Case:
    """One program to time: how to prepare a run (not timed), the command, its samples."""

    def __init__(self, name, command, cwd, prepare=(), floor=None, bound=None, stdin=None,
                 fresh_dir=None, env=None):
        self.name, self.command, self.cwd, self.stdin, self.env = name, command, cwd, stdin, env
        self.prepare, self.floor, self.bound, self.fresh_dir = prepare, floor, bound, fresh_dir
        self.samples = []

    def run(self):
        for path in self.prepare:
            remove(path)
        if self.fresh_dir:
            remove(self.fresh_dir)
            os.makedirs(self.fresh_dir)
        self.samples.append(measure(self.command, self.cwd, self.stdin, self.env))

    def median(self, field):
        return statistics.median(s[field] for s in self.samples)


def run_rounds(cases, reps):
    """One untimed warm-up round, then reps rounds of every case, interleaved so that a
    change of load on the machine hits every program alike."""
    for round_number in range(reps + 1):
        for case in cases:
            case.run()
        if round_number == 0:
            for case in cases:
                case.samples.clear()


def paired_ratio(case):
    """Median over the rounds of this case's time over its floor's time in the same round."""
    return statistics.median(a[0] / b[0] for a, b in zip(case.samples, case.floor.samples))


# -- containers -----------------------------------------------------------------------------

def sections(container):
    """(name, full_size, stored_size) of every section."""
    with open(container, "rb") as f:
        data = f.read()
    count = struct.unpack_from("<I", data, 4)[0]
    at, found = 8, []
    for _ in range(count):
        full, _, stored = struct.unpack_from("<III", data, at + 4)
        end = data.index(b"\0", at + 16)
        found.append((data[at + 16:end], full, stored))
        at = end + 1 + stored
    return found


def without_times(container):
    """The container's bytes with every section's time stamp set to 0."""
    with open(container, "rb") as f:
        data = bytearray(f.read())
    at = 8
    for _ in range(struct.unpack_from("<I", data, 4)[0]):
        data[at + 8:at + 12] = bytes(4)
        at = data.index(b"\0", at + 16) + 1 + struct.unpack_from("<I", data, at + 12)[0]
    return bytes(data)


def same_files(names, directory_a, directory_b):
    for name in names:
        with open(os.path.join(directory_a, name), "rb") as a, \
                open(os.path.join(directory_b, name), "rb") as b:
            if a.read() != b.read():
                return False
    return True


def zlib_bound(size):
    """The scratch the packer takes for one zlib stream: size + size/1000 rounded up + 12."""
    return size + -(-size // 1000) + 12


def pack_bound(container, input_sizes, workers=1):
    """The container, and for each worker one of the largest inputs with its scratch."""
    largest = sorted(input_sizes, reverse=True)[:workers]
    return os.path.getsize(container) + sum(size + zlib_bound(size) for size in largest) + SLACK


def job_counts():
    """The numbers of tarnpack's workers to measure: 1, 2, 4 and 8 as far as the cores go,
    and the cores themselves."""
    cores = min(os.cpu_count() or 1, MAX_WORKERS)
    return sorted({n for n in (1, 2, 4, 8) if n <= cores} | {cores})


def pack_case_name(jobs):
    return "tarnpack %d job%s" % (jobs, "" if jobs == 1 else "s")


def default_workers(section_count):
    """The workers a program takes without TARN_JOBS: the cores, at most 8, never more than
    its tasks."""
    return max(1, min(os.cpu_count() or 1, MAX_WORKERS, section_count))


def unpack_bound(container, workers=1):
    """For each worker one of the largest sections stored and restored; with more than one,
    the sections that wait to be written, up to the window."""
    largest = max(full + stored for _, full, stored in sections(container))
    return workers * largest + (UNPACK_WINDOW if workers > 1 else 0) + SLACK


def unpack_case_name(jobs):
    return "tarnsplit %s" % ("%d job%s" % (jobs, "" if jobs == 1 else "s") if jobs else "default")


def unpack_environment(jobs):
    """TARN_JOBS for tarnsplit: jobs, or empty, which leaves the choice to the program."""
    return {"TARN_JOBS": str(jobs) if jobs else ""}


def tree_digest(directory, undated):
    """One digest of every file below directory: its name, bytes and modification time (but
    that of the file named undated, written now)."""
    digest = hashlib.sha256()
    for root, _, names in sorted(os.walk(directory)):
        for name in sorted(names):
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                digest.update(os.path.relpath(path, directory).encode() + b"\0" + f.read())
            if name != undated:
                digest.update(str(os.stat(path).st_mtime_ns).encode())
    return digest.digest()


# -- set-up ---------------------------------------------------------------------------------

def build(build_dir):
    """Installs what is missing and builds the programs; the paths of those that exist."""
    subprocess.run([os.path.join(ROOT, "scripts", "setup.sh"), "zip", "unzip", "time"], check=True)
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release"],
                   check=True, stdout=subprocess.DEVNULL)
    targets = ["bench_floor", "tarnsplit"]
    if os.path.isdir(os.path.join(ROOT, "packer")):
        targets.append("tarnpack")
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target"] + targets,
                   check=True, stdout=subprocess.DEVNULL)


def program(build_dir, folder, name):
    path = os.path.join(build_dir, folder, name)
    return path if os.access(path, os.X_OK) else None


def listed_files(description):
    with open(description, newline="") as f:
        return [line.strip("\r\n")[5:] for line in f if line.lower().startswith("file=")]


def make_corpus(maker, directory, scale, seed):
    subprocess.run([sys.executable, maker, "--seed", str(seed), "--scale", str(scale), directory],
                   check=True)
    files = listed_files(os.path.join(directory, "bench.ini"))
    with open(os.path.join(directory, "..", "files.txt"), "w") as f:
        f.write("".join(name + "\n" for name in files))
    return files


def make_many(directory, count):
    """count tiny files (1 to 100 bytes, so some are compressed) and a description of them,
    with every 100th entry repeating an earlier name in other letter case from sub/, which
    the packer leaves out. Returns the description's path."""
    os.makedirs(os.path.join(directory, "sub"), exist_ok=True)
    lines = ["OutFile=many%d.lvz" % count]
    for i in range(count):
        name = "t%05d.txt" % i
        with open(os.path.join(directory, name), "wb") as f:
            f.write((b"tile %d " % i * 20)[:1 + i % 100])
        lines.append("File=" + name)
        if i % 100 == 99:
            twin = "sub/" + ("t%05d.txt" % (i - 50)).upper()
            with open(os.path.join(directory, twin), "wb") as f:
                f.write(b"dropped")
            lines.append("File=" + twin)
    description = os.path.join(directory, "many%d.ini" % count)
    with open(description, "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in lines))
    return description


# -- reports --------------------------------------------------------------------------------

def machine():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            model = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    memory = os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / 2**30
    return "%d cores (%s), %.0f GiB, %s %s" % (os.cpu_count(), model, memory, platform.system(),
                                               platform.release())


def print_table(cases, content_bytes):
    print("%-17s %9s %17s %8s %8s %9s %9s %9s" % (
        "", "wall", "spread min-max", "MB/s", "CPU s", "peak MiB", "bound", "/ floor"))
    for case in cases:
        wall = case.median(0)
        walls = [s[0] for s in case.samples]
        bound = "%9.1f" % (case.bound / MIB) if case.bound else "%9s" % ""
        ratio = "%8.2fx" % paired_ratio(case) if case.floor else "%9s" % ""
        print("%-17s %7.3f s %7.3f-%7.3f s %8.1f %8.3f %9.1f %s %s" % (
            case.name, wall, min(walls), max(walls), content_bytes / 1e6 / wall, case.median(1),
            max(s[2] for s in case.samples) / MIB, bound, ratio))


def verdicts(cases):
    by_name = {case.name: case for case in cases}
    lines = []
    targets = {pack_case_name(jobs): limit for jobs, limit in PACK_TARGETS.items()}
    targets.update({unpack_case_name(jobs): limit for jobs, limit in UNPACK_TARGETS.items()})
    for name, limit in targets.items():
        if name in by_name:
            ratio = paired_ratio(by_name[name])
            lines.append(("%s / floor %.2fx (target %.2fx)" % (name, ratio, limit), ratio <= limit))
    for case in cases:
        if case.bound:
            peak = max(s[2] for s in case.samples)
            lines.append(("%s peak memory %.1f MiB (bound %.1f MiB)" % (
                case.name, peak / MIB, case.bound / MIB), peak <= case.bound))
    packer = pack_case_name(1)
    for ours, theirs in ((packer, "tar -czf"), (packer, "zip -6"),
                         (unpack_case_name(None), "tar -xzf"), (unpack_case_name(None), "unzip")):
        if ours in by_name and theirs in by_name:
            a, b = by_name[ours].median(0), by_name[theirs].median(0)
            lines.append(("%s %.3f s against %s %.3f s" % (ours, a, theirs, b), a < b))
    return lines


def print_verdicts(lines):
    for text, met in lines:
        print("  %-4s %s" % ("ok" if met else "MISS", text))


# -- the three parts ------------------------------------------------------------------------

def corpus_benchmark(args, tools, scratch):
    corpus = os.path.join(scratch, "corpus")
    files = make_corpus(args.corpus_maker, corpus, args.scale, args.seed)
    sizes = [os.path.getsize(os.path.join(corpus, name)) for name in files]
    content = sum(sizes)
    floor_container = os.path.join(scratch, "floor.lvz")
    measure([tools["floor"], "pack", "bench.ini", floor_container], corpus)

    unpack_dir = os.path.join(scratch, "unpack")
    os.makedirs(unpack_dir)
    container = os.path.join(unpack_dir, "bench.lvz")
    cases = []
    pack_floor = Case("pack floor", [tools["floor"], "pack", "bench.ini", floor_container],
                      corpus, prepare=[floor_container])
    same_for_every_n = None
    if tools["tarnpack"]:
        packed = os.path.join(corpus, "bench.lvz")
        written = set()
        for jobs in job_counts():
            env = {"TARN_JOBS": str(jobs)}
            measure([tools["tarnpack"], "bench.ini"], corpus, env=env)
            with open(packed, "rb") as f:
                written.add(hashlib.sha256(f.read()).digest())
            cases.append(Case(pack_case_name(jobs), [tools["tarnpack"], "bench.ini"], corpus,
                              prepare=[packed], floor=pack_floor, env=env,
                              bound=pack_bound(packed, sizes, jobs)))
        same_for_every_n = len(written) == 1
        shutil.copyfile(packed, container)
    else:
        shutil.copyfile(floor_container, container)
    cases.append(pack_floor)
    archive_tar, archive_zip = os.path.join(scratch, "bench.tgz"), os.path.join(scratch, "bench.zip")
    cases.append(Case("tar -czf", ["tar", "-czf", archive_tar, "-T", "../files.txt"], corpus,
                      prepare=[archive_tar], floor=pack_floor))
    cases.append(Case("zip -6", ["zip", "-q", "-6", "-X", archive_zip, "-@"], corpus,
                      prepare=[archive_zip], floor=pack_floor,
                      stdin=os.path.join(scratch, "files.txt")))
    measure(cases[-2].command, corpus)
    measure(cases[-1].command, corpus, cases[-1].stdin)

    unpack_floor = Case("unpack floor", [tools["floor"], "unpack", "bench.lvz", "floor-out"],
                        unpack_dir, prepare=[os.path.join(unpack_dir, "floor-out")])
    count = len(sections(container))
    unpacked = set()
    for jobs in UNPACK_TARGETS:
        env = unpack_environment(jobs)
        remove(os.path.join(unpack_dir, "bench"))
        measure([tools["tarnsplit"], "bench.lvz"], unpack_dir, env=env)
        unpacked.add(tree_digest(os.path.join(unpack_dir, "bench"), "bench.ini"))
        cases.append(Case(unpack_case_name(jobs), [tools["tarnsplit"], "bench.lvz"], unpack_dir,
                          prepare=[os.path.join(unpack_dir, "bench")], floor=unpack_floor, env=env,
                          bound=unpack_bound(container, jobs or default_workers(count))))
    cases.append(unpack_floor)
    cases.append(Case("tar -xzf", ["tar", "-xzf", archive_tar, "-C", "tar-out"], unpack_dir,
                      floor=unpack_floor, fresh_dir=os.path.join(unpack_dir, "tar-out")))
    cases.append(Case("unzip", ["unzip", "-q", archive_zip, "-d", "zip-out"], unpack_dir,
                      floor=unpack_floor, prepare=[os.path.join(unpack_dir, "zip-out")]))

    run_rounds(cases, args.reps)
    checks = [("tarnsplit restored every file byte for byte",
               same_files(files, corpus, os.path.join(unpack_dir, "bench"))),
              ("tarnsplit writes the same files, times and description with TARN_JOBS=1 and "
               "its default %d workers" % default_workers(count), len(unpacked) == 1)]
    if tools["tarnpack"]:
        checks.append(("tarnpack's container is the floor's, time stamps aside",
                       without_times(packed) == without_times(floor_container)))
        checks.append(("tarnpack writes the same container with TARN_JOBS=%s" %
                       ", ".join(map(str, job_counts())), same_for_every_n))
    print("Corpus: %.1f MiB of content in %d files (scale %g, seed %d); container %.1f MiB%s" % (
        content / MIB, len(files), args.scale, args.seed, os.path.getsize(container) / MIB,
        "" if tools["tarnpack"] else " (written by the floor: no tarnpack built)"))
    print("%d rounds; ratios are medians of the per-round ratios to the floor.\n" % args.reps)
    print_table(cases, content)
    return checks + verdicts(cases), files


def scale_check(args, tools, scratch):
    """Time per file of packing and unpacking many tiny files against 200 of them."""
    lines, per_file = [], {}
    for count in (200, args.many):
        directory = os.path.join(scratch, "many%d" % count)
        os.makedirs(directory)
        description = make_many(directory, count)
        container = os.path.join(directory, "many%d.lvz" % count)
        if tools["tarnpack"]:
            pack = Case("pack", [tools["tarnpack"], os.path.basename(description)], directory,
                        prepare=[container])
        else:
            pack = Case("pack", [tools["floor"], "pack", description, container], directory,
                        prepare=[container])
        unpack = Case("unpack", [tools["tarnsplit"], os.path.basename(container)], directory,
                      prepare=[os.path.join(directory, "many%d" % count)])
        run_rounds([pack, unpack], args.reps)
        per_file[count] = (pack.median(0) / count, unpack.median(0) / count)
        if tools["tarnpack"]:
            names = [name for name, _, _ in sections(container)]
            lines.append(("tarnpack kept the first entry of each of the %d names" % count,
                          names == [b"t%05d.txt" % i for i in range(count)]))
    print("\nScale: time per file, %d tiny files against 200 (%s)" % (
        args.many, "tarnpack" if tools["tarnpack"] else "packed by the floor: no tarnpack built"))
    for i, what in enumerate(("pack", "unpack")):
        few, many = per_file[200][i], per_file[args.many][i]
        print("  %-7s %8.1f us per file with 200, %8.1f us with %d: %.2fx" % (
            what, few * 1e6, many * 1e6, args.many, many / few))
        if what == "unpack" or tools["tarnpack"]:
            lines.append(("%s time per file with %d files %.2fx that with 200 (limit 3x)" % (
                what, args.many, many / few), many / few <= 3))
    return lines


def big_check(args, tools, scratch, files):
    """One file of 1 GiB (the corpus files over and over) packed and unpacked within the
    memory bounds."""
    directory = os.path.join(scratch, "big")
    os.makedirs(directory)
    corpus = os.path.join(scratch, "corpus")
    size = args.big_mib * MIB
    with open(os.path.join(directory, "big.bin"), "wb") as out:
        written = 0
        while written < size:
            for name in files:
                with open(os.path.join(corpus, name), "rb") as f:
                    chunk = f.read(size - written)
                out.write(chunk)
                written += len(chunk)
                if written >= size:
                    break
    with open(os.path.join(directory, "big.ini"), "w", newline="") as f:
        f.write("OutFile=big.lvz\r\nFile=big.bin\r\n")
    container = os.path.join(directory, "big.lvz")
    print("\nBig input: one file of %d MiB" % args.big_mib)
    cases = []
    if tools["tarnpack"]:
        cases.append(Case("tarnpack", [tools["tarnpack"], "big.ini"], directory))
    else:
        cases.append(Case("pack floor", [tools["floor"], "pack", "big.ini", "big.lvz"], directory))
    cases[0].run()
    os.remove(os.path.join(directory, "big.bin"))    # tmpfs space: the output is next
    if tools["tarnpack"]:
        cases[0].bound = pack_bound(container, [size])
    cases.append(Case("tarnsplit", [tools["tarnsplit"], "big.lvz"], directory,
                      bound=unpack_bound(container, default_workers(len(sections(container))))))
    cases[1].run()
    for case in cases:
        wall, cpu, peak = case.samples[0]
        print("  %-10s %8.2f s %8.1f MB/s  peak %7.1f MiB%s" % (
            case.name, wall, size / 1e6 / wall, peak / MIB,
            "  (bound %.1f MiB)" % (case.bound / MIB) if case.bound else ""))
    return [("%s with %d MiB: peak %.1f MiB (bound %.1f MiB)" % (
        case.name, args.big_mib, case.samples[0][2] / MIB, case.bound / MIB),
        case.samples[0][2] <= case.bound) for case in cases if case.bound]


def million_check(args, tools, scratch):
    """A container of a million tiny sections (1 to 100 bytes, those over 50 compressed),
    checked by tarnsplit --test with its default workers: the same reads, checks and
    inflating as extraction, without a million files on the scratch tmpfs."""
    directory = os.path.join(scratch, "million")
    os.makedirs(directory)
    count = args.million_sections
    pieces = [b"CONT" + struct.pack("<I", count)]
    for i in range(count):
        content = (b"tile %d " % i * 20)[:1 + i % 100]
        stream = zlib.compress(content) if len(content) > 50 else content
        if len(stream) >= len(content):
            stream = content
        pieces.append(b"CONT" + struct.pack("<III", len(content), 1000000000 + i, len(stream))
                      + b"t%07d.txt\0" % i + stream)
    container = os.path.join(directory, "million.lvz")
    with open(container, "wb") as f:
        f.write(b"".join(pieces))
    workers = default_workers(count)
    case = Case("tarnsplit --test", [tools["tarnsplit"], "--test", "million.lvz"], directory,
                env=unpack_environment(None), bound=unpack_bound(container, workers))
    run_rounds([case], 1)
    wall, _, peak = case.samples[0]
    print("\nA million tiny sections (%.1f MiB), tarnsplit --test with %d workers:\n"
          "  %.2f s, %.1f us per section, peak %.1f MiB (bound %.1f MiB)" % (
              os.path.getsize(container) / MIB, workers, wall, wall / count * 1e6, peak / MIB,
              case.bound / MIB))
    return [("tarnsplit --test over %d sections: peak %.1f MiB (bound %.1f MiB)" % (
        count, peak / MIB, case.bound / MIB), peak <= case.bound)]


def object_container(path, count):
    """A container whose one section is an object section of count records (map and screen
    objects in turn, all layers and modes) and one image: a few KiB, since it compresses."""
    records = bytearray()
    for i in range(count):
        is_map = i % 2
        kind_and_id = ((i % 48) << 1) | is_map     # a short period, so that it compresses
        records += struct.pack("<HhhBBH", kind_and_id, i % 16 - 8, i % 12, 0, i % 8,
                               (i % 6) << 12 | i % 24)
    content = (b"CLV2" + struct.pack("<II", count, 1) + bytes(records)
               + struct.pack("<HHH", 1, 1, 100) + b"ship.bmp\0")
    stream = zlib.compress(content)
    with open(path, "wb") as f:
        f.write(b"CONT" + struct.pack("<I", 1) + b"CONT"
                + struct.pack("<III", len(content), 0, len(stream)) + b"\0" + stream)


def long_description(directory, name, file_lines, object_lines):
    """A description whose head has file_lines File lines (naming 100 files in turn, so all
    but the first 100 are duplicates) and whose [mapobjects] section has object_lines lines."""
    for i in range(100):
        with open(os.path.join(directory, "f%02d.txt" % i), "wb") as f:
            f.write(b"file %d\r\n" % i * 10)
    lines = ["OutFile=%s.lvz" % name]
    lines += ["File=f%02d.txt" % (i % 100) for i in range(file_lines)]
    lines += ["[objectimages]", "IMAGE0=f00.txt", "[mapobjects]"]
    lines += ["%d,%d,IMAGE0,BelowAll,ShowAlways,0,%d" % (i % 1000, i % 777, i)
              for i in range(object_lines)]
    with open(os.path.join(directory, name + ".ini"), "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in lines))
    return name + ".ini"


def hostile_check(args, tools, scratch):
    """Hostile sizes stay linear: an object section of a million records, and a description
    with a head of 100,000 File lines and a million object lines, against a tenth of each."""
    directory = os.path.join(scratch, "hostile")
    os.makedirs(directory)
    lines, print_lines = [], ["\nHostile sizes, against a tenth of each:"]
    runs = {}
    for count in (args.records // 10, args.records):
        name = "objects%d" % count
        object_container(os.path.join(directory, name + ".lvz"), count)
        case = Case(name, [tools["tarnsplit"], name + ".lvz"], directory,
                    prepare=[os.path.join(directory, name)])
        run_rounds([case], 1)
        runs[count] = (case.median(0), max(s[2] for s in case.samples))
    (small_time, small_peak), (time_, peak) = runs[args.records // 10], runs[args.records]
    per_record = (peak - small_peak) / (args.records - args.records // 10)
    ratio = (time_ / args.records) / (small_time / (args.records // 10))
    print_lines.append("  tarnsplit, object section of %d records: %.2f s, peak %.1f MiB "
                       "(%.0f bytes per record); time per record %.2fx that with %d" % (
                           args.records, time_, peak / MIB, per_record, ratio, args.records // 10))
    lines.append(("tarnsplit renders %d object records in %.2f s, %.0f bytes each, time per "
                  "record %.2fx (limit 3x)" % (args.records, time_, per_record, ratio),
                  ratio <= 3 and per_record < 255))
    if tools["tarnpack"]:
        times = {}
        for scale in (10, 1):
            file_lines, object_lines = args.file_lines // scale, args.records // scale
            description = long_description(directory, "long%d" % object_lines, file_lines,
                                            object_lines)
            case = Case(description, [tools["tarnpack"], description], directory)
            run_rounds([case], 1)
            times[scale] = case.median(0)
        ratio = times[1] / times[10]
        print_lines.append("  tarnpack, %d File lines and %d [mapobjects] lines: %.2f s; "
                           "%.2fx the time of a tenth (linear: 10x)" % (
                               args.file_lines, args.records, times[1], ratio))
        lines.append(("tarnpack packs %d File lines and %d object lines in %.2f s, %.2fx the "
                      "time of a tenth (limit 30x)" % (args.file_lines, args.records, times[1],
                                                       ratio), ratio <= 30))
    print("\n".join(print_lines))
    return lines


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--scale", type=float, default=64, help="corpus size in MiB (default 64)")
    ap.add_argument("--seed", type=int, default=1, help="corpus seed (default 1)")
    ap.add_argument("--reps", type=int, default=7, help="timed rounds (default 7)")
    ap.add_argument("--many", type=int, default=20000,
                    help="tiny files of the scale check (default 20000; 0 skips it)")
    ap.add_argument("--hostile", action="store_true",
                    help="also time an object section of a million records and a description "
                         "of 100,000 File lines and a million object lines")
    ap.add_argument("--records", type=int, default=1000000, help=argparse.SUPPRESS)
    ap.add_argument("--file-lines", type=int, default=100000, help=argparse.SUPPRESS)
    ap.add_argument("--big", action="store_true", help="also pack and unpack one 1 GiB file")
    ap.add_argument("--big-mib", type=int, default=1024, help=argparse.SUPPRESS)
    ap.add_argument("--million", action="store_true",
                    help="also check a container of a million tiny sections")
    ap.add_argument("--million-sections", type=int, default=1000000, help=argparse.SUPPRESS)
    ap.add_argument("--corpus-maker", default=os.path.join(ROOT, "..", "shared", "bench",
                                                           "make_corpus.py"),
                    help="the shared corpus maker (default ../shared/bench/make_corpus.py)")
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build"))
    ap.add_argument("--no-build", action="store_true", help="use the programs as built")
    ap.add_argument("--scratch", help="scratch directory (default: a new one under /dev/shm, "
                                      "removed at the end)")
    args = ap.parse_args()
    if not os.path.isfile(args.corpus_maker):
        sys.exit("benchmark: no corpus maker at %s (give --corpus-maker)" % args.corpus_maker)
    if not args.no_build:
        try:
            build(args.build_dir)
        except subprocess.CalledProcessError as failure:
            sys.exit("benchmark: %s ended with status %d" % (" ".join(failure.cmd), failure.returncode))
    tools = {"floor": program(args.build_dir, "bench", "bench_floor"),
             "tarnsplit": program(args.build_dir, "unpacker", "tarnsplit"),
             "tarnpack": program(args.build_dir, "packer", "tarnpack")}
    if not tools["floor"] or not tools["tarnsplit"]:
        sys.exit("benchmark: bench_floor and tarnsplit must be built in %s" % args.build_dir)

    if args.scratch:
        scratch = os.path.abspath(args.scratch)
        remove(scratch)
        os.makedirs(scratch)
    else:
        scratch = tempfile.mkdtemp(prefix="tarn-bench-",
                                   dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    print("Machine: %s; load average %.2f at start" % (machine(), os.getloadavg()[0]))
    try:
        results, files = corpus_benchmark(args, tools, scratch)
        if args.many:
            results += scale_check(args, tools, scratch)
        if args.hostile:
            results += hostile_check(args, tools, scratch)
        if args.big:
            results += big_check(args, tools, scratch, files)
        if args.million:
            results += million_check(args, tools, scratch)
    except Failed as failure:
        sys.exit("benchmark: %s" % failure)
    finally:
        if not args.scratch:
            shutil.rmtree(scratch, ignore_errors=True)
    print("\nLoad average %.2f at the end. Targets:" % os.getloadavg()[0])
    print_verdicts(results)


if __name__ == "__main__":
    main()
