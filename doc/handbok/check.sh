#!/usr/bin/env bash
# Checks the handbook so that it cannot rot unseen:
#   - every page is HTML that xmllint reads without a complaint;
#   - every link and picture points at a file of the handbook (and an id in it) that exists,
#     and nothing points off the machine;
#   - every bfnolk or isamtool command line it shows (in <code> and on the lines of <pre>)
#     names a command the program's --help lists, with words and options that command's
#     --help knows.
#
#   doc/handbok/check.sh HANDBOOKDIR BINDIR
# Prints each fault on a line of its own and exits 1 when there is one.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 HANDBOOKDIR BINDIR" >&2; exit 2; }
dir=$1
bin=$2
faults=0
fault() { echo "$*"; faults=$((faults + 1)); }

command -v xmllint >/dev/null || { echo "check: xmllint is missing (Debian: libxml2-utils)" >&2; exit 2; }

# The values of one attribute over a page, one a line.
attribute_values() {
  xmllint --html --xpath "//@$2" "$1" 2>/dev/null | sed -n "s/^ *$2=\"\([^\"]*\)\"$/\1/p" || true
}

# Text of the given elements, one line of the page's text a line, entities read.
element_lines() {
  xmllint --html --xpath "//$2" "$1" 2>/dev/null |
    sed -e 's/<[^>]*>/\n/g' -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e "s/&apos;/'/g" -e 's/&amp;/\&/g' || true
}

# A program's --help into $got, asked once for each program and command.
declare -A helps
got=""
help_of() {
  local key="$*"
  [ -n "${helps[$key]+set}" ] || helps[$key]=$("$bin/$1" "${@:2}" --help 2>&1 || true)
  got=${helps[$key]}
}

declare -A ids  # the ids of each page, read once

pages=("$dir"/*.html)
[ -e "${pages[0]}" ] || { fault "no page in $dir"; exit 1; }

for page in "${pages[@]}"; do
  name=$(basename "$page")
  complaints=$(xmllint --html --noout "$page" 2>&1) || true
  [ -z "$complaints" ] || fault "$name: not clean HTML: $complaints"

  while IFS= read -r target; do
    [ -n "$target" ] || continue
    case $target in
      *:*) fault "$name: link off the machine: $target"; continue ;;
    esac
    file=${target%%#*}
    anchor=""
    [[ $target == *"#"* ]] && anchor=${target#*#}
    [ -n "$file" ] || file=$name
    if [ ! -f "$dir/$file" ]; then
      fault "$name: no file $file (from $target)"
      continue
    fi
    [ -n "${ids[$file]+set}" ] || ids[$file]=$(attribute_values "$dir/$file" id)
    if [ -n "$anchor" ] && ! grep -qxF -- "$anchor" <<<"${ids[$file]}"; then
      fault "$name: no id \"$anchor\" in $file"
    fi
  done < <(attribute_values "$page" href; attribute_values "$page" src)

  while IFS= read -r line; do
    read -r -a words <<<"$line"
    program=${words[0]:-}
    case $program in bfnolk | isamtool) ;; *) continue ;; esac
    [ -x "$bin/$program" ] || { fault "check: no program $bin/$program"; continue; }
    help_of "$program"
    overview=$got
    i=1
    # bfnolk's own options come before the command.
    while [ $i -lt ${#words[@]} ] && [[ ${words[$i]} == --* ]]; do
      option=${words[$i]}
      [ "$option" = --help ] || [[ $overview == *"$option"* ]] || fault "$name: $program has no option $option: $line"
      case $option in --config-dir | --data-dir | --now) i=$((i + 2)) ;; *) i=$((i + 1)) ;; esac
      # A quoted value of several words.
      while [ $i -le ${#words[@]} ] && [[ ${words[$((i - 1))]} == [\"\']* ]] && [[ ${words[$((i - 1))]} != *[\"\'] ]]; do
        i=$((i + 1))
      done
    done
    [ $i -lt ${#words[@]} ] || continue
    command=${words[$i]}
    [[ $command =~ ^[a-z]+$ ]] || continue  # a placeholder such as KOMMANDO
    # bfnolk lists its commands indented by two blanks, isamtool after its own name.
    if ! grep -qE "^(  |.*$program )$command( |$)" <<<"$overview"; then
      fault "$name: $program has no command $command: $line"
      continue
    fi
    help=$overview
    if [ "$program" != isamtool ]; then
      help_of "$program" "$command"
      help=$got
    fi
    verb=${words[$((i + 1))]:-}
    if [[ $verb =~ ^[a-z]+$ ]] && ! [[ $help =~ (^|[^[:alnum:]_])$verb([^[:alnum:]_]|$) ]]; then
      fault "$name: $program $command knows no $verb: $line"
    fi
    for word in "${words[@]:$((i + 1))}"; do
      [[ $word == --* ]] || continue
      [[ $help == *"$word"* ]] || fault "$name: $program $command has no option $word: $line"
    done
  done < <(element_lines "$page" code; element_lines "$page" pre)
done

[ $faults -eq 0 ] || exit 1
echo "handbook: ${#pages[@]} page(s) checked"
