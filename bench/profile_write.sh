#!/bin/bash
# Measures one profile write as a whole process: `winprofile set` changing one key in a 1 KB and
# in a 1 MB ini file, against `git config --file` changing one key in a git config file of the
# same size, and how much of winprofile's time is the flush to disk (fsync).
#
#   bench/profile_write.sh [WINPROFILE]
#
# WINPROFILE defaults to build/winprofile. RUNS (default 200) sets the runs per case; BENCH_DIR
# the folder for the files (default: a new folder in $TMPDIR or /tmp), so that the disk under test
# can be chosen: the fsync figures mean nothing on a memory file system.
#
# Times are per run, in microseconds, taken with bash's EPOCHREALTIME around each run (no extra
# process); they include starting the process, as a launcher script would pay. A run of /bin/true
# shows what starting any process costs here. Each run writes a different value than the one
# before, since winprofile leaves a file alone when the value is already there.
#
# The fsync share comes from strace, with a seccomp filter so that only the flush calls stop the
# process (the others run at full speed): the wall time spent inside fsync/fdatasync per run,
# divided by the untraced time per run. No build flag or environment switch is needed.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
WINPROFILE=${1:-$ROOT/build/winprofile}
RUNS=${RUNS:-200}
TRACED_RUNS=${TRACED_RUNS:-50}

fail() { echo "profile_write.sh: $*" >&2; exit 1; }
[ -x "$WINPROFILE" ] || fail "no winprofile at $WINPROFILE (build it first, or pass one)"
command -v git >/dev/null || fail "needs git"

WORK=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/profile-bench.XXXXXX") || fail "cannot make a folder"
trap 'rm -rf "$WORK"' EXIT

now_us() { local T=${EPOCHREALTIME/[.,]/}; echo "$T"; }

# Writes an ini file of about SIZE bytes: other programs' sections, then the menu's.
make_ini() {
  local FILE=$1 SIZE=$2 N=0
  : >"$FILE"
  {
    while :; do
      printf '[Program%d]\r\nPath=C:\\Games\\Program%d\\run.exe\r\nVolume=%d\r\n\r\n' "$N" "$N" "$N"
      N=$((N + 1))
      [ $((N * 60)) -ge "$SIZE" ] && break
    done
    printf '[Dustrover97]\r\nAction=0\r\nSoundSwitch=1\r\n'
  } >"$FILE"
}

# The same for git: other sections, then one holding the key.
make_git_config() {
  local FILE=$1 SIZE=$2 N=0
  {
    while :; do
      printf '[program%d]\n\tpath = /games/program%d/run\n\tvolume = %d\n' "$N" "$N" "$N"
      N=$((N + 1))
      [ $((N * 55)) -ge "$SIZE" ] && break
    done
    printf '[dustrover97]\n\taction = 0\n\tsoundswitch = 1\n'
  } >"$FILE"
}

# Runs "$@ VALUE" RUNS times with changing values; prints "median mean" in microseconds.
time_runs() {
  local I START END TIMES=()
  for ((I = 0; I < RUNS; I++)); do
    START=$(now_us)
    "$@" $((I % 7 + 1)) >/dev/null || fail "failed: $* $((I % 7 + 1))"
    END=$(now_us)
    TIMES+=($((END - START)))
  done
  printf '%s\n' "${TIMES[@]}" | sort -n | awk '{ v[NR] = $1; s += $1 } END { printf "%d %d\n", v[int((NR + 1) / 2)], s / NR }'
}

# Seconds spent in flush calls over TRACED_RUNS runs of "$@ VALUE", as strace counts them.
fsync_seconds() {
  local TRACE=$WORK/strace.txt
  strace -f -w -c --seccomp-bpf -e trace=fsync,fdatasync,syncfs,sync -o "$TRACE" \
    bash -c 'for ((I = 0; I < '"$TRACED_RUNS"'; I++)); do "$@" $((I % 7 + 1)) >/dev/null || exit 1; done' \
    bench "$@" || fail "traced runs failed: $*"
  awk '$NF == "total" { print $2; found = 1 } END { if (!found) print 0 }' "$TRACE"
}

echo "winprofile: $WINPROFILE"
echo "git: $(git --version)"
echo "files in: $WORK ($(stat -f -c %T "$WORK") file system)"
echo "runs per case: $RUNS (fsync share from $TRACED_RUNS traced runs)"
read -r TRUE_MEDIAN TRUE_MEAN < <(RUNS=$RUNS time_runs /bin/true)
echo "starting a process (/bin/true): median $TRUE_MEDIAN us, mean $TRUE_MEAN us"
echo
printf '%-20s %-26s %-26s %-14s %-12s\n' "size" "winprofile set (med/mean)" "git config (med/mean)" "fsync/run" "fsync share"

for SIZE in 1024 1048576; do
  LABEL=$([ "$SIZE" -eq 1024 ] && echo "1 KB" || echo "1 MB")
  export XDG_CONFIG_HOME=$WORK/config-$SIZE
  mkdir -p "$XDG_CONFIG_HOME"
  make_ini "$XDG_CONFIG_HOME/win.ini" "$SIZE"
  make_git_config "$WORK/git-$SIZE.config" "$SIZE"

  read -r OUR_MEDIAN OUR_MEAN < <(time_runs "$WINPROFILE" set Dustrover97 Action)
  read -r GIT_MEDIAN GIT_MEAN < <(time_runs git config --file "$WORK/git-$SIZE.config" dustrover97.action)

  # Both really wrote: the last value reads back.
  LAST=$(((RUNS - 1) % 7 + 1))
  [ "$("$WINPROFILE" get Dustrover97 Action x)" = "$LAST" ] || fail "winprofile did not write"
  [ "$(git config --file "$WORK/git-$SIZE.config" dustrover97.action)" = "$LAST" ] || fail "git did not write"

  OUR_FSYNC=$(fsync_seconds "$WINPROFILE" set Dustrover97 Action)
  GIT_FSYNC=$(fsync_seconds git config --file "$WORK/git-$SIZE.config" dustrover97.action)
  OUR_FSYNC_US=$(awk -v s="$OUR_FSYNC" -v n="$TRACED_RUNS" 'BEGIN { printf "%d", s * 1e6 / n }')
  GIT_FSYNC_US=$(awk -v s="$GIT_FSYNC" -v n="$TRACED_RUNS" 'BEGIN { printf "%d", s * 1e6 / n }')
  SHARE=$(awk -v f="$OUR_FSYNC_US" -v t="$OUR_MEAN" 'BEGIN { printf "%.0f%%", 100 * f / t }')
  printf '%-20s %-26s %-26s %-14s %-12s\n' "$LABEL ($(stat -c %s "$XDG_CONFIG_HOME/win.ini")B)" \
    "$OUR_MEDIAN / $OUR_MEAN us" "$GIT_MEDIAN / $GIT_MEAN us" "$OUR_FSYNC_US us" "$SHARE"
  printf '%-20s %-26s %-26s %-14s\n' "" "" "(git: $(stat -c %s "$WORK/git-$SIZE.config")B)" "git: $GIT_FSYNC_US us"
done
