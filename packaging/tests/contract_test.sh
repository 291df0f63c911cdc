#!/usr/bin/env bash
# The programs' own help is the contract: every command, verb, report and option that
# `bfnolk --help` lists must be in bfnolk(1) and offered by the bash completion, and every
# command of `isamtool --help` must be in isamtool(1), so that none of them can drift apart.
# usage: contract_test.sh BFNOLK ISAMTOOL PACKAGING_SOURCE_DIR
bfnolk=$1 isamtool=$2 packaging=$3
source "$packaging/completion/bfnolk" || exit 1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The tag lines of a man page (the line after each .TP), fonts and escapes taken out.
tag_lines() {
  awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' "$1" |
    sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\(dq//g' -e 's/"//g' -e 's/^\.[BIR]*  *//'
}

# What the completion offers for the words given (the last one being completed).
completed() {
  COMP_WORDS=(bfnolk "$@")
  COMP_CWORD=${#COMP_WORDS[@]}
  COMP_CWORD=$((COMP_CWORD - 1))
  COMPREPLY=()
  _bfnolk
  printf '%s\n' "${COMPREPLY[@]}"
}

offers() {  # offers WORD WORDS...: WORD is among the completion of WORDS
  local word=$1 offered
  shift
  COMP_WORDS=(bfnolk "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _bfnolk
  for offered in "${COMPREPLY[@]}"; do
    [[ $offered == "$word" ]] && return 0
  done
  return 1
}

help=$("$bfnolk" --help) || { fail "bfnolk --help failed"; exit 1; }
[[ -n $help ]] || { fail "bfnolk --help printed nothing"; exit 1; }
man_tags=$(tag_lines "$packaging/man/bfnolk.1")
commands=() reports=()
declare -A subs_of options_of

# Each line of the commands (up to the examples) belongs to the command of the last command
# line, and to the verbs of the part of that line it follows; "a | b" starts a new part when
# b begins with the command again.
command="" subs=""
while IFS= read -r line; do
  [[ $line == exempel:* ]] && break
  if [[ $line =~ ^\ \ ([a-z]+)(\ |$) ]]; then
    command=${BASH_REMATCH[1]}
    [[ " ${commands[*]} " == *" $command "* ]] || commands+=("$command")
    parts=()
    rest=$line
    while [[ $rest == *" | "* ]]; do
      parts+=("${rest%% | *}")
      rest=${rest#* | }
    done
    parts+=("$rest")
  elif [[ $line =~ ^\ \ -- ]]; then
    command=global subs="" parts=("$line")
  else
    parts=("$line")
  fi
  for part in "${parts[@]}"; do
    # The syntax ends where two blanks set off the description.
    syntax=${part#"${part%%[! ]*}"}
    read -ra words <<<"${syntax%%  *}"
    if [[ ${words[0]} == "$command" ]]; then
      subs=""
      next=${words[1]}
      [[ $command == giro && $next == SORT ]] && next=${words[2]}
      for piece in ${next//|/ }; do
        [[ $piece =~ ^[a-z]+$ ]] && subs+=" $piece"
      done
      for word in "${words[@]}"; do
        [[ $word =~ ^[A-Z]+\|([a-z]+)$ ]] && subs+=" ${BASH_REMATCH[1]}"
      done
      subs_of[$command]+="$subs"
    fi
    for option in $(grep -oE -- '--[a-z0-9-]*[a-z0-9]' <<<"$part"); do
      options_of[$command]+=" $option"
      # The options of a verb are offered after that verb; the others after any.
      if [[ $command == global ]]; then
        offers "$option" -- || fail "completion does not offer the global option $option"
      elif [[ -n $subs ]]; then
        for sub in $subs; do
          if [[ $command == giro ]]; then offers "$option" giro plus "$sub" --
          else offers "$option" "$command" "$sub" --; fi || fail "completion of '$command $sub' does not offer $option"
        done
      fi
    done
  done
done < <(sed -n '/^kommandon:/,$p' <<<"$help")

# Reports and giro kinds as the help names them.
flat=$(tr -s ' \n' ' ' <<<"$help")
reports_text=${flat#*RAPPORT: }
reports_text=${reports_text%%;*}
IFS=', ' read -ra reports <<<"$reports_text"
kinds_text=${flat#*SORT }
kinds_text=${kinds_text#*; SORT }
kinds_text=${kinds_text%% (*}
IFS=', ' read -ra kinds <<<"$kinds_text"
((${#commands[@]} >= 20)) || fail "only ${#commands[@]} commands read from bfnolk --help: ${commands[*]}"
((${#reports[@]} >= 8)) || fail "the reports were not read from bfnolk --help: ${reports[*]}"
((${#kinds[@]} >= 3)) || fail "the giro kinds were not read from bfnolk --help: ${kinds[*]}"

# The completion offers exactly the commands of the help.
wanted=$(printf '%s\n' "${commands[@]}" | sort)
got=$(completed "" | sort)
[[ $wanted == "$got" ]] || fail "completion commands [$(echo $got)] are not the help's [$(echo $wanted)]"

for command in "${commands[@]}"; do
  grep -qE "^$command( |$)" <<<"$man_tags" || fail "bfnolk(1) has no entry for the command $command"
  for sub in ${subs_of[$command]}; do
    grep -qE "^$command( SORT)? .*\\b$sub\\b" <<<"$man_tags" || fail "bfnolk(1) has no entry for '$command $sub'"
    if [[ $command == giro ]]; then offers "$sub" giro plus ""
    else offers "$sub" "$command" ""; fi || fail "completion of '$command' does not offer $sub"
  done
  # An option of the command without a verb: offered after one of its verbs or reports.
  for option in $(tr ' ' '\n' <<<"${options_of[$command]}" | sort -u); do
    grep -qE -- "(^| |\\[|\\|)$option( |\\]|$|=)" <<<"$man_tags" || fail "bfnolk(1) does not name $option ($command)"
    found=0
    for sub in "" ${subs_of[$command]} ${reports[@]}; do
      [[ $command != print && " ${reports[*]} " == *" $sub "* ]] && continue
      if [[ $command == giro ]]; then offers "$option" giro plus $sub -- && found=1
      else offers "$option" "$command" $sub -- && found=1; fi
    done
    ((found)) || fail "completion of '$command' never offers $option"
  done
done
for option in ${options_of[global]}; do
  grep -qE -- "^$option( |$)" <<<"$man_tags" || fail "bfnolk(1) has no entry for the global option $option"
done
for report in "${reports[@]}"; do
  grep -qxF "$report" <<<"$man_tags" || fail "bfnolk(1) has no entry for the report $report"
  offers "$report" print "" || fail "completion of 'print' does not offer $report"
done
for kind in "${kinds[@]}"; do
  grep -qw -- "$kind" "$packaging/man/bfnolk.1" || fail "bfnolk(1) does not name the giro kind $kind"
  offers "$kind" giro "" || fail "completion of 'giro' does not offer $kind"
done

# isamtool: its commands, their options and the commands of a script.
isam_help=$("$isamtool" --help) || { fail "isamtool --help failed"; exit 1; }
isam_tags=$(tag_lines "$packaging/man/isamtool.1")
isam_commands=$(grep -oE 'isamtool [a-z]+' <<<"$isam_help" | cut -d' ' -f2 | sort -u)
script_commands=$(sed -n '/^Commands of a script/,$p' <<<"$isam_help" |
  grep -oE '(^  |\| )[a-z]+' | grep -oE '[a-z]+' | sort -u)
(($(wc -w <<<"$isam_commands") >= 5)) || fail "the isamtool commands were not read: $isam_commands"
(($(wc -w <<<"$script_commands") >= 18)) || fail "the script commands were not read: $script_commands"
for command in $isam_commands $script_commands; do
  grep -qE "^$command( |$)" <<<"$isam_tags" || fail "isamtool(1) has no entry for $command"
done
for option in $(grep -oE -- '--[a-z]+' <<<"$isam_help" | sort -u); do
  grep -qE -- "(^| |\\[)$option( |\\]|$)" <<<"$isam_tags" || fail "isamtool(1) does not name $option"
done

if ((failures)); then
  echo "$failures differences between the help, the man pages and the completion"
  exit 1
fi
echo "bfnolk: ${#commands[@]} commands, ${#reports[@]} reports agree; isamtool:" \
  "$(wc -w <<<"$isam_commands") commands and $(wc -w <<<"$script_commands") script commands agree"
