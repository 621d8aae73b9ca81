#!/usr/bin/env bash
# Times two loops of a million rounds in quintera, bash and Tcl 8.6:
#   counted:  repete i 1000000 / soma s i / fim repete
#   label:    @volta / soma $n 1 / se $n < 1000000 desvia @volta
# and prints the times and how quintera compares (aim: at least 10 times
# faster than bash, within 2 times of Tcl).
#
#   bench/loop_compare.sh [QUINTERA_BINARY]
#
# Without an argument it builds build/bin/quintera with scripts/build.
# Times are CPU seconds (user + system), so that other work on the machine
# disturbs them less than wall time would: the mean of RUNS runs (default 3)
# with hyperfine when it is installed, otherwise the best of RUNS runs timed
# with bash's own clock.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-3}"
rounds=1000000

if [ "$#" -ge 1 ]; then
  quintera="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
else
  "$here/scripts/build" >/dev/null
  quintera="$here/build/bin/quintera"
fi
command -v tclsh >/dev/null || { echo "loop_compare: tclsh is missing (scripts/install-deps)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The same two loops in each language, each printing its counter so that the
# three can be checked against one another (quintera's sum is 32-bit and
# wraps, bash's and Tcl's is not, so the counter is what they share).
cat >"$work/counted.q" <<Q
seja s 0
repete i $rounds
  soma s i
fim repete
escreve i
termina mudo
Q
cat >"$work/label.q" <<Q
seja \$n 0
@volta
soma \$n 1
se \$n < $rounds desvia @volta
escreve \$n
termina mudo
Q
cat >"$work/counted.sh" <<SH
s=0
for ((i = 1; i <= $rounds; i++)); do s=\$((s + i)); done
echo \$i
SH
cat >"$work/label.sh" <<SH
n=0
while :; do
  n=\$((n + 1))
  if ((n < $rounds)); then continue; fi
  break
done
echo \$n
SH
cat >"$work/counted.tcl" <<TCL
set s 0
for {set i 1} {\$i <= $rounds} {incr i} { incr s \$i }
puts \$i
TCL
cat >"$work/label.tcl" <<TCL
set n 0
while 1 {
  incr n
  if {\$n < $rounds} continue
  break
}
puts \$n
TCL
# Tcl compiles a procedure's body with its variables in slots: its fastest
# form, shown beside the script form that matches ours.
for loop in counted label; do
  { echo "proc main {} {"; cat "$work/$loop.tcl"; echo "}"; echo main; } >"$work/${loop}_proc.tcl"
done

export MORVENTA_CONSOLE=plain MORVENTA_AUDIO=null
unset MORVENTA_TRANSCRIPT

# CPU seconds of the best run of a command line.
measure() {
  local best="" t
  if command -v hyperfine >/dev/null; then
    hyperfine --runs "$runs" --style none --export-json "$work/h.json" "$*" </dev/null >/dev/null
    # Mean user + system time over the runs.
    best=$(tr -d ' \n' <"$work/h.json" | sed -E 's/.*"user":([0-9.eE+-]+),"system":([0-9.eE+-]+).*/\1 \2/' |
      awk '{printf "%.3f", $1 + $2}')
    echo "$best"
    return
  fi
  for ((r = 0; r < runs; r++)); do
    t=$( { TIMEFORMAT='%U %S'; time "$@" </dev/null >/dev/null 2>&1; } 2>&1 | awk '{printf "%.3f", $1 + $2}')
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$t"; fi
  done
  echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "-" }'; }

for loop in counted label; do
  # The three must agree before their times mean anything.
  q_out=$("$quintera" "$work/$loop.q" </dev/null | tr -d '\r\n')
  b_out=$(bash "$work/$loop.sh")
  t_out=$(tclsh "$work/$loop.tcl")
  if [ "$q_out" != "$b_out" ] || [ "$q_out" != "$t_out" ]; then
    echo "loop_compare: $loop results differ: quintera $q_out, bash $b_out, tcl $t_out" >&2
    exit 1
  fi
  q=$(measure "$quintera" "$work/$loop.q")
  b=$(measure bash "$work/$loop.sh")
  t=$(measure tclsh "$work/$loop.tcl")
  tp=$(measure tclsh "$work/${loop}_proc.tcl")
  printf '%-8s quintera %6ss  bash %6ss  tclsh %6ss (in a proc %6ss)  bash/quintera %5s  quintera/tclsh %4s (in a proc %4s)\n' \
    "$loop" "$q" "$b" "$t" "$tp" "$(ratio "$b" "$q")" "$(ratio "$q" "$t")" "$(ratio "$q" "$tp")"
done
