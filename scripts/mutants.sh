#!/usr/bin/env bash
# The mutation campaign, kept out of the test command. Mutants are made mechanically from operator
# rules over code/ and tests/support/ (tools/mutation/generate.py) and run one at a time in a
# scratch copy of the tree, build/mutants (MUTANTS_DIR overrides it), by tools/mutation/campaign.py.
#
#   scripts/mutants.sh --sample 300 --seed 1   a sample of the generated mutants, fixed by the seed;
#                                              results go to tools/mutation/results-seed1.tsv as they
#                                              come, and a stopped run resumes from that file
#   scripts/mutants.sh --table                 the hand-written table (tools/mutation/table.txt)
#   scripts/mutants.sh --list [--table]        the mutants, nothing run
#   scripts/mutants.sh --report --seed 1       the score of the results so far
#   scripts/mutants.sh ID...                   only those mutants (with --table: M07 R03)
#
# Exits non-zero while a mutant that counts survives. docs/testing.md has the score and survivors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev ninja-build ccache python3 python3-clang-14
# Debian's python3, which has the clang bindings, whatever python3 comes first on PATH.
exec /usr/bin/python3 tools/mutation/campaign.py "$@"
