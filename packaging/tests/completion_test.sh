#!/usr/bin/env bash
# Drives bfnolk's bash completion as bash does: COMP_WORDS and COMP_CWORD set, the function
# called, COMPREPLY compared with what a user should be offered.
# usage: completion_test.sh COMPLETION_FILE
set -o pipefail
source "$1" || exit 1
failures=0

# expect "WANTED WORDS" WORD... : the last WORD is the one being completed; @ in a wanted word
# stands for a blank.
expect() {
  local wanted=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _bfnolk
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
  wanted=$(printf '%s\n' $wanted | tr @ ' ' | sort | tr '\n' ' ' | sed 's/ $//')
  if [[ $got != "$wanted" ]]; then
    echo "FAIL: bfnolk completion of [$*]: wanted [$wanted], got [$got]"
    failures=$((failures + 1))
  fi
}

# Commands, also after the global options and their values.
expect "print" bfnolk pr
expect "rebuild reset restore" bfnolk re
expect "verify ver" bfnolk --data-dir /tmp ve
expect "select" bfnolk --now "2026-03-01 12:00:00" --config-dir /tmp sel
expect "--config-dir --data-dir --now --help" bfnolk --
expect "" bfnolk --now ""

# Verbs and kinds.
expect "show reset" bfnolk config ""
expect "add play list show" bfnolk ver ""
expect "plan ver sie" bfnolk export ""
expect "plan sie" bfnolk import ""
expect "ledger journal" bfnolk show ""
expect "huvudbok grundbok kontoplan saldolista resultat balans summagrupper grafiskt" bfnolk print ""
expect "saldolista summagrupper" bfnolk print s
expect "add change delete list print" bfnolk label ""
expect "plus post" bfnolk giro p
expect "add change delete list print" bfnolk giro bank ""
expect "list" bfnolk account li

# Options of the command and its verb; a value is never taken for the verb.
expect "--yes --help" bfnolk init -
expect "--name --ref --sign --opening --budget --help" bfnolk account add 1930 --
expect "--number --name --ref --sign --opening --budget --help" bfnolk account change 1930 -
expect "--text --date --help" bfnolk ver add --text Hyra --
expect "--accounts --to --printer --format --help" bfnolk print huvudbok --
expect "--vers --to --printer --format --help" bfnolk print grundbok --
expect "--to --printer --format --help" bfnolk print summagrupper --
expect "--balance --help" bfnolk import plan x.bfr --
expect "--new --help" bfnolk import sie --
expect "--copies --setting --to --printer --help" bfnolk giro plus print Elverket_ --
expect "--payee --littera --account1 --account2 --number3 --amount --message --sender --help" bfnolk giro post add --
expect "--json --help" bfnolk label list --
expect "--nr --registers --help" bfnolk restore /tmp/kopia --

# Values of options.
expect "+ - =" bfnolk account add 1930 --sign ""
expect "opening closing" bfnolk import plan x.bfr --balance ""
expect "text json" bfnolk print balans --format ""
expect "csv" bfnolk show ledger 1930 --format c
expect "1 10" bfnolk label print --setting 1
expect "" bfnolk ver add --text ""

# File and folder names where a file or folder is taken.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/kopia 2026" "$scratch/kopior"
touch "$scratch/lon.ver" "$scratch/lista.pdf" "$scratch/plan.bfr"
cd "$scratch" || exit 1
expect "lista.pdf lon.ver" bfnolk ver play l
expect "plan.bfr" bfnolk import plan p
expect "plan.bfr" bfnolk export plan --help p
expect "lista.pdf lon.ver" bfnolk print huvudbok --to l
expect "lista.pdf lon.ver" bfnolk label add --picture l
expect "kopia@2026 kopior" bfnolk backup k
expect "kopia@2026 kopior" bfnolk --data-dir k
expect "" bfnolk ver play lon.ver ""

if ((failures)); then
  echo "$failures completion cases failed"
  exit 1
fi
echo "completion cases passed"
