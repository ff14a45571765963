#!/usr/bin/env bash
# The manual page says what `quillet --help` says: every paragraph of the help (less the usage line and the
# one-line summary of the commands), and every command's own help, usage and text, appear in the rendered
# page; and the page lists the same commands as the help.
set -euo pipefail

tool=${1:?usage: man_page_test.sh QUILLET MANPAGE}
page=${2:?usage: man_page_test.sh QUILLET MANPAGE}
fail() { echo "man page test: $*" >&2; exit 1; }
flat() { tr -s ' \n\t' '   ' | sed 's/^ //; s/ $//'; }

# Plain text on lines long enough not to break, without bold or underlining.
rendered=$(groff -man -Tascii -P-cbou -ww -rLL=5000n "$page" 2>&1) || fail "groff cannot render $page: $rendered"
! grep -q "warning" <<<"$rendered" || fail "groff warns: $(grep warning <<<"$rendered")"
man_text=$(flat <<<"$rendered")
in_page() { [[ "$man_text" == *"$(flat <<<"$1")"* ]]; }

help=$("$tool" --help)
commands=$(awk 'BEGIN { RS = "" } /^Commands:/' <<<"$help" | sed -n 's/^  \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p')
[ "$(wc -w <<<"$commands")" -ge 5 ] || fail "could not find the commands in quillet --help"

checked=0
while IFS= read -r -d $'\x1e' paragraph; do
  case "$paragraph" in Usage:* | Commands:* | "") continue ;; esac
  # A heading line ("Exit codes:") is the page's own section title.
  body=$(sed '1{/:$/d}' <<<"$paragraph")
  in_page "$body" || fail "the page lacks this part of quillet --help: $(flat <<<"$body")"
  checked=$((checked + 1))
done < <(awk 'BEGIN { RS = ""; ORS = "\x1e" } { print }' <<<"$help")
[ "$checked" -ge 3 ] || fail "only $checked paragraphs of the help were compared"

for command in $commands; do
  command_help=$("$tool" "$command" --help)
  usage=$(head -n 1 <<<"$command_help" | sed 's/^Usage: //')
  in_page "$usage" || fail "the page lacks the usage '$usage'"
  in_page "$(tail -n +3 <<<"$command_help")" || fail "the page's text of '$command' differs from its --help"
done

page_commands=$(sed -n '/^\.SH COMMANDS/,/^\.SH /s/^\.B quillet \([a-z]*\).*/\1/p' "$page")
[ "$(sort <<<"$page_commands")" = "$(sort <<<"$commands")" ] ||
  fail "the page lists the commands '$(echo $page_commands)', the help '$(echo $commands)'"
grep -q "^\.TH QUILLET 1 .*\"$("$tool" --version)\"" "$page" || fail "the page is not of $("$tool" --version)"
echo "man page test: $checked paragraphs and $(wc -w <<<"$commands") commands agree"
