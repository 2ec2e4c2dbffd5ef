#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs killed with SIGKILL at random moments, as a power cut or the OOM killer would end them:
# every later run of the set still works (what a killed run left never stands in its way,
# also when every run gets the same process id, as a container's job does), every recorded
# run still restores, and an overwrite save whose run was killed while it replaced its copies
# is either restored as the state its listing describes or named as not matching it (status
# 1) — never passed as clean with other bytes.
set -u
bin=${1:?usage: random_kills.sh BINDIR}
[ -x "$bin/qarno-restore" ] && [ -x "$bin/Qarno" ] || { echo "skipped: executables not built"; exit 77; }
work=$(mktemp -d /tmp/qarno-kills.XXXXXX)
[ -n "${QARNO_KILL_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export LANG=C.UTF-8  # the programs' own language, whatever the caller's locale
unset LC_ALL LC_MESSAGES LANGUAGE
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/src" "$work/t/dst"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
printf '#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/k.qrn"
RANDOM=${QARNO_KILL_SEED:-4711}
rounds=${QARNO_KILL_ROUNDS:-12}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); [ -z "${QARNO_KILL_KEEP:-}" ] || { echo "kept: $work"; exit 1; }; }

# Every run in a fresh pid namespace where it is process 1, as in a container — when we may.
same_pid=()
if [ "$(id -u)" = 0 ] && unshare --pid --fork --kill-child true 2>/dev/null; then
  same_pid=(unshare --pid --fork --kill-child)
fi

# A new version of the tree: every file holds the version's number in its first line and has
# a date of its own (minute K of 2020-01-01), so that a restored file's bytes can be checked
# against the date its listing line gives.
version=0
write_version() {
  version=$((version + 1))
  local d f
  for d in 0 1 2 3 4 5; do
    mkdir -p "$work/t/src/d$d"
    for f in 0 1 2 3 4 5 6 7 8 9; do
      { echo "v$version d$d f$f"; head -c $(( (RANDOM % 64) * 1024 )) /dev/zero | tr '\0' x; } > "$work/t/src/d$d/f$f"
      touch -d "$(printf '2020-01-01 00:%02d:00' "$version")" "$work/t/src/d$d/f$f"
    done
  done
}
run() { timeout 120 "${same_pid[@]}" "$bin/Qarno" k /B2 "$1" > "$work/out" 2> "$work/err"; }
# killed LEVEL: one run of the level, killed after a random part of a full run's time.
killed() {
  "${same_pid[@]}" "$bin/Qarno" k /B2 "$1" > /dev/null 2>&1 &
  local pid=$!
  sleep "$(awk -v t="$full" -v r=$RANDOM 'BEGIN { printf "%.3f", t * r / 32767 }')"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

write_version
start=$(date +%s%N)
run /L0 || fail "the first Level-0 run ended with $?"
full=$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { printf "%.3f", ns / 1e9 }')

# 1. Level-0 and Level-1 runs killed, each followed by a run that must go through.
for ((i = 0; i < rounds; i++)); do
  write_version
  level=/L$((RANDOM % 2))
  killed "$level"
  run "$level" || { fail "round $i: the $level run after a killed one ended with $?"; sed 's/^/  err: /' "$work/err"; }
  # (a killed run's own save folder is orphaned data, not searched here)
  left=$(find "$QARNO_HOME/SetDir" "$work/t/dst/k" -maxdepth 1 -name '.qarno-*' | head -3)
  [ -z "$left" ] || fail "round $i: left behind after a whole run: $left"
done
# Every recorded run still restores (the newest one as the tree stands now).
rows=$(($(wc -l < "$QARNO_HOME/SetDir/k.qrl") - 1))
[ "$rows" -ge $((rounds + 1)) ] || fail "the history holds $rows runs, wanted at least $((rounds + 1))"
# (newest first in the history: restored last, the oldest run restored first)
for save in $(cut -d, -f1 "$QARNO_HOME/SetDir/k.qrl" | tail -n +2 | tac); do
  rm -rf "$work/t/r"
  timeout 120 "$bin/qarno-restore" k "$save" --to 'T:\r' > "$work/out" 2> "$work/err" ||
    { fail "restore of $save ended with $?"; sed 's/^/  err: /' "$work/err" | head -5; }
done
diff -r "$work/t/src" "$work/t/r/Drive_T/src" > /dev/null || fail "the newest run does not restore the tree"

# 2. Overwrite runs killed while they replace the copies of Qrn_All.
run /L3 || fail "the first overwrite run ended with $?"
declare -A outcomes=()
for ((i = 0; i < rounds; i++)); do
  write_version
  killed /L3
  rm -rf "$work/t/r"
  timeout 120 "$bin/qarno-restore" k Qrn_All --to 'T:\r' > "$work/out" 2> "$work/err"
  status=$?
  outcomes[$status]=$(( ${outcomes[$status]:-0} + 1 ))
  case $status in
    0)  # Clean: every file holds the version its listing line's date names.
      while IFS=, read -r path _ _ date _; do
        path=${path//\"/}; date=${date//\"/}
        case $path in T:\\src\\d*\\f*) ;; *) continue ;; esac
        rel=${path#T:\\src\\}; rel=${rel//\\//}
        want=$((10#${date:14:2}))
        got=$(head -1 "$work/t/r/Drive_T/src/$rel" | cut -c2- | cut -d' ' -f1)
        [ "$got" = "$want" ] || fail "round $i: $rel restored as clean holds version $got, its listing says $want"
      done < "$work/t/dst/k/Qrn_All.csv" ;;
    1) grep -q '保存時の一覧と一致しません\|復元できませんでした' "$work/out" "$work/err" ||
         fail "round $i: status 1 without naming an entry" ;;
    *) fail "round $i: the restore of a killed overwrite ended with $status"; sed 's/^/  err: /' "$work/err" | head -5 ;;
  esac
done
run /L3 || fail "the overwrite run after the killed ones ended with $?"
rm -rf "$work/t/r"
timeout 120 "$bin/qarno-restore" k Qrn_All --to 'T:\r' > "$work/out" 2> "$work/err" ||
  { fail "the whole overwrite save restores with $?"; grep -v '^qarno-restore: ' "$work/out" | head -5; }
diff -r "$work/t/src" "$work/t/r/Drive_T/src" > /dev/null || fail "the whole overwrite save does not restore the tree"

if [ "$failures" -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "random kills: all passed ($rounds rounds each, ${same_pid[*]:-one namespace}; overwrite restores clean ${outcomes[0]:-0}, named ${outcomes[1]:-0})"
