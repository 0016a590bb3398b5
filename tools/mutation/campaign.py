"""The mutation campaign: plants one mutant at a time in a scratch copy of the tree, rebuilds the
test programs (labels unit and game) that the mutated file goes into, one after the other, and
stops at the first that fails, crashes, trips a sanitizer or hangs: the mutant is caught. A mutant
whose object files come out unchanged is not compiled by this build; the target that compiles it
is named instead.

Results go to a file line by line as they come, so a run that is stopped is resumed by starting
it again with the same file.
"""

import argparse
import hashlib
import json
import os
import pathlib
import random
import re
import shutil
import subprocess
import sys
import time

import generate

HERE = pathlib.Path(__file__).resolve().parent
TABLE = HERE / "table.txt"
EQUIVALENT = HERE / "equivalent.txt"
FIELDS = ("id", "file", "line", "rule", "original", "replacement", "verdict", "by", "seconds")

# Where the code the dev build does not compile is built: by folder, then by the #ifdef target.
ELSEWHERE = (("code/platform/windows/", "windows preset"),
             ("code/platform/web/browser/", "web preset (the browser game)"),
             ("code/projects/taspo/shell/browser/", "web preset (the browser game)"),
             ("code/projects/taspo/shell/desktop/main.cpp", "the taspo program (labels window, hostile)"),
             ("code/projects/taspo/shell/windows/main.cpp", "windows preset"))
TARGET_BUILDS = {"web": "web preset (tests under node)", "windows": "windows preset (Wine)"}


def sampled(mutants, count, seed):
    """count mutants in a random order fixed by seed. Each mutant's rank depends only on the seed
    and its own id, so a change elsewhere in the tree leaves the rest of the sample alone."""
    def rank(mutant):
        return hashlib.sha1(f"{seed}:{mutant.id}".encode()).hexdigest()
    return sorted(mutants, key=rank)[:count]


def table_mutants(root):
    """The hand-written table: id@file@kind@original@replacement@description, \\n a line break."""
    result = []
    for line in TABLE.read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        ident, file, kind, original, replacement, description = line.split("@")
        original = original.replace("\\n", "\n")
        replacement = replacement.replace("\\n", "\n")
        content = (root / file).read_bytes()
        start = content.find(original.encode())
        if start < 0 or content.find(original.encode(), start + 1) >= 0:
            start = -1
        mutant = generate.Mutant(file, start, start + len(original.encode()), original,
                                 replacement, "table", content.count(b"\n", 0, max(start, 0)) + 1)
        result.append((ident, kind, description, mutant))
    return result


def equivalents():
    """Generated mutants shown to be equivalent: id, then the reason."""
    reasons = {}
    if EQUIVALENT.exists():
        for line in EQUIVALENT.read_text().splitlines():
            if line.strip() and not line.startswith("#"):
                ident, reason = line.split(maxsplit=1)
                reasons[ident] = reason
    return reasons


class Scratch:
    """The scratch copy of the tree and its sanitizer build."""

    def __init__(self, root, work):
        self.root = root
        self.work = work
        self.src = work / "src"
        self.bin = work / "build"
        self.log = work / "build.log"

    def sync(self):
        listed = subprocess.run(["git", "-C", str(self.root), "ls-files", "-co",
                                 "--exclude-standard", "-z"], check=True, capture_output=True)
        for name in listed.stdout.decode().split("\0"):
            source = self.root / name
            if not name or not source.is_file():
                continue
            target = self.src / name
            if not target.exists() or target.read_bytes() != source.read_bytes():
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(source, target)

    def configure(self):
        cache = self.bin / "CMakeCache.txt"
        if cache.exists() and "CMAKE_GENERATOR:INTERNAL=Ninja" not in cache.read_text():
            shutil.rmtree(self.bin)
        if not cache.exists():
            arguments = ["cmake", "-S", str(self.src), "-B", str(self.bin), "-G", "Ninja",
                         "-DCMAKE_BUILD_TYPE=Debug", "-DTASPO_SANITIZE=ON",
                         # The dev preset's code without debug information: quicker to build
                         # and link, and an object then changes only when its code does.
                         "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold",
                         # Listing a program's tests at build time would run each mutant twice.
                         "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
            if shutil.which("ccache"):
                # Putting the unmutated objects back is then a cache hit.
                arguments.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            subprocess.run(arguments, check=True, stdout=subprocess.DEVNULL)

    def build(self, *targets):
        with open(self.log, "w") as log:
            status = subprocess.run(["nice", "-n", "10", "ninja", "-C", str(self.bin), "-j2",
                                     *targets], stdout=log, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL).returncode
        return status == 0

    def programs(self):
        """The test programs of the unit and game labels, as the build's test lists label them."""
        names = []
        for listing in sorted((self.bin / "tests").glob("test_*_include.cmake")):
            labels = re.search(r"TEST_PROPERTIES \[==\[LABELS;([a-z]+)\]==\]", listing.read_text())
            if labels and labels.group(1) in ("unit", "game"):
                names.append(listing.name.split("[")[0])
        return names

    def ninja(self, *arguments):
        return subprocess.run(["ninja", "-C", str(self.bin), *arguments], check=True,
                              capture_output=True, text=True).stdout

    def dependencies(self, programs):
        """file (relative) -> {program: [object, ...]}: which objects of which program it goes
        into, headers included."""
        headers = {}
        current = None
        for line in self.ninja("-t", "deps").splitlines():
            if line and not line.startswith(" "):
                current = line.split(":")[0]
                headers[current] = []
            elif line.strip() and current:
                headers[current].append(line.strip())
        result = {}
        prefix = os.path.realpath(self.src) + "/"
        for program in programs:
            objects = [o for o in self.ninja("-t", "inputs", program).split() if o.endswith(".o")]
            for obj in objects:
                for dependency in headers.get(obj, []):
                    # Headers are included through each library's tree of links (exports/).
                    path = os.path.realpath(os.path.join(self.bin, dependency))
                    if path.startswith(prefix):
                        result.setdefault(path[len(prefix):], {}).setdefault(program, []).append(obj)
        return result

    def digest(self, objects):
        return [hashlib.sha1((self.bin / o).read_bytes()).hexdigest() for o in objects]

    def run(self, program, limit):
        """None when the program passes, else what failed first."""
        output = self.work / "run.log"
        with open(output, "w") as log:
            try:
                status = subprocess.run([f"./{program}", "--gtest_brief=1"], cwd=self.bin / "tests",
                                        stdout=log, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL, timeout=limit).returncode
            except subprocess.TimeoutExpired:
                return f"{program}: timeout"
        if status == 0:
            return None
        text = output.read_text(errors="replace")
        failed = re.search(r"^\[  FAILED  \] ([A-Za-z0-9_./]+)", text, re.M)
        if failed:
            return f"{program}: {failed.group(1)}"
        for marker, name in (("ERROR: AddressSanitizer", "AddressSanitizer"),
                             ("runtime error:", "UndefinedBehaviorSanitizer"),
                             ("ERROR: LeakSanitizer", "LeakSanitizer")):
            if marker in text:
                return f"{program}: {name}"
        return f"{program}: exit {status}"


class Campaign:
    def __init__(self, scratch, results):
        self.scratch = scratch
        self.results = results
        self.done = {}  # the latest result of each mutant
        self.first = {}  # its first, before any test written for it
        if results.exists():
            for line in results.read_text().splitlines():
                if line and not line.startswith("#"):
                    fields = dict(zip(FIELDS, line.split("\t")))
                    self.done[fields["id"]] = fields
                    self.first.setdefault(fields["id"], fields)

    def prepare(self):
        s = self.scratch
        s.work.mkdir(parents=True, exist_ok=True)
        s.sync()
        s.configure()
        programs = s.programs()
        if not s.build(*programs):
            sys.exit(f"mutants: the unmutated tree does not build (see {s.log})")
        self.seconds = {}
        for program in programs:
            started = time.monotonic()
            failure = s.run(program, 600)
            if failure:
                sys.exit(f"mutants: the unmutated tree fails its tests: {failure}")
            self.seconds[program] = time.monotonic() - started
        self.depends = s.dependencies(programs)
        # The unmutated objects, to tell a mutant that changes no code.
        objects = {o for uses in self.depends.values() for objs in uses.values() for o in objs}
        self.digests = dict(zip(sorted(objects), s.digest(sorted(objects))))

    def order(self, file, programs):
        """The programs of the mutated file's own folder first, then the fastest."""
        folder = "test_" + os.path.dirname(file.replace("code/", "", 1)).replace("/", "_")
        return sorted(programs, key=lambda p: (not folder.startswith(p), self.seconds[p]))

    def elsewhere(self, mutant, targets):
        for prefix, build in ELSEWHERE:
            if mutant.file.startswith(prefix):
                return build
        for target in ("web", "windows"):
            if target in targets:
                return TARGET_BUILDS[target]
        return None

    def trial(self, mutant, targets):
        """(verdict, by) of one mutant."""
        if mutant.start < 0:
            return "not applied", "original text missing or not unique"
        uses = self.depends.get(mutant.file, {})
        if not uses:
            return "elsewhere", self.elsewhere(mutant, targets) or "no test program builds it"
        path = self.scratch.src / mutant.file
        original = path.read_bytes()
        try:
            path.write_bytes(generate.apply(self.scratch.src, mutant))
            changed = False
            for program in self.order(mutant.file, uses):
                if not self.scratch.build(program):
                    return "stillborn", "does not compile"
                objects = uses[program]
                if self.scratch.digest(objects) == [self.digests[o] for o in objects]:
                    continue  # the same program as unmutated: it passes
                changed = True
                failure = self.scratch.run(program, 30 + 5 * self.seconds[program])
                if failure:
                    return "caught", failure
            if not changed:
                build = self.elsewhere(mutant, targets)
                return "unchanged", build or "same object files: no code changed"
            return "survived", "-"
        finally:
            path.write_bytes(original)

    def record(self, ident, mutant, verdict, by, seconds):
        new = not self.results.exists()
        with open(self.results, "a") as out:
            if new:
                out.write("#" + "\t".join(FIELDS) + "\n")
            values = (ident, mutant.file, str(mutant.line), mutant.rule,
                      json.dumps(mutant.original), json.dumps(mutant.replacement), verdict, by,
                      f"{seconds:.0f}")
            out.write("\t".join(values) + "\n")
        self.done[ident] = dict(zip(FIELDS, values))

    def execute(self, entries, again=False):
        """entries: (id, mutant, targets). Skips those already in the results file; run again, only
        the survivors not shown equivalent, whose new line then comes after the old one."""
        reasons = equivalents()
        if again:
            todo = [e for e in entries if e[0] in self.done and e[0] not in reasons and
                    self.done[e[0]]["verdict"] == "survived"]
        else:
            todo = [e for e in entries if e[0] not in self.done]
        if not todo:
            return
        self.prepare()
        for count, (ident, mutant, targets) in enumerate(todo, 1):
            started = time.monotonic()
            verdict, by = self.trial(mutant, targets)
            self.record(ident, mutant, verdict, by, time.monotonic() - started)
            print(f"[{count}/{len(todo)}] {ident} {mutant.file}:{mutant.line} {mutant.describe()}"
                  f" -> {verdict} ({by})", flush=True)
        self.scratch.build(*self.scratch.programs())  # leaves the unmutated programs


def summary(done, order, kinds):
    """The score line: caught over the mutants that count (not equivalent, built here)."""
    reasons = equivalents()
    caught = counted = equivalent = 0
    other = {}
    for ident in order:
        fields = done.get(ident)
        if fields is None:
            continue
        verdict = fields["verdict"]
        if kinds.get(ident) == "e" or (verdict == "survived" and ident in reasons):
            equivalent += 1
        elif verdict in ("caught", "survived"):
            counted += 1
            caught += verdict == "caught"
        else:
            other[verdict] = other.get(verdict, 0) + 1
    ran = sum(1 for ident in order if ident in done)
    line = f"mutants: {ran} of {len(order)} run; {caught} of {counted} non-equivalent caught"
    if counted:
        line += f" ({100 * caught / counted:.1f}%)"
    line += f", {equivalent} equivalent"
    for verdict, number in sorted(other.items()):
        line += f", {number} {verdict}"
    return line, counted - caught


def main():
    parser = argparse.ArgumentParser(prog="scripts/mutants.sh", description=__doc__)
    parser.add_argument("--sample", type=int, default=300, help="how many generated mutants")
    parser.add_argument("--seed", type=int, default=1, help="the seed of the sample")
    parser.add_argument("--table", action="store_true", help="the hand-written table instead")
    parser.add_argument("--list", action="store_true", help="list the mutants, run nothing")
    parser.add_argument("--results", type=pathlib.Path, help="results file (resumed if present)")
    parser.add_argument("--report", action="store_true", help="the score of the results so far")
    parser.add_argument("--again", action="store_true",
                        help="run the survivors of the results file again (after new tests)")
    parser.add_argument("ids", nargs="*", help="only these mutants")
    arguments = parser.parse_args()

    root = HERE.parent.parent
    work = pathlib.Path(os.environ.get("MUTANTS_DIR", root / "build" / "mutants"))
    if arguments.table:
        rows = table_mutants(root)
        entries = [(ident, mutant, {"host"}) for ident, _, _, mutant in rows]
        kinds = {ident: kind for ident, kind, _, _ in rows}
        describe = {ident: description for ident, _, description, _ in rows}
        default = work / "table.tsv"
    else:
        everything = generate.generate(root)
        entries = [(m.id, m, m.targets) for m in sampled(everything, arguments.sample,
                                                       arguments.seed)]
        kinds = {}
        describe = {m.id: m.describe() for _, m, _ in entries}
        default = root / "tools" / "mutation" / f"results-seed{arguments.seed}.tsv"
        print(f"mutants: {len(everything)} generated, sample of {len(entries)} with seed "
              f"{arguments.seed}", flush=True)
    if arguments.ids:
        entries = [e for e in entries if e[0] in arguments.ids]
    results = arguments.results or default
    if arguments.list:
        for ident, mutant, targets in entries:
            print(f"{ident}  {mutant.file}:{mutant.line}  {describe[ident]}"
                  f"  [{' '.join(sorted(targets))}]")
        return 0
    campaign = Campaign(Scratch(root, work), results)
    if not arguments.report:
        if arguments.table and not arguments.results and results.exists():
            results.unlink()  # the table is always run whole
        campaign.execute(entries, arguments.again)
    order = [e[0] for e in entries]
    if campaign.first != campaign.done:
        print("first run: " + summary(campaign.first, order, kinds)[0].split(": ", 1)[1])
    line, survivors = summary(campaign.done, order, kinds)
    reasons = equivalents()
    for ident, mutant, _ in entries:
        fields = campaign.done.get(ident)
        if fields and fields["verdict"] != "caught":
            verdict, by = fields["verdict"], fields["by"]
            if verdict == "survived" and (ident in reasons or kinds.get(ident) == "e"):
                verdict, by = "equivalent", reasons.get(ident, "see docs/testing.md")
            print(f"{ident}\t{mutant.file}:{mutant.line}\t{describe[ident]}\t{verdict}\t{by}")
    print(line)
    return 0 if survivors == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
