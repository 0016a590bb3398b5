#!/usr/bin/env bash
# What the packages tell software centres and distributions, read from the built packages in
# $TASPO_DIST (environment: see tests/packaging/CMakeLists.txt). Checks that the .deb's AppStream listing validates without errors or warnings and matches the
# package (its file name, version, date and desktop entry), that its /usr/share/doc/taspo/copyright is
# machine-readable (DEP-5) and grants the zlib licence with LICENSE's very text, and that the zip
# carries LICENSE as LICENSE.txt with Windows line ends. One line per check; non-zero on any failure.
set -euo pipefail
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
cd "$TASPO_SOURCE_DIR"
version=$TASPO_VERSION
deb=$TASPO_DIST/taspo_${version}_amd64.deb
zip=$TASPO_DIST/taspo-${version}-win32.zip
for package in "$deb" "$zip"; do
    [ -f "$package" ] || { echo "  FAILED: no $package"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/deb"
unzip -q "$zip" -d "$work/zip"

echo "== The AppStream listing in $(basename "$deb")"
listings=("$work"/deb/usr/share/metainfo/*.metainfo.xml)
listing=${listings[0]}
# tag_text TAG: the text of the listing's first TAG element that has only text inside.
tag_text() { sed -n "s|.*<$1[^>]*>\([^<]*\)</$1>.*|\1|p" "$listing" | head -n 1; }
one_listing_named_after_its_id() {
    if [ ${#listings[@]} -ne 1 ] || [ ! -f "$listing" ]; then
        echo "    listings: ${listings[*]}"
        return 1
    fi
    [ "$(basename "$listing")" = "$(tag_text id).metainfo.xml" ]
}
# validate-tree runs validate's checks on every listing of the unpacked package, and checks the
# desktop entry each one launches.
validates_cleanly() {
    local report status=0
    report=$(appstreamcli validate-tree --no-net --no-color "$work/deb" 2>&1) || status=$?
    echo "    ${report//$'\n'/$'\n'    }"
    [ "$status" -eq 0 ] && ! grep -q '^[EW]:' <<<"$report"
}
# The newest release is the project's version, on the day of the package changelog's newest entry.
newest_release_is_this_version() {
    local trailer newest
    trailer=$(zcat "$work/deb/usr/share/doc/taspo/changelog.gz" | sed -n 's/^ -- .*>  //p' | head -n 1)
    newest=$(grep -m 1 -o '<release [^>]*>' "$listing")
    [ "$newest" = "<release version=\"$version\" date=\"$(date -u -d "$trailer" +%F)\"/>" ] ||
        { echo "    newest: $newest"; return 1; }
}
check "one listing in /usr/share/metainfo, named after its id" one_listing_named_after_its_id
check "appstreamcli validate-tree --no-net, the listing and its desktop entry: no errors, no warnings" \
    validates_cleanly
check "its newest release is $version, on the day of the changelog's newest entry" \
    newest_release_is_this_version
check "its project licence is Zlib" test "$(tag_text project_license)" = Zlib
check "it has an OARS content rating" grep -q '<content_rating type="oars-1\.[01]"' "$listing"

echo "== The licence"
# dep5_grants_zlib COPYRIGHT-FILE LICENSE: the file parses as DEP-5 (strictly), every file falls
# under Zlib, and its Zlib text is LICENSE's below the copyright line.
dep5_grants_zlib() {
    /usr/bin/python3 - "$1" "$2" <<'PYTHON'
import sys
from debian.copyright import Copyright, Error

try:
    with open(sys.argv[1], encoding="utf-8") as source:
        copyright = Copyright(source, strict=True)
except (Error, ValueError) as error:
    print(f"    not DEP-5: {error}")
    sys.exit(1)
with open(sys.argv[2], encoding="utf-8") as source:
    expected = source.read().split("\n", 2)[2].strip()
files = copyright.find_files_paragraph("usr/games/taspo")
problems = []
if files is None or files.license.synopsis != "Zlib":
    problems.append("the game's files are not under License: Zlib")
if files is not None and "The Taspo developers" not in files.copyright:
    problems.append("Copyright does not name The Taspo developers")
texts = [p.license.text for p in copyright.all_license_paragraphs() if p.license.synopsis == "Zlib"]
if [text.strip() for text in texts] != [expected]:
    problems.append("the Zlib licence paragraph is not LICENSE's text")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PYTHON
}
crlf_copy_of() {
    [ -f "$1" ] && grep -q $'\r$' "$1" && ! grep -qv $'\r$' "$1" && cmp -s <(tr -d '\r' <"$1") "$2"
}
check "LICENSE is the zlib licence of The Taspo developers" \
    grep -q "^Copyright (c) [0-9]* The Taspo developers$" LICENSE
check "the .deb's /usr/share/doc/taspo/copyright is DEP-5 and grants LICENSE's Zlib terms" \
    dep5_grants_zlib "$work/deb/usr/share/doc/taspo/copyright" LICENSE
check "the zip carries LICENSE as LICENSE.txt with CRLF line ends" \
    crlf_copy_of "$work/zip/taspo-$version-win32/LICENSE.txt" LICENSE

checks_passed
