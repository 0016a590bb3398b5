#!/usr/bin/env bash
# The mutation campaign: plants each fault of the table below, one at a time, in a scratch copy of
# the tree, rebuilds only the test programs of the mutated folder (sanitizers on, as in the dev
# preset) and runs them. A mutant is caught when a program fails, crashes or hangs.
#
#   scripts/mutants.sh            every mutant, then the table and the score
#   scripts/mutants.sh M07 R03    only those mutants
#   scripts/mutants.sh --list     the table without running anything
#
# The scratch copy lives in build/mutants (MUTANTS_DIR overrides it) and is refreshed from the
# working tree at each start, so the tree itself is never touched. Not part of the test command:
# a full run takes the better part of an hour on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=${MUTANTS_DIR:-$root/build/mutants}
src=$work/src
bin=$work/build
limit=${MUTANT_TIMEOUT:-180}  # seconds per test program; a hang counts as caught

# id@file@kind@original@replacement@description. kind: m, a fault the tests must catch; e, an
# equivalent mutant (no input can tell it from the original; docs/testing.md says why). In the
# original and replacement, \n stands for a line break.
mutants() {
    cat <<'TABLE'
M01@code/memory/arena.cpp@m@(size + (ArenaGranularity - 1))@(size + (ArenaGranularity - 2))@rounding to the granularity one short
M02@code/memory/arena.cpp@m@candidate->size > rounded + ArenaHeaderSize@candidate->size >= rounded + ArenaHeaderSize@split off an empty free block on an exact fit
M03@code/memory/arena.cpp@m@        Absorb(block, block->next);@        (void)0;@free does not merge with the free block above
M04@code/memory/arena.cpp@m@block->prev->inUse == 0@block->prev->inUse != 0@free merges into the block below when it is in use
M05@code/memory/arena.cpp@m@        rest->next->prev = rest;@        (void)0;@split leaves the next block's prev link stale
M06@code/memory/array.h@m@uint32_t kept = count < n ? count : n;@uint32_t kept = count;@shrinking copies count elements, not min(count, n)
M07@code/memory/array.h@m@if (count == capacity && !Grow())@if (count > capacity && !Grow())@append writes past a full storage instead of growing
M08@code/memory/array.h@m@if (minCapacity != 0) {@if (minCapacity == 0) {@clear shrinks and drops the wrong way round
M09@code/memory/array.h@e@uint64_t doubled = capacity == 0 ? 1 :@uint64_t doubled = capacity == 0 ? 0 :@first growth asks for 0 elements (SetCapacity makes it 1)
M10@code/memory/linked_list.h@m@                tail->next = nullptr;@                (void)0;@removing the tail leaves the new tail pointing at the freed node
M11@code/memory/deferred_free_list.cpp@m@node->value.level <= level@node->value.level < level@purge keeps the entries of its own level
M12@code/memory/tree_container.cpp@m@        waiting->second = nullptr;@        (void)0;@teardown walks a second subtree again
M13@code/memory/tree_container.cpp@m@        EngineFree(buffer);@        (void)0;@destroy leaks the tree's buffer
R01@code/random/mersenne_twister.cpp@m@SeedMultiplier = 69069;@SeedMultiplier = 69070;@wrong seeding multiplier
R02@code/random/mersenne_twister.cpp@m@k < StateSize - 1; ++k@k < StateSize - 2; ++k@second twist loop stops one word short
R03@code/random/mersenne_twister.cpp@m@RangeBound = 10000001;@RangeBound = 10000000;@range draws never reach the upper bound
R04@code/random/mersenne_twister.cpp@m@if (generator.index >= StateSize) {@if (generator.index > StateSize) {@reads one word past the state before refilling
R05@code/random/mersenne_twister.cpp@m@y ^= y >> 18;@y ^= y >> 17;@wrong final tempering shift
C01@code/config/hash_name.cpp@m@static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(character)))@static_cast<uint32_t>(static_cast<uint8_t>(character))@bytes above 0x7F added unsigned
C02@code/config/config_tokenizer.cpp@m@if (magnitude <= INT64_C(0x80000000)) {@if (magnitude < INT64_C(0x80000000)) {@digits stop counting at exactly 2^31
C03@code/config/config_tokenizer.cpp@m@if (c == '#' || c == ';') {@if (c == '#') {@semicolon comments no longer recognised
C04@code/config/config_file.cpp@m@        --lineLength;@        (void)0;@CR of a CRLF line kept
C05@code/config/config_file.cpp@m@if (loader->settings == ConfigMaxSettings) {@if (loader->settings > ConfigMaxSettings) {@one setting more than the cap accepted
C06@code/config/config_file.cpp@m@if (loader->problems > ConfigMaxMessages) {\n        return;@if (loader->problems >= ConfigMaxMessages) {\n        return;@one problem fewer shown than the cap
C07@code/config/variable_registry.cpp@m@link = key > (*link)->key ? &(*link)->higher : &(*link)->lower;@link = key < (*link)->key ? &(*link)->higher : &(*link)->lower;@the search tree mirrored (every lookup and insert alike)
C08@code/config/variable_registry.cpp@m@if (variable == nullptr || variable->type != VariableTypeInt) {@if (variable == nullptr) {@a boolean read as a whole number
C09@code/config/engine_string.cpp@m@AllocateStringBuffer(static_cast<uint32_t>(length) + 1)@AllocateStringBuffer(static_cast<uint32_t>(length))@string buffer one byte short for the terminator
I01@code/io/bitmap_loader.cpp@m@if (fields.width <= 0 || fields.height == 0) {@if (fields.width < 0 || fields.height == 0) {@zero width accepted
I02@code/io/bitmap_loader.cpp@m@if (uint64_t{fields.pixelOffset} < uint64_t{FileHeaderSize} + fields.infoSize) {@if (uint64_t{fields.pixelOffset} <= uint64_t{FileHeaderSize} + fields.infoSize) {@pixels right after the headers refused
I03@code/io/memory_stream.cpp@e@uint32_t available = position < size ? size - position : 0;@uint32_t available = position <= size ? size - position : 0;@at position == size both give 0
I04@code/io/file_stream.cpp@m@    Seek(saved);\n    return end;@    return end;@Size leaves the position at the end
I05@code/io/stream.cpp@m@EngineAlloc(textSize + 1)@EngineAlloc(textSize)@formatting buffer one byte short
D01@code/render/surface.cpp@m@size_t rowBytes = pixelBytes + (surface->rowGap > 0 ? 1 : 0);@size_t rowBytes = pixelBytes;@fast fill skips the gap byte the reference writes
D02@code/render/surface.cpp@m@        DeleteObject(surface->dibSection);\n    }\n    if (surface->memoryDC@        (void)0;\n    }\n    if (surface->memoryDC@destroy leaks the DIB section
D03@code/render/surface.cpp@m@        DeleteObject(surface->dibSection);\n        surface->dibSection = nullptr;@        surface->dibSection = nullptr;@re-creation leaks the old DIB section
D04@code/render/sprite.cpp@e@if (sx + w > sprite->width) {@if (sx + w >= sprite->width) {@at equality the clip sets w to what it is
D05@code/render/sprite.cpp@m@            if (colour != sprite->colourKey) {@            if (colour == sprite->colourKey) {@reference blit copies only the key colour
D06@code/render/sprite.cpp@m@Blend(to + 16, b, uint32_t(keyBytes >> 16) & 0xFFFF);@Blend(to + 16, b, uint32_t(keyBytes >> 15) & 0xFFFF);@SSE2 chunk's middle vector blended with a shifted mask
D07@code/render/sprite.cpp@m@return bytes & ~(keyPixels * 7);@return bytes & ~(keyPixels * 3);@AVX-512 mask keeps the key pixels' red bytes
D08@code/render/sprite.cpp@m@CopyKeyedChunk(to + 3 * last, from + 3 * last, keyChunk);@(void)last;@SSE2 row misses its last, overlapping chunk
T01@code/timing/frame_timer.cpp@m@if (running < 0.0f || scale < running) {@if (running < 0.0f || scale > running) {@largest modifier wins instead of the smallest
T02@code/timing/frame_timer.cpp@m@if (modifier->remaining <= 0.0f) {@if (modifier->remaining < 0.0f) {@a modifier that runs out exactly lives a frame longer
T03@code/timing/frame_timer.cpp@e@frequency.QuadPart <= 0@frequency.QuadPart < 0@QueryPerformanceFrequency already fails for 0
T04@code/timing/frame_timer.cpp@m@    ++timer->frameCount;@    (void)0;@frames not counted
K01@code/input/keyboard.cpp@m@return key >= 0 && key < KeyCount;@return key >= 0 && key <= KeyCount;@key 256 read past the table
K02@code/input/keyboard.cpp@m@current[key] != 0 && previous[key] == 0@current[key] != 0 && previous[key] != 0@pressed means held
K03@code/input/keyboard.cpp@m@std::memcpy(previous, current, sizeof(current));@std::memcpy(current, previous, sizeof(current));@snapshot copied the wrong way
K04@code/input/keyboard.cpp@m@(state & 0x8000u) != 0@(state & 0x0001u) != 0@the "pressed since the last call" bit read as "down"
P01@code/platform/app_window.cpp@m@if (wParam == SC_KEYMENU) {@if (wParam == SC_KEYMENU || wParam == SC_CLOSE) {@SC_CLOSE swallowed too
P02@code/platform/app_window.cpp@e@int32_t position = (desktop - size) >> 1;@int32_t position = (desktop - size) / 2;@they differ only below 0, which is clamped
P03@code/platform/app_window.cpp@m@return position < 0 ? 0 : position;@return position;@window placed off the desktop
P04@code/platform/app_window.cpp@m@    DestroyWindow(window->handle);\n    UnregisterClassA(className, window->instance);@    UnregisterClassA(className, window->instance);\n    DestroyWindow(window->handle);@class unregistered while its window lives
P05@code/platform/display_settings.cpp@m@    if (settings->fullscreen) {\n        ChangeDisplaySettingsA(nullptr, 0);@    if (!settings->fullscreen) {\n        ChangeDisplaySettingsA(nullptr, 0);@full-screen mode not restored at teardown
P06@code/platform/display_settings.cpp@m@SetDisplayMode(rate, depth,@SetDisplayMode(depth, rate,@rate and depth swapped
W01@code/platform/portable/gdi32.cpp@m@int shiftX = std::max({0, -x, -fromX});@int shiftX = std::max({0, -x});@BitBlt ignores a negative source x
W02@code/platform/portable/gdi32.cpp@m@    GdiObject* previous = context->selected;\n    context->selected = selected;\n    return previous;@    context->selected = selected;\n    return nullptr;@SelectObject does not hand back the previous bitmap
W03@code/platform/portable/user32.cpp@m@            session.quitPosted = false;@            (void)0;@the quit message is never taken off
W04@code/platform/portable/user32.cpp@m@    window->procedure(handle, WM_DESTROY, 0, 0);@    (void)0;@DestroyWindow sends no WM_DESTROY
W05@code/platform/portable/user32.cpp@m@message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE@message == WM_SYSCOMMAND && wParam == SC_MINIMIZE@the default handling ignores SC_CLOSE
G01@code/projects/taspo/reaction_cycle.cpp@m@if (!(phaseElapsed >= phaseDuration)) {@if (!(phaseElapsed > phaseDuration)) {@a phase ends a frame late on an exact boundary
G02@code/projects/taspo/reaction_cycle.cpp@m@phaseDuration = MissTime;@phaseDuration = HitTime;@miss shown for the hit's time
G03@code/projects/taspo/reaction_cycle.cpp@m@return targetShown || hitShown;@return targetShown;@the hit target not drawn
G04@code/projects/taspo/app_frame.cpp@m@if (targetShown && device->IsPressed(VK_SPACE)) {@if (device->IsPressed(VK_SPACE)) {@space scores while no target shows
G05@code/projects/taspo/app_frame.cpp@m@    if (!windowFocused) {@    if (windowFocused) {@keyboard read only without the focus
G06@code/projects/taspo/app_frame.cpp@m@    SwitchToThread();@    (void)0;@the frame does not yield
G07@code/projects/taspo/app.cpp@m@    if (displaySettings != nullptr) {\n        DestroyDisplaySettings(displaySettings);\n        displaySettings = nullptr;\n    }\n    if (mainWindow != nullptr) {\n        if (mainWindow->created) {\n            DestroyAppWindow(mainWindow);\n        }\n        Release(&mainWindow);\n    }@    if (mainWindow != nullptr) {\n        if (mainWindow->created) {\n            DestroyAppWindow(mainWindow);\n        }\n        Release(&mainWindow);\n    }\n    if (displaySettings != nullptr) {\n        DestroyDisplaySettings(displaySettings);\n        displaySettings = nullptr;\n    }@teardown destroys the window before restoring the display mode
G08@code/projects/taspo/app.cpp@m@        DestroySurface(backBuffer);@        Release(&backBuffer);@back buffer's GDI objects leaked at teardown
TABLE
}

# The test programs that cover a file's folder.
programs_for() {
    case $1 in
        code/memory/*) echo test_memory ;;
        code/random/*) echo test_random test_random_fresh ;;
        code/config/*) echo test_config ;;
        code/io/*) echo test_io ;;
        code/render/*) echo test_render ;;
        code/timing/*) echo test_timing ;;
        code/input/*) echo test_input ;;
        code/platform/portable/*) echo test_platform test_timing test_input ;;
        code/platform/*) echo test_platform ;;
        code/projects/taspo/*) echo test_projects_taspo test_projects_taspo_first_run ;;
        *) return 1 ;;
    esac
}

# Copies the working tree's files into the scratch copy, only those that differ, so the builds
# there stay incremental.
sync_tree() {
    mkdir -p "$src"
    local file
    while IFS= read -r -d '' file; do
        [ -f "$root/$file" ] || continue
        if ! cmp -s "$root/$file" "$src/$file"; then
            mkdir -p "$(dirname "$src/$file")"
            cp "$root/$file" "$src/$file"
        fi
    done < <(git -C "$root" ls-files -co --exclude-standard -z)
}

# build PROGRAM...: false when they do not compile.
build() {
    nice -n 10 cmake --build "$bin" -j2 --target "$@" </dev/null >"$work/build.log" 2>&1
}

# run PROGRAM...: prints what failed first ("-" when everything passed); false on a failure.
run() {
    local program status output
    for program in "$@"; do
        output=$work/run.log
        status=0
        (cd "$bin/tests" && timeout "$limit" "./$program" --gtest_filter='-SoakTest.*' \
            --gtest_brief=1) </dev/null >"$output" 2>&1 || status=$?
        if [ "$status" -ne 0 ]; then
            local failed
            failed=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\).*/\1/p' "$output" | head -n 1)
            if [ "$status" -eq 124 ]; then
                echo "$program: timeout"
            elif [ -n "$failed" ]; then
                echo "$program: $failed"
            elif grep -q 'ERROR: AddressSanitizer' "$output"; then
                echo "$program: AddressSanitizer"
            elif grep -q 'runtime error:' "$output"; then
                echo "$program: UndefinedBehaviorSanitizer"
            elif grep -q 'ERROR: LeakSanitizer' "$output"; then
                echo "$program: LeakSanitizer"
            else
                echo "$program: exit $status"
            fi
            return 1
        fi
    done
    echo "-"
}

applied_file=""
restore() {
    if [ -n "$applied_file" ]; then
        cp "$work/original" "$src/$applied_file"
        applied_file=""
    fi
}
trap restore EXIT
trap 'exit 130' INT TERM

# apply FILE ORIGINAL REPLACEMENT: false when the original is missing or not unique.
apply() {
    local file=$1 original=${2//\\n/$'\n'} replacement=${3//\\n/$'\n'} content rest
    content=$(<"$src/$file")
    [[ $content == *"$original"* ]] || return 1
    rest=${content#*"$original"}
    [[ $rest != *"$original"* ]] || return 1
    cp "$src/$file" "$work/original"
    applied_file=$file
    printf '%s\n' "${content/"$original"/"$replacement"}" >"$src/$file"
}

list_only=false
selected=()
for argument in "$@"; do
    case $argument in
        --list) list_only=true ;;
        *) selected+=("$argument") ;;
    esac
done

if $list_only; then
    mutants | while IFS='@' read -r id file kind _ _ description; do
        printf '%s  %-2s %-42s %s\n' "$id" "$kind" "$file" "$description"
    done
    exit 0
fi

mkdir -p "$work"
sync_tree
if [ ! -f "$bin/CMakeCache.txt" ]; then
    cmake -S "$src" -B "$bin" -DCMAKE_BUILD_TYPE=Debug -DTASPO_SANITIZE=ON >"$work/configure.log"
fi

read -ra all_programs <<<"$(mutants | cut -d@ -f2 | while read -r file; do programs_for "$file"; done |
    tr ' ' '\n' | sort -u | tr '\n' ' ')"
if ! build "${all_programs[@]}"; then
    echo "mutants: the unmutated tree does not build (see $work/build.log)" >&2
    exit 2
fi
if ! baseline=$(run "${all_programs[@]}"); then
    echo "mutants: the unmutated tree fails its tests: $baseline" >&2
    exit 2
fi

results=$work/results.txt
: >"$results"
caught=0
counted=0
equivalent=0
stillborn=0
while IFS="@" read -r -u 3 id file kind original replacement description; do
    if [ "${#selected[@]}" -gt 0 ] && [[ " ${selected[*]} " != *" $id "* ]]; then
        continue
    fi
    read -ra programs <<<"$(programs_for "$file")"
    if ! apply "$file" "$original" "$replacement"; then
        verdict="NOT APPLIED"
        by="original text missing or not unique"
        stillborn=$((stillborn + 1))
    elif ! build "${programs[@]}"; then
        verdict="STILLBORN"
        by="does not compile"
        stillborn=$((stillborn + 1))
    elif by=$(run "${programs[@]}"); then
        verdict="survived"
    else
        verdict="caught"
    fi
    restore
    if [ "$kind" = e ]; then
        equivalent=$((equivalent + 1))
        [ "$verdict" = survived ] && verdict="equivalent"
    elif [ "$verdict" = caught ] || [ "$verdict" = survived ]; then
        counted=$((counted + 1))
        [ "$verdict" = caught ] && caught=$((caught + 1))
    fi
    line=$(printf '| %s | %s | %s | %s | %s |' "$id" "${file#code/}" "$description" "$verdict" "$by")
    echo "$line" | tee -a "$results"
done 3< <(mutants)

# Leaves the programs built from the unmutated tree.
build "${all_programs[@]}" || true
echo
echo "| Id | File | Fault | Result | First failure |"
echo "|----|------|-------|--------|---------------|"
cat "$results"
echo
if [ "$counted" -gt 0 ]; then
    echo "mutants: $caught of $counted non-equivalent caught ($((100 * caught / counted))%)," \
        "$equivalent equivalent, $stillborn not built"
fi
[ "$stillborn" -eq 0 ] && [ "$caught" -eq "$counted" ]
