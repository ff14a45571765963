#!/usr/bin/env bash
# Cuts the editor's embedded font from the system's DejaVu Sans: the regular and bold faces, Latin letters
# and common punctuation only, with their kerning. Embedded, the face spares the toolkit a scan of every
# font installed before the first text is measured, and the small character set keeps its per-glyph kerning
# walk short. The build uses the committed files; run this only to change the character set.
# Needs fonts-dejavu-core and python3-fonttools (Debian's python3).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dejavu=/usr/share/fonts/truetype/dejavu

# Basic Latin, Latin-1 and Latin Extended-A (names a user may type), general punctuation, euro, trade mark.
unicodes="U+0020-007E,U+00A0-017F,U+2010-2027,U+2030-203A,U+20AC,U+2122"

for face in DejaVuSans DejaVuSans-Bold; do
  /usr/bin/python3 -m fontTools.subset "$dejavu/$face.ttf" --unicodes="$unicodes" --legacy-kern \
    --no-hinting --name-IDs='*' --name-languages='*' --layout-features='*' \
    --output-file="$here/$face-Latin.ttf"
  echo "$face-Latin.ttf: $(stat -c %s "$here/$face-Latin.ttf") bytes"
done
