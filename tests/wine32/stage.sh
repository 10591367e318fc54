#!/usr/bin/env bash
# The released 32-bit Clipwell.exe under Wine, through the end-to-end tests:
# the 64-bit test programs of a win64 build drive the very exe that goes
# into the zip.
#   stage.sh WIN64_BUILD RELEASE_EXE STATE_DIR
#       with CLIPWELL_MINIMAL_EXE naming the 32-bit minimal_dialog.exe of a
#       win32 build: the floor of a 32-bit program's exit for the fault cases
#   stage.sh --bench RUNS BENCH_BUILD RELEASE_EXE STATE_DIR
#       instead times the grab of the 8 MiB sample by the release exe and
#       by BENCH_BUILD's 64-bit exe, RUNS times each, through BENCH_BUILD's
#       clipwell_bench (name=value lines for scripts/bench.sh)
#
# Where the kernel runs 32-bit programs, they run natively. Where it does
# not (32-bit support switched off at boot), they run under qemu-user,
# through a binfmt_misc registration that is the stage's own: the stage runs
# in a user and mount namespace of its own with its own binfmt_misc, so no
# other process on the machine sees the registration, and it goes away with
# the stage. Under the emulation:
#   - the 32-bit Wine processes preload map_noreplace.c's library;
#   - the servers close every connection after its response, since 32-bit
#     WinINet under qemu-user crashes when a kept-alive connection goes back
#     to its pool (an emulation fault: natively the same exe keeps them);
#   - the cases with a second grab in one process, which the emulation
#     breaks, run on their own and are reported as known emulation faults.
#
# Environment:
#   CLIPWELL_WIN32_EMULATE=1   emulate even where the kernel runs 32-bit code
#   CLIPWELL_WIN32_REQUIRED=1  fail, instead of skipping, where 32-bit
#                              programs can be run neither way
#   CLIPWELL_WIN32_SUITES      the suites to run, of ui, ui_faults, e2e,
#                              e2e_japanese and second_grab (emulated
#                              only); all when unset
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# What runs against the fixture server (ui_tests) and against nginx
# (e2e_tests): gtest filters.
UI_CASES=ExeResources.*:AboutBox.*:Errors.APageWithoutPlayerSaysSoByClickAndByEnter:Help.F1OpensTheReadMeBesideTheProgram
# The address on the command line, a bad one too, and the caption during a grab.
UI_CASES+=:StartUp.GrabsTheAddressOnItsCommandLine:Errors.ACodeNoTableKnowsFallsBackByHowTheGrabCame
UI_CASES+=:Grab.SavesTheVideoUnderThePageTitleWithItsProgress
UI_CASES+=:Grab.SendsAnAddressInAnyScriptAsABrowserDoes:Proxy.AsksForItsPasswordThroughTheSystemsDialog
# The failures of a page, one that never ends among them (the memory of a 32-bit exe).
UI_CASES+=:Errors.NetworkAndFileFailuresShowTheirOwnText
# The network faults: dropped, short, continued and stalled transfers and
# pages (those with a second grab or a second round are below).
UI_FAULT_SECOND_GRAB=Faults.RetryContinuesFromTheFile:Faults.AStoppedWorkerLeavesTheNextGrabAlone
UI_FAULT_CASES=Faults.*:StalledFaults.*-$UI_FAULT_SECOND_GRAB
E2E_CASES=Nginx.*:NginxFirstGrab.*
E2E_JAPANESE_CASES=NginxJapanese.*
# Cases with a second grab in one process. Under qemu-user, 32-bit Wine
# crashes or hangs when a process opens a connection after a thread that
# read from one has ended (README, test section): there they run apart,
# for a limited time, and are reported as known emulation faults.
UI_SECOND_GRAB=Transfer.EnterDuringATransferStartsTheNextOne:$UI_FAULT_SECOND_GRAB
E2E_SECOND_GRAB=Nginx.SavesVideosOfEverySizeByteForByte:Nginx.SavesWhatTheServerAnswers:Nginx.ReadsPagesOfEveryShape
E2E_SECOND_GRAB+=:Nginx.NamesFilesAsTheirTitlesRead
E2E_JAPANESE_SECOND_GRAB=NginxJapanese.NamesFilesAsTheirTitlesRead
KNOWN_FAULT_SECONDS=90

LOADER32=/usr/lib/wine/wine
QEMU=/usr/bin/qemu-i386-static
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# Runs the rest of a command line inside a fresh user and mount namespace
# that has a binfmt_misc of its own.
in_namespace() {
  unshare --user --map-root-user --mount --propagation private \
    "$here/stage.sh" --inside "$@"
}

# Inside the namespace: how 32-bit programs run here ("native" or
# "emulated"), registering qemu-user when needed; "unable: why" otherwise.
choose_mode() {
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [[ ${CLIPWELL_WIN32_EMULATE:-} != 1 ]] && "$LOADER32" --version >/dev/null 2>&1; then
    echo native
    return
  fi
  if [[ ! -x $QEMU ]]; then
    echo "unable: the kernel runs no 32-bit programs and $QEMU is missing"
    return
  fi
  printf ':clipwell-i386:M::%s:%s:%s:F' "$I386_MAGIC" "$I386_MASK" "$QEMU" >/proc/sys/fs/binfmt_misc/register
  if "$LOADER32" --version >/dev/null 2>&1; then
    echo emulated
  else
    echo "unable: 32-bit Wine does not start under $QEMU"
  fi
}

# Says why the stage does not run; a failure where it is required.
skip() {
  echo "== win32 SKIPPED: the released Clipwell.exe was not run: $1" >&2
  [[ ${CLIPWELL_WIN32_REQUIRED:-} == 1 ]] && exit 1
  exit 0
}

# The preload library for 32-bit processes, with an empty 64-bit twin at
# the place where the 64-bit processes, which see the same LD_PRELOAD,
# look for it.
build_preload() {
  local out=$1
  mkdir -p "$out/lib/i386-linux-gnu" "$out/lib/x86_64-linux-gnu"
  gcc -m32 -O2 -fPIC -shared -nostdlib -ffreestanding -Wall -Wextra -Werror \
    -o "$out/lib/i386-linux-gnu/libmap-noreplace.so" "$here/map_noreplace.c" /usr/lib/i386-linux-gnu/libc.so.6
  gcc -O2 -fPIC -shared -nostdlib -x c /dev/null -o "$out/lib/x86_64-linux-gnu/libmap-noreplace.so"
}

# Writes the Wine environment and session scripts of the stage's own
# prefix from the win64 tests' templates.
configure_wine() {
  local state=$1
  sed -e "s|@WINE_PREFIX@|$state/prefix|" -e "s|@WINE64@|/usr/lib/wine/wine64|" \
    -e "s|@WINESERVER@|/usr/lib/wine/wineserver|" -e "s|@WINE_STATE@|$state/wine|" \
    "$root/tests/wine/wine-env.sh.in" >"$state/wine-env.sh"
  sed -e "s|@WINE_ENV@|$state/wine-env.sh|" "$root/tests/wine/wine-session.sh.in" >"$state/wine-session.sh"
  chmod +x "$state/wine-session.sh"
  # A prefix made while 32-bit programs could not run lacks its 32-bit
  # half for good: make it anew.
  if [[ -d $state/prefix && ! -f $state/prefix/drive_c/windows/syswow64/kernel32.dll ]]; then
    rm -rf "$state/prefix"
  fi
}

# Runs one test command (a Windows test program and its arguments) under
# Wine, within the fixture server; prints its result line.
run_case() {
  local name=$1
  shift
  local start=$SECONDS
  if timeout 900 python3 "$root/tests/fixture/fixture_server.py" -- "$WINE64" "$@" >"$STATE/$name.log" 2>&1; then
    echo "win32: $name passed ($((SECONDS - start)) s)"
    return 0
  fi
  echo "win32: $name FAILED ($((SECONDS - start)) s), its output:"
  grep -v '^\[ *\(RUN\|OK\) ' "$STATE/$name.log" | tail -n 60
  return 1
}

# Says in one line what qemu-user's crash reports in the runs' logs are:
# 32-bit processes ending once a case's checks are done (mostly ended by
# the driver with TerminateProcess). Wine ends each of their threads from
# its SIGQUIT handler, and under qemu-user that exit now and then faults in
# Wine's own code (README, test section).
crashes() {
  local count
  count=$(cat "$STATE"/*.log | grep -c 'qemu: uncaught target signal' || true)
  ((count == 0)) || echo "win32: qemu-user's \"uncaught target signal\" ($count in the logs): 32-bit processes" \
    "faulting in Wine's thread exit under qemu-user as they end, after their checks"
}

# Runs the cases of a known emulation fault for a limited time and says
# how they ended.
known_fault() {
  local name=$1
  shift
  if timeout "$KNOWN_FAULT_SECONDS" python3 "$root/tests/fixture/fixture_server.py" -- "$WINE64" "$@" \
    >"$STATE/$name.log" 2>&1; then
    echo "win32: $name ($2) passed: the emulation fault did not show this time"
    return
  fi
  local how
  how=$(grep -m 1 -o 'qemu: uncaught target signal [0-9]*' "$STATE/$name.log" || echo "no end within $KNOWN_FAULT_SECONDS s")
  echo "win32: $name ($2): KNOWN EMULATION FAULT ($how; log: $STATE/$name.log)"
}

# Starts the display, the wineserver and the prefix for this shell's Wine
# programs, and stops them when the shell ends.
start_session() {
  export LD_PRELOAD="$STATE/\$LIB/libmap-noreplace.so"
  "$STATE/wine-session.sh" start
  # Again, now that the session's display is known.
  . "$STATE/wine-env.sh"
  "$root/site/trust_ca.sh" "$STATE/wine-env.sh" "$STATE/wine/tls"
  # A long-lived program in the prefix for the whole run: without one,
  # Wine's desktop process now and then fails to start with the next
  # program.
  setsid sh -c 'sleep infinity | "$0" cmd.exe >/dev/null 2>&1' "$WINE64" </dev/null &
  HOLDER=$!
}

# Stops what this shell started.
cleanup() {
  if [[ -n ${HOLDER:-} ]]; then
    "$STATE/wine-session.sh" stop
    kill -- "-$HOLDER" 2>/dev/null || true
  fi
  if [[ -n ${SITE_STARTED:-} ]]; then
    "$root/site/serve.sh" stop "$STATE/site"
  fi
}
trap cleanup EXIT

# Whether the suite is among CLIPWELL_WIN32_SUITES (all when unset).
wanted() {
  [[ -z ${CLIPWELL_WIN32_SUITES:-} || " $CLIPWELL_WIN32_SUITES " == *" $1 "* ]]
}

# The tests.
run_tests() {
  local mode=$1 build=$2 exe=$3
  local tests=$build/tests failed=0 ui=$UI_CASES e2e=$E2E_CASES japanese=$E2E_JAPANESE_CASES
  if [[ $mode == emulated ]]; then
    e2e=$E2E_CASES:-$E2E_SECOND_GRAB
    japanese=$E2E_JAPANESE_CASES:-$E2E_JAPANESE_SECOND_GRAB
  else
    ui=$UI_CASES:$UI_SECOND_GRAB
  fi
  # This run's logs only: crashes reads them all.
  rm -f "$STATE"/*.log
  # The test programs make their working folders in the current one.
  mkdir -p "$STATE/work"
  cd "$STATE/work"
  export CLIPWELL_EXE=$exe CLIPWELL_SITE=$STATE/site
  export CLIPWELL_MINIMAL_EXE=${CLIPWELL_MINIMAL_EXE:?the 32-bit minimal_dialog.exe}
  ! wanted ui || run_case ui "$tests/ui_tests.exe" "--gtest_filter=$ui" || failed=1
  ! wanted ui_faults || run_case ui_faults "$tests/ui_tests.exe" "--gtest_filter=$UI_FAULT_CASES" || failed=1
  ! wanted e2e || run_case e2e "$tests/e2e_tests.exe" "--gtest_filter=$e2e" || failed=1
  ! wanted e2e_japanese || LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 \
    run_case e2e_japanese "$tests/e2e_tests.exe" "--gtest_filter=$japanese" || failed=1
  if [[ $mode == emulated ]] && wanted second_grab; then
    echo "win32: second grabs in one process, which qemu-user breaks; they do not fail the stage:"
    known_fault e2e_second_grab "$tests/e2e_tests.exe" "--gtest_filter=$E2E_SECOND_GRAB"
    known_fault ui_second_grab "$tests/ui_tests.exe" "--gtest_filter=$UI_SECOND_GRAB"
    LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 \
      known_fault e2e_japanese_second_grab "$tests/e2e_tests.exe" "--gtest_filter=$E2E_JAPANESE_SECOND_GRAB"
  fi
  crashes
  return "$failed"
}

# The 8 MiB grab by both exes in the same session, run after run.
run_bench() {
  local mode=$1 build=$2 exe=$3 runs=$4 bits
  mkdir -p "$STATE/bench"
  cd "$STATE/bench"
  echo "win32_emulated=$([[ $mode == emulated ]] && echo 1 || echo 0)"
  for _ in $(seq "$runs"); do
    for bits in 64 32; do
      [[ $bits == 64 ]] && CLIPWELL_EXE=$build/src/Clipwell.exe || CLIPWELL_EXE=$exe
      CLIPWELL_EXE=$CLIPWELL_EXE timeout 600 python3 "$root/tests/fixture/fixture_server.py" -- \
        "$WINE64" "$build/bench/clipwell_bench.exe" "$(cat "$STATE/site/port")" throughput \
        "http://video.example.com/watch?v=harbour" "Sunset over the harbour.flv" \
        "Z:${STATE//\//\\}\\site\\site\\videos\\harbour.flv" |
        tr -d '\r' | sed -n "s/^clipwell_seconds=/win${bits}_grab_seconds=/p"
    done
  done
}

if [[ ${1:-} == --inside ]]; then
  action=$2
  mode=$(choose_mode)
  [[ $action == probe ]] && { echo "$mode"; exit 0; }
  shift 2
  [[ $mode == "$1" ]] || { echo "win32: 32-bit programs now run '$mode', not '$1'" >&2; exit 1; }
  STATE=$4
  start_session
  "$action" "$1" "$2" "$3" "${@:5}"
  exit
fi

action=run_tests
runs=
if [[ ${1:-} == --bench ]]; then
  action=run_bench
  runs=${2:?runs}
  shift 2
fi
build=$(cd "${1:?win64 build folder}" && pwd)
exe=$(realpath "${2:?released Clipwell.exe}")
[[ -z ${CLIPWELL_MINIMAL_EXE:-} ]] || CLIPWELL_MINIMAL_EXE=$(realpath "$CLIPWELL_MINIMAL_EXE")
STATE=$(mkdir -p "${3:?state folder}" && cd "$3" && pwd)

[[ -x $LOADER32 ]] || skip "there is no 32-bit Wine ($LOADER32, package wine32:i386)"
isolated=true
if ! mode=$(in_namespace probe 2>/dev/null); then
  # No binfmt_misc of the stage's own (it needs Linux 6.7 and user
  # namespaces): only a kernel that runs 32-bit programs itself will do.
  isolated=false
  mode="unable: the kernel runs no 32-bit programs and the stage can have no binfmt_misc of its own"
  "$LOADER32" --version >/dev/null 2>&1 && mode=native
fi
[[ $mode == unable:* ]] && skip "${mode#unable: }"
echo "== win32: the released Clipwell.exe, 32-bit programs run $mode" >&2

build_preload "$STATE"
configure_wine "$STATE"
site_options=(--tests --tls "$STATE/wine/tls")
[[ $mode == emulated ]] && site_options+=(--close)
SITE_STARTED=1
"$root/site/serve.sh" start "$STATE/site" "${site_options[@]}"
status=0
if $isolated; then
  in_namespace "$action" "$mode" "$build" "$exe" "$STATE" $runs || status=$?
else
  start_session
  "$action" "$mode" "$build" "$exe" $runs || status=$?
fi
echo "== win32: $mode, $SECONDS s" >&2
exit "$status"
