"""bench_program_memory: the whole program's memory as a user runs it. The
end-to-end copy of the program signs in against the fake service, waits at
home, opens a set of 150 questions (the large one: 40 materials with tables,
figures, formula images, escaped markup, a 12 kB stem; or with --set heavy
the heavy one: long materials with tables, figures on every fifth, a large
figure, a formula image in every stem, a 12,000-character stem) and pages
through it with the arrow key, goes home, waits, and opens the set again, and
again after a rest for each further set (--sets N, at least 3); controls are
found through the accessibility tree and worked with the pointer and keys, as
in the end-to-end tests. Prints one figure a line: PSS summed over the
process tree (the fake service left out) and by process kind at each point,
the first stem of each set with its spread over the sets, how many renderer
processes were alive before each set opened (none, after a rest), and the
time to the next question.

Other programs that map the web engine's library lower the PSS read here (a
shared page is split among all that map it): their number is printed first,
with a warning on stderr when there are any."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))

import e2elib as ui  # noqa: E402
from road import sign_in  # noqa: E402

ENGINE_LIBRARY = "libQt6WebEngineCore.so"
MENU = "增长率与比重"
MENU_IDS = ("m101-3", "m101-31")
# The fake service's control command that serves each set.
SETS = {"large": "large-set", "heavy": "heavy-set"}
SET = "large"
SET_COUNT = 3
# At home between the later sets: the renderer is let go well before.
REST = 30.0
QUESTIONS = 150
PAGES_MEASURED = 30
HOME_WAIT = 60.0
LAST_QUESTION = QUESTIONS
SETTLE = 5.0


# ---- memory, from /proc ----------------------------------------------------

def children_of():
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                # The name in parentheses may hold spaces: the parent follows its closing one.
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(parent, []).append(int(entry))
    return children


def tree(root):
    children = children_of()
    out, pending = [], [root]
    while pending:
        pid = pending.pop(0)
        out.append(pid)
        pending += children.get(pid, [])
    return out


def pss_anon_mb(pid):
    """PSS, the anonymous pages (heaps, buffers: what the program itself
    allocated; unlike PSS and USS, not changed by other programs mapping the
    same libraries) and RSS, in MB."""
    pss = anon = rss = 0.0
    try:
        with open("/proc/%d/smaps_rollup" % pid) as rollup:
            for line in rollup:
                if line.startswith("Pss:"):
                    pss = int(line.split()[1]) / 1024.0
                elif line.startswith("Anonymous:"):
                    anon = int(line.split()[1]) / 1024.0
                elif line.startswith("Rss:"):
                    rss = int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return pss, anon, rss


def kind(pid, root):
    if pid == root:
        return "browser"
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            # A process forked from the zygote retitles itself: one text with spaces.
            args = cmdline.read().replace(b"\0", b" ").split()
    except OSError:
        return "utility"
    types = [a[7:].decode() for a in args if a.startswith(b"--type=")]
    if types and types[0] == "renderer":
        return "renderer"
    # The GPU process, the zygotes and the utility processes (network, storage).
    return "GPU/utility"


def renderers(root):
    return sum(1 for pid in tree(root) if kind(pid, root) == "renderer")


def usage(root):
    by_kind = {"browser": 0.0, "renderer": 0.0, "GPU/utility": 0.0}
    rss_by_kind = dict.fromkeys(by_kind, 0.0)
    anon = 0.0
    pids = tree(root)
    for pid in pids:
        pss, allocated, rss = pss_anon_mb(pid)
        by_kind[kind(pid, root)] += pss
        rss_by_kind[kind(pid, root)] += rss
        anon += allocated
    return sum(by_kind.values()), by_kind, len(pids), anon, rss_by_kind


def maps_engine(pid):
    try:
        with open("/proc/%d/maps" % pid) as maps:
            return any(ENGINE_LIBRARY in line for line in maps)
    except OSError:
        return False


def other_engine_processes(own):
    return sum(1 for entry in os.listdir("/proc")
               if entry.isdigit() and int(entry) not in own and maps_engine(int(entry)))


# The launcher passes on to its standard output only the lines marked so: the
# services of the private session write to the same stream.
FIGURE_MARK = "figure\t"
FIGURES = sys.stdout


def figure(name, value, unit):
    FIGURES.write(FIGURE_MARK + ("%s: %s %s" % (name, value, unit)).rstrip() + "\n")
    FIGURES.flush()


BREAKDOWN = False


def pss_by_mapping(pid):
    out, current = {}, "[anon]"
    try:
        with open("/proc/%d/smaps" % pid) as smaps:
            for line in smaps:
                fields = line.split()
                if not fields:
                    continue
                if not fields[0].endswith(":"):
                    current = " ".join(fields[5:]) if len(fields) >= 6 else "[anon]"
                elif fields[0] == "Pss:":
                    out[current] = out.get(current, 0) + int(fields[1]) / 1024.0
    except OSError:
        pass
    return out


def print_breakdown(name, root):
    for pid in tree(root):
        mappings = pss_by_mapping(pid)
        print("-- %s: %s (pid %d), PSS %.1f MB" % (name, kind(pid, root), pid, sum(mappings.values())), file=sys.stderr)
        for mapping, mb in sorted(mappings.items(), key=lambda item: -item[1])[:10]:
            print("   %8.1f MB  %s" % (mb, mapping), file=sys.stderr)
    sys.stderr.flush()


def report(name, root):
    if BREAKDOWN:
        print_breakdown(name, root)
    total, by_kind, count, anon, rss = usage(root)
    figure("PSS " + name, "%.1f" % total, "MB")
    for k in ("browser", "renderer", "GPU/utility"):
        figure("PSS %s, %s" % (name, k), "%.1f" % by_kind[k], "MB")
    figure("anonymous " + name, "%.1f" % anon, "MB")
    figure("RSS %s, renderer" % name, "%.1f" % rss["renderer"], "MB")
    figure("processes " + name, count, "")
    return total


# ---- what the user sees -----------------------------------------------------

# Web content is not on the accessibility bus: the end-to-end copy of the
# program writes "<question index> <ms>" here when a current stem is drawn.
STEM_LOG = None


def wait_stem(number, started, timeout=20.0):
    """Ms from started (time.monotonic()) until the stem of question number
    (from 1) was drawn as the current one."""
    started_ms = started * 1000.0
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with open(STEM_LOG) as log:
            for line in log:
                fields = line.split()
                if len(fields) == 2 and int(fields[0]) == number - 1 and float(fields[1]) >= started_ms:
                    return float(fields[1]) - started_ms
        time.sleep(0.01)
    raise ui.StepFailed("the stem of question %d was never drawn" % number)


def progress_label():
    pattern = re.compile(r"^\d+ / %d$" % QUESTIONS)
    return ui.wait_for(lambda: next((a for a in ui.find_all(role="label") if pattern.match(ui.text_of(a))), None),
                       "the progress of the set", 30)


def wait_progress(label, number, started, timeout=20.0):
    wanted = "%d / %d" % (number, QUESTIONS)
    while ui.name_of(label) != wanted:
        if time.monotonic() - started > timeout:
            raise ui.StepFailed("the progress never read " + wanted)
        time.sleep(0.005)


FIRST_STEMS = []
RENDERERS_BEFORE = []


def open_set(run, name, root):
    run.step("open the %s set (%s)" % (SET, name))
    button = ui.wait_for(lambda: next((b for b in ui.find_all("进入%s做题" % MENU, "button") if ui._inside_window(b)), None),
                         "the menu " + MENU)
    x, y, w, h = ui.stable_extents(button)
    # After a rest the set opens without a page process: one left alive
    # would make the first stem read fast and the rest read large.
    alive = renderers(root)
    RENDERERS_BEFORE.append(alive)
    figure("renderer processes before the %s" % name, alive, "")
    ui.xdotool("mousemove", x + w // 2, y + h // 2)
    time.sleep(0.1)
    started = time.monotonic()
    ui.xdotool("click", "1")
    elapsed = wait_stem(1, started, 30.0)
    FIRST_STEMS.append(elapsed)
    figure("first stem, %s" % name, "%.0f" % elapsed, "ms")


def ordinal(n):
    return {1: "first", 2: "second", 3: "third", 4: "fourth", 5: "fifth"}.get(n, "%dth" % n)


def go_home(run):
    run.step("back home")
    ui.press("返回")
    ui.find("进入%s做题" % MENU, "button", timeout=20)


def bench(run):
    before = other_engine_processes(set())
    figure("other engine processes at start", before, "")
    if before:
        print("warning: %d other processes map the web engine's library: PSS figures read low" % before,
              file=sys.stderr, flush=True)

    fake = run.start_fake_service()
    for menu in MENU_IDS:
        fake.command("%s %s" % (SETS[SET], menu))
    global STEM_LOG
    STEM_LOG = os.path.join(run.args.output, "stems.log")
    program = run.start_program({"VUZO_E2E_STEM_LOG": STEM_LOG})
    root = program.process.pid
    ui.find("登录 / 注册", "button", timeout=30)
    sign_in(run)
    signed_in = time.monotonic()
    run.step("home, %d s after sign-in" % HOME_WAIT)
    time.sleep(max(0.0, HOME_WAIT - (time.monotonic() - signed_in)))
    report("home 60 s after sign-in", root)

    open_set(run, "first set", root)
    time.sleep(SETTLE)
    highest = report("question screen opened", root)

    run.step("page through the set")
    label = progress_label()
    moves = []
    for number in range(2, LAST_QUESTION + 1):
        started = time.monotonic()
        ui.xdotool("key", "--clearmodifiers", "Right")
        moves.append((wait_stem(number, started), number))
        wait_progress(label, number, started)
        time.sleep(0.15)
        if number - 1 == PAGES_MEASURED:
            time.sleep(SETTLE)
            highest = max(highest, report("after %d pages" % PAGES_MEASURED, root))
        elif (number - 1) % 10 == 0:
            time.sleep(1.0)
            sample = usage(root)
            highest = max(highest, sample[0])
            print("after %d pages: PSS %.1f MB, anonymous %.1f MB, renderer RSS %.1f MB"
                  % (number - 1, sample[0], sample[3], sample[4]["renderer"]), file=sys.stderr, flush=True)
    moves.sort()
    figure("next question", "%.0f" % moves[len(moves) // 2][0], "ms")
    figure("next question slowest", "%.0f" % moves[-1][0], "ms")
    print("slowest moves (ms to question): " + ", ".join("%.0f to %d" % move for move in reversed(moves[-8:])),
          file=sys.stderr, flush=True)
    figure("PSS highest while paging", "%.1f" % highest, "MB")

    go_home(run)
    time.sleep(SETTLE)
    report("home after the set", root)
    run.step("home, %d s after the set" % HOME_WAIT)
    time.sleep(max(0.0, HOME_WAIT - SETTLE))
    report("home 60 s after the set", root)
    open_set(run, "second set", root)
    for number in range(3, SET_COUNT + 1):
        go_home(run)
        run.step("home, %d s before the %s set" % (REST, ordinal(number)))
        time.sleep(REST)
        open_set(run, "%s set" % ordinal(number), root)
    stems = sorted(FIRST_STEMS)
    figure("first stem min/median/max", "%.0f / %.0f / %.0f" % (stems[0], stems[len(stems) // 2], stems[-1]), "ms")
    figure("renderer processes before a set, most", max(RENDERERS_BEFORE), "")
    # Others that came meanwhile lowered the figures taken since.
    after = other_engine_processes(set(tree(root)))
    figure("other engine processes at the end", after, "")
    if after != before:
        print("warning: other processes mapping the engine: %d at start, %d at the end" % (before, after),
              file=sys.stderr, flush=True)


def own_options():
    """Options of the bench itself, taken off the harness's: --home-wait S
    (seconds at home, default 60), --questions N (page through the first N
    only, to try the bench out), --set large|heavy (the set, default large),
    --sets N (sets opened, at least 3, default 3), --rest S (seconds at home
    before each set after the second, default 30), --breakdown (each
    process's largest mappings by PSS on stderr at every point)."""
    global HOME_WAIT, LAST_QUESTION, BREAKDOWN, SET, SET_COUNT, REST
    if "--breakdown" in sys.argv:
        sys.argv.remove("--breakdown")
        BREAKDOWN = True
    for name in ("--home-wait", "--questions", "--set", "--sets", "--rest"):
        if name in sys.argv:
            at = sys.argv.index(name)
            value = sys.argv[at + 1]
            del sys.argv[at:at + 2]
            if name == "--home-wait":
                HOME_WAIT = float(value)
            elif name == "--questions":
                LAST_QUESTION = max(PAGES_MEASURED + 1, min(QUESTIONS, int(value)))
            elif name == "--set":
                if value not in SETS:
                    sys.exit("--set: one of " + ", ".join(sorted(SETS)))
                SET = value
            elif name == "--sets":
                SET_COUNT = max(3, int(value))
            else:
                REST = float(value)


if __name__ == "__main__":
    own_options()
    # The harness's step lines go with the diagnostics; stdout holds only figures.
    sys.stdout = sys.stderr
    ui.Run("bench_program_memory").main(bench)
