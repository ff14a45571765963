#!/usr/bin/env bash
# The MIDI Name Documents the tool writes pass the project's schema of the document type (with xmllint), for
# the factory configuration and for one where every control carries a name of its own; and the schema
# itself refuses what the document type forbids: elements out of order, a name set without its PatchBank, a
# Control without its Number.
set -euo pipefail
tool=${1:?usage: midnam_schema_test.sh QUILLET SCHEMA}
schema=${2:?usage: midnam_schema_test.sh QUILLET SCHEMA}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "midnam schema test: $*" >&2; exit 1; }
valid() { xmllint --noout --nonet --relaxng "$schema" "$1" >"$work/lint.txt" 2>&1; }

"$tool" defaults "$work/factory.qmv49"
# Every item of the file named, with the characters XML must escape and a letter beyond ASCII.
python3 - "$work/factory.qmv49" "$work/named.qmv49" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
n = [0]
def name(m):
    n[0] += 1
    return m.group(1) + ' Name="K&amp;n&lt;ob&gt; &quot;%d&quot; \u00e9"/>' % n[0]
open(sys.argv[2], "w", encoding="utf-8").write(re.sub(r'(<Item [^>]*?)\s*/>', name, text))
PY
for setup in factory named; do
  "$tool" export --format=midnam "$work/$setup.qmv49" "$work/$setup.midnam" 2>/dev/null
  valid "$work/$setup.midnam" || fail "the $setup export does not pass the schema: $(cat "$work/lint.txt")"
done
grep -qE 'K&amp;n&lt;ob&gt; &quot;1&quot; (é|&#233;)"' "$work/named.midnam" || fail "the names did not reach the document"

# What the schema must refuse, each made from the valid document.
mutate() { # name, python expression on the text t
  python3 -c "import sys; t = open(sys.argv[1], encoding='utf-8').read(); open(sys.argv[2], 'w', encoding='utf-8').write($2)" \
    "$work/factory.midnam" "$work/$1.midnam"
  ! valid "$work/$1.midnam" || fail "the schema took a document with $1"
}
mutate "the patch bank before the channels" \
  "t.replace('<AvailableForChannels>', '<PatchBank><PatchNameList/></PatchBank><AvailableForChannels>', 1)"
mutate "no patch bank" \
  "__import__('re').sub(r'<PatchBank[^>]*>\s*<PatchNameList/>\s*</PatchBank>', '', t)"
mutate "a control without its number" "__import__('re').sub(r'(<Control [^>]*?)Number=\"\d+\"', r'\1', t, count=1)"
echo "midnam schema test: both exports pass the schema; it refuses the three faults"
