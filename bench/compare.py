"""The measuring half of bench/compare.sh: runs each program in alternation with its floor and prints
medians and ratios. Expects a display (compare.sh provides one) and a built BUILD_DIR."""
import json
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile

build = pathlib.Path(sys.argv[1])
runs = int(os.environ.get("RUNS", "11"))
probe = str(build / "bench" / "process_probe")
editor = str(build / "quillet-editor")
bare_window = str(build / "bench" / "bare_window_app")
tool = str(build / "quillet")
bare_console = str(build / "bench" / "bare_console")
bare_console_alsa = str(build / "bench" / "bare_console_alsa")
safe_write_console = str(build / "bench" / "safe_write_console")


class Unmeasured(Exception):
    """A figure that could not be taken: its rows say so, and the comparison goes on."""


def measure(args, env=None, tries=3):
    """One probe run; on a loaded machine a window may not appear in the probe's time, so a failed run is
    said and tried again before the figure is given up."""
    why = ""
    for attempt in range(1, tries + 1):
        done = subprocess.run([probe] + args, capture_output=True, text=True, env=env)
        if done.returncode == 0:
            return {k: float(v) for k, v in (pair.split("=") for pair in done.stdout.split())}
        why = f"process_probe {args[0]} exited {done.returncode}: {done.stderr.strip()[-120:]}"
        print(f"try {attempt} of {tries}: {why}", file=sys.stderr)
    raise Unmeasured(why)


def paired(programs, key, args, env=None, n=runs):
    """Runs the programs in turn, n rounds, the order reversed every other round; each program's values in
    round order."""
    values = {p: [] for p in programs}
    for i in range(n):
        for p in programs if i % 2 == 0 else list(reversed(programs)):
            values[p].append(measure(args + ["--"] + p.split(), env)[key])
    return values


rows = []
notes = []


def measured(figures, take):
    """Takes a group of figures; when any cannot be taken (a probe or a benchmark failing, its output
    missing), each of the group's rows is marked as not measured, with the reason below the table."""
    try:
        take()
    except (Unmeasured, OSError, subprocess.CalledProcessError, KeyError, ValueError, IndexError) as e:
        taken = {r[0] for r in rows}
        for figure, goal in figures:
            if figure not in taken:
                rows.append((figure, "not measured", "-", "-", goal))
        notes.append(f"{figures[0][0]}{' and the rest of its group' if len(figures) > 1 else ''}: {e}")


def row(figure, value, floor, unit, goal):
    ratio = value / floor if floor > 0 else float("inf")
    rows.append((figure, f"{value:.2f} {unit}", f"{floor:.2f} {unit}", f"{ratio:.2f}x", goal))


def paired_row(figure, values, floors, unit, goal):
    """Medians of both, and the median of the ratios of runs taken side by side: load that comes and goes
    on a shared machine hits both runs of a round alike."""
    ratio = statistics.median(v / f for v, f in zip(values, floors) if f > 0)
    rows.append((figure, f"{statistics.median(values):.2f} {unit}", f"{statistics.median(floors):.2f} {unit}",
                 f"{ratio:.2f}x", goal))


def font_flood():
    """An XDG data folder whose fonts/ holds 88 more font files (links to the installed ones): the toolkit
    reads the folder from fonts.conf as a user's own fonts."""
    home = tempfile.mkdtemp(prefix="quillet-fonts-")
    fonts = pathlib.Path(home) / "fonts"
    fonts.mkdir()
    installed = sorted(pathlib.Path("/usr/share/fonts").rglob("*.ttf"))
    for i in range(88):
        source = installed[i % len(installed)]
        (fonts / f"copy{i}-{source.name}").symlink_to(source)
    return home, len(installed)


# --- the editor against the bare window app
window_start = ["window", "0", "0"]
installed = len(sorted(pathlib.Path("/usr/share/fonts").rglob("*.ttf")))


def start_up():
    s = paired([editor, bare_window], "startup_ms", window_start)
    paired_row(f"start-up, {installed} font files", s[editor], s[bare_window], "ms", "<= 1.3x")


def start_up_with_fonts():
    home, _ = font_flood()
    s = paired([editor, bare_window], "startup_ms", window_start, dict(os.environ, XDG_DATA_HOME=home))
    paired_row(f"start-up, {installed + 88} font files", s[editor], s[bare_window], "ms", "<= 1.3x")


def start_up_with_library():
    # A library of 10,000 setups (one settings file under 10,000 names, with its index made) is there to be
    # found, and is not read before its view opens.
    shelf = pathlib.Path(tempfile.mkdtemp(prefix="quillet-library-"))
    subprocess.run([tool, "defaults", str(shelf / "0.qmv49")], check=True)
    for i in range(1, 10000):
        os.link(shelf / "0.qmv49", shelf / f"{i}.qmv49")
    subprocess.run([tool, "library", "list", "--library", str(shelf), "--search", "nothing"], check=True,
                   capture_output=True)
    s = paired([editor, bare_window], "startup_ms", window_start, dict(os.environ, QUILLET_LIBRARY=str(shelf)))
    paired_row("start-up, a library of 10,000 setups", s[editor], s[bare_window], "ms", "<= 1.2x")


idle_runs = max(3, runs // 3)


def idle():
    taken = {p: [] for p in (editor, bare_window)}
    for i in range(idle_runs):
        for p in (editor, bare_window) if i % 2 == 0 else (bare_window, editor):
            taken[p].append(measure(["window", "2", "5", "--", p]))
    med = {p: {k: statistics.median(r[k] for r in taken[p]) for k in taken[p][0]} for p in taken}
    row("idle context switches", med[editor]["idle_switches_per_s"], med[bare_window]["idle_switches_per_s"],
        "/s", "<= 1.15x")
    row("idle CPU", med[editor]["idle_cpu_ms_per_s"], med[bare_window]["idle_cpu_ms_per_s"], "ms/s", "")
    return med[editor]["peak_rss_kb"], med[bare_window]["peak_rss_kb"]


# The parts the first window truly needs, each added to the bare window on its own and all together: the
# editor's peak is told against the bare window with all of them, and what each costs is shown beside it.
window_parts = [("--picture", "the keyboard picture, decoded and painted"),
                ("--text", "labels in the embedded faces (FreeType, glyph caches)"),
                ("--midi", "the MIDI ports listed (ALSA library and settings)")]


def peak_memory():
    if idle_figures is None:
        raise Unmeasured("the editor's and the bare window's own runs were not taken")
    editor_kb, bare_kb = idle_figures
    with_parts = " ".join([bare_window] + [flag for flag, _ in window_parts])
    floors = [" ".join([bare_window, flag]) for flag, _ in window_parts] + [with_parts]
    # Two seconds to settle and one measured: the peak is reached once the first paint is done.
    kb = paired(floors, "peak_rss_kb", ["window", "2", "1"], n=idle_runs)
    kb = {p: statistics.median(v) for p, v in kb.items()}
    row("peak memory (RSS) vs the bare window", editor_kb / 1024, bare_kb / 1024, "MB", "")
    for (flag, what), floor in zip(window_parts, floors):
        row(f"  of which {what}", (kb[floor] - bare_kb) / 1024, bare_kb / 1024, "MB", "")
    row("peak memory (RSS) vs the bare window with those parts", editor_kb / 1024, kb[with_parts] / 1024, "MB",
        "<= 1.3x")


measured([(f"start-up, {installed} font files", "<= 1.3x")], start_up)
measured([(f"start-up, {installed + 88} font files", "<= 1.3x")], start_up_with_fonts)
measured([("start-up, a library of 10,000 setups", "<= 1.2x")], start_up_with_library)
idle_figures = None


def take_idle():
    global idle_figures
    idle_figures = idle()


measured([("idle context switches", "<= 1.15x"), ("idle CPU", "")], take_idle)
measured([("peak memory (RSS) vs the bare window with those parts", "<= 1.3x")], peak_memory)


# --- the data path against its Google Benchmark floors
def bench(binary, names):
    out = subprocess.run(
        [str(build / "bench" / binary), "--benchmark_filter=^(" + "|".join(names) + ")$",
         # Repetitions of a figure and of its floor interleaved at random, so that passing load on a shared
         # machine falls on both alike.
         "--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.1",
         "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
        capture_output=True, text=True, check=True).stdout
    result = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            result[b["run_name"]] = b
    return result


def device_benchmarks():
    d = bench("device_bench", ["BM_ReadOutAgainstEmulator", "BM_FloorBuildAndParseReadOutMessages",
                               "BM_FloorReadOutRoundTrips", "BM_SendAllIntoVirtualOutput", "BM_FloorRawSendLoop",
                               "BM_FreshReadAgainstEmulator", "BM_CompareTwoConfigurations",
                               "BM_FloorCopyConfiguration"])
    # Two floors: the messages built and parsed alone, and the same messages' round trips through the same ports
    # and delivery thread, the part of a read-out no program talking to the keyboard over MIDI can avoid.
    row("read-out vs build and parse", d["BM_ReadOutAgainstEmulator"]["real_time"],
        d["BM_FloorBuildAndParseReadOutMessages"]["real_time"], "us", "")
    row("read-out vs round trips", d["BM_ReadOutAgainstEmulator"]["real_time"],
        d["BM_FloorReadOutRoundTrips"]["real_time"], "us", "<= 2x")
    row("send-all into a virtual output", d["BM_SendAllIntoVirtualOutput"]["real_time"],
        d["BM_FloorRawSendLoop"]["real_time"], "us", "<= 1.5x")
    row("read into a comparison vs start-up read-out", d["BM_FreshReadAgainstEmulator"]["real_time"],
        d["BM_ReadOutAgainstEmulator"]["real_time"], "us", "<= 1x")
    row("compare two configurations vs copy one", d["BM_CompareTwoConfigurations"]["cpu_time"],
        d["BM_FloorCopyConfiguration"]["cpu_time"], "us", "<= 3x")


measured([("read-out vs build and parse", ""), ("read-out vs round trips", "<= 2x"),
          ("send-all into a virtual output", "<= 1.5x"), ("read into a comparison vs start-up read-out", "<= 1x"),
          ("compare two configurations vs copy one", "<= 3x")], device_benchmarks)


def batch_benchmarks():
    b = bench("batch_bench", ["BM_BatchEditOfAllPictureControls", "BM_FloorOneStoreUpdateOfTheSameValues",
                              "BM_OneControlEditedAsOneStep"])
    row("batch edit of 53 controls vs one store update", b["BM_BatchEditOfAllPictureControls"]["cpu_time"],
        b["BM_FloorOneStoreUpdateOfTheSameValues"]["cpu_time"], "us", "<= 2x")
    row("batch edit of 53 controls vs one control's edit", b["BM_BatchEditOfAllPictureControls"]["cpu_time"],
        b["BM_OneControlEditedAsOneStep"]["cpu_time"], "us", "<= 2x")


measured([("batch edit of 53 controls vs one store update", "<= 2x"),
          ("batch edit of 53 controls vs one control's edit", "<= 2x")], batch_benchmarks)


def monitor_benchmark():
    m = bench("monitor_bench", ["BM_MonitorDecodeAndKeepBurst", "BM_FloorCopyBurstBytes"])
    row("monitor: 100,000 mixed messages decoded and kept vs their bytes copied", m["BM_MonitorDecodeAndKeepBurst"]["cpu_time"],
        m["BM_FloorCopyBurstBytes"]["cpu_time"], "ms", "<= 3x")


measured([("monitor: 100,000 mixed messages decoded and kept vs their bytes copied", "<= 3x")], monitor_benchmark)


def monitor_beside_the_link():
    d = bench("device_bench", ["BM_ReadOutUnderAStream/0", "BM_ReadOutUnderAStream/1"])
    row("read-out under 1,000 messages/s: monitor open vs closed", d["BM_ReadOutUnderAStream/1"]["real_time"],
        d["BM_ReadOutUnderAStream/0"]["real_time"], "us", "<= 1.1x")


measured([("read-out under 1,000 messages/s: monitor open vs closed", "<= 1.1x")], monitor_beside_the_link)


def played_file(path, count):
    """A Standard MIDI File of count channel messages at one instant (controllers, notes and pitch bends on
    every channel in turn), which the emulated keyboard plays as fast as it can."""
    shapes = [lambda i: bytes([0xB0 | i % 16, 74, i % 128]), lambda i: bytes([0x90 | i % 16, i % 128, 1 + i % 127]),
              lambda i: bytes([0xE0 | i % 16, i % 128, (i // 128) % 128])]
    track = b"".join(b"\x00" + shapes[i % 3](i) for i in range(count)) + b"\x00\xff\x2f\x00"
    path.write_bytes(b"MThd" + (6).to_bytes(4, "big") + (0).to_bytes(2, "big") + (1).to_bytes(2, "big") +
                     (96).to_bytes(2, "big") + b"MTrk" + len(track).to_bytes(4, "big") + track)


def monitor_flood():
    work = pathlib.Path(tempfile.mkdtemp(prefix="quillet-monitor-"))
    setup = work / "factory.qmv49"
    subprocess.run([tool, "defaults", str(setup)], check=True)
    small, large = work / "100k.mid", work / "1m.mid"
    played_file(small, 100_000)
    played_file(large, 1_000_000)
    # The search's identity request and reply are SysEx: only the played kinds are shown and counted.
    listen = [tool, "monitor", "--format=tsv", "--seconds=300", f"--setup={setup}", "--only=controllers,notes,pitch"]
    done = subprocess.run(listen + [f"--emulated-keyboard=play={small}", "--count=100000"], capture_output=True,
                          text=True, check=True)
    lines = len(done.stdout.splitlines()) - 1  # the heading
    if "could not be kept" in done.stderr or "faster than" in done.stderr:
        lines = -1
    row("quillet monitor: 100,000 played at full rate, lines vs messages", lines, 100_000, "lines", "1.00x")
    # Both runs hold the same file; one prints ten times the lines of the other.
    rss = {n: measure(["process", "--"] + listen + [f"--emulated-keyboard=play={large}", f"--count={n}"])["peak_rss_kb"]
           for n in (100_000, 1_000_000)}
    row("quillet monitor: peak memory after 10^6 messages vs 10^5", rss[1_000_000] / 1024, rss[100_000] / 1024, "MB",
        "<= 1.1x")


measured([("quillet monitor: 100,000 played at full rate, lines vs messages", "1.00x"),
          ("quillet monitor: peak memory after 10^6 messages vs 10^5", "<= 1.1x")], monitor_flood)


def library_benchmarks():
    lib = bench("library_bench", ["BM_LibraryFirstListing/iterations:1", "BM_FloorLoaderLoop/iterations:1",
                                  "BM_LibraryListingFromIndex/iterations:3", "BM_SearchAsTyped",
                                  "BM_FloorOnePassOverTheText", "BM_MemoryPerListedSetup/iterations:1",
                                  "BM_TagsAndChips", "BM_FloorOnePassOverTheTitles"])
    row("library of 10,000: first listing vs the loader in a loop", lib["BM_LibraryFirstListing/iterations:1"]["real_time"],
        lib["BM_FloorLoaderLoop/iterations:1"]["real_time"], "ms", "<= 1.3x")
    row("library of 10,000: listing from its index vs first listing",
        lib["BM_LibraryListingFromIndex/iterations:3"]["real_time"], lib["BM_LibraryFirstListing/iterations:1"]["real_time"],
        "ms", "")
    row("library of 10,000: search as typed, p95 vs one pass over the text", lib["BM_SearchAsTyped"]["p95_ms"],
        lib["BM_FloorOnePassOverTheText"]["real_time"], "ms", "p95 < 5 ms")
    row("library of 10,000, 5 tags each: tags and chips vs one pass over the titles", lib["BM_TagsAndChips"]["cpu_time"],
        lib["BM_FloorOnePassOverTheTitles"]["cpu_time"], "ms", "<= 3x")
    row("library of 10,000: heap per listed setup", lib["BM_MemoryPerListedSetup/iterations:1"]["bytes_per_setup"] / 1024,
        2, "KB", "< 2 KB")


measured([("library of 10,000: first listing vs the loader in a loop", "<= 1.3x"),
          ("library of 10,000: listing from its index vs first listing", ""),
          ("library of 10,000: search as typed, p95 vs one pass over the text", "p95 < 5 ms"),
          ("library of 10,000, 5 tags each: tags and chips vs one pass over the titles", "<= 3x"),
          ("library of 10,000: heap per listed setup", "< 2 KB")], library_benchmarks)


def load_benchmark():
    f = bench("files_bench", ["BM_LoadSettings", "BM_FloorXmlParse"])
    row("load (CPU)", f["BM_LoadSettings"]["cpu_time"] / 1000, f["BM_FloorXmlParse"]["cpu_time"] / 1000, "us",
        "<= 1.5x")


measured([("load (CPU)", "<= 1.5x")], load_benchmark)


def export_benchmarks():
    f = bench("files_bench", ["BM_ExportNamesAllFormats", "BM_ExportMapsAllDaws", "BM_FloorSettingsText"])
    # Each text no dearer than the settings file's own: as many times the floor as there are texts.
    row("names for the DAW, 4 formats vs the settings file's text", f["BM_ExportNamesAllFormats"]["cpu_time"],
        f["BM_FloorSettingsText"]["cpu_time"], "us", "<= 4x")
    row("DAW control maps, 3 DAWs vs the settings file's text", f["BM_ExportMapsAllDaws"]["cpu_time"],
        f["BM_FloorSettingsText"]["cpu_time"], "us", "<= 3x")


measured([("names for the DAW, 4 formats vs the settings file's text", "<= 4x"),
          ("DAW control maps, 3 DAWs vs the settings file's text", "<= 3x")], export_benchmarks)


# Files built to be slow, each against a well-formed settings file of the same size.
hostile = ["one-name-attributes", "distinct-attributes", "deep-and-wide", "long-name", "references"]


def hostile_loads():
    h = bench("files_bench", ["BM_LoadOfHostileSize/" + k for k in ["well-formed"] + hostile])
    for k in hostile:
        row(f"load of 240 KB, {k}", h["BM_LoadOfHostileSize/" + k]["cpu_time"],
            h["BM_LoadOfHostileSize/well-formed"]["cpu_time"], "ms", "<= 5x")


measured([(f"load of 240 KB, {k}", "<= 5x") for k in hostile], hostile_loads)


# --- the tool against the bare console program
def tool_processes():
    work = pathlib.Path(tempfile.mkdtemp(prefix="quillet-tool-"))
    settings = work / "factory.qmv49"
    subprocess.run([tool, "defaults", str(settings)], check=True)
    check = f"{tool} check {settings}"
    syx = f"{tool} syx {settings} {work / 'out.syx'}"
    version = f"{tool} --version"
    floor = f"{bare_console} {settings}"
    alsa_floor = f"{bare_console_alsa} {settings}"
    subprocess.run(syx.split(), check=True, capture_output=True)
    write_floor = f"{safe_write_console} {settings} {work / 'floor.syx'} {(work / 'out.syx').stat().st_size}"
    t = paired([check, syx, version, floor, alsa_floor, write_floor], "wall_ms", ["process"], n=runs * 3)
    paired_row("quillet check, whole process", t[check], t[floor], "ms", "<= 1.2x")
    paired_row("quillet syx, whole process", t[syx], t[floor], "ms", "<= 1.2x")
    # The part of both that is the program's loading and start, before any command's work.
    paired_row("quillet --version, whole process", t[version], t[floor], "ms", "")
    # The same against a floor that loads the ALSA library too: what is left is the commands' own work (and for
    # syx, the two flushes to the disk that make a save safe).
    paired_row("quillet check vs console with ALSA", t[check], t[alsa_floor], "ms", "")
    paired_row("quillet syx vs console with ALSA", t[syx], t[alsa_floor], "ms", "")
    paired_row("quillet --version vs console with ALSA", t[version], t[alsa_floor], "ms", "")
    # And syx against that program writing as many bytes as safely: what is left is the tool's own work.
    paired_row("quillet syx vs console with ALSA writing as safely", t[syx], t[write_floor], "ms", "")


measured([("quillet check, whole process", "<= 1.2x"), ("quillet syx, whole process", "<= 1.2x"),
          ("quillet --version, whole process", ""), ("quillet check vs console with ALSA", ""),
          ("quillet syx vs console with ALSA", ""), ("quillet --version vs console with ALSA", ""),
          ("quillet syx vs console with ALSA writing as safely", "")], tool_processes)

print(f"paired runs: {runs} (start-up), {idle_runs} (idle: 2 s to settle, 5 s measured), {runs * 3} (tool)")
widths = [max(len(str(r[i])) for r in rows + [("figure", "measured", "floor", "ratio", "goal")]) for i in range(5)]
for r in [("figure", "measured", "floor", "ratio", "goal")] + rows:
    print("  ".join(str(c).ljust(w) if i == 0 else str(c).rjust(w) for i, (c, w) in enumerate(zip(r, widths))))
for note in notes:
    print("not measured: " + note)
