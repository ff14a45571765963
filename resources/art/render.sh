#!/usr/bin/env bash
# Re-renders the PNGs in resources/ from the SVG sources in resources/art/.
# The build uses the committed PNGs; run this only after editing an SVG.
# Needs rsvg-convert (Debian: librsvg2-bin), the DejaVu Sans font
# (fonts-dejavu-core) and python3 (for the RGBA rewrite and the checks).
set -euo pipefail

art="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
res="$(dirname "$art")"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "python3 not found" >&2; exit 1; }

# name width height colour-type (6 = RGBA, 2 = RGB) [source, when not name.svg]
# The keyboard picture is fully opaque and is kept as RGB: decoded, it takes a
# quarter less memory and is drawn without blending.
pictures=(
  "keyboard 1063 317 2"
  # Twice the size, for zooms above 100 percent: drawn from these, the picture and the buttons stay sharp.
  "keyboard_2x 2126 634 2 keyboard"
  "default_values_normal 101 29 6"
  "default_values_over 101 29 6"
  "default_values_pressed 101 29 6"
  "send_to_keyboard_normal 117 29 6"
  "send_to_keyboard_over 117 29 6"
  "send_to_keyboard_pressed 117 29 6"
  "default_values_normal_2x 202 58 6 default_values_normal"
  "default_values_over_2x 202 58 6 default_values_over"
  "default_values_pressed_2x 202 58 6 default_values_pressed"
  "send_to_keyboard_normal_2x 234 58 6 send_to_keyboard_normal"
  "send_to_keyboard_over_2x 234 58 6 send_to_keyboard_over"
  "send_to_keyboard_pressed_2x 234 58 6 send_to_keyboard_pressed"
  "icon 256 256 6"
  # The window's own icon, for switchers and title bars; launchers take the 256-pixel one.
  "window_icon 64 64 6 icon"
  # The menu's icon at the theme's usual sizes, which the packages install (256 is icon.png).
  "icons/quillet-editor-16 16 16 6 icon"
  "icons/quillet-editor-24 24 24 6 icon"
  "icons/quillet-editor-32 32 32 6 icon"
  "icons/quillet-editor-48 48 48 6 icon"
  "icons/quillet-editor-64 64 64 6 icon"
  "icons/quillet-editor-128 128 128 6 icon"
)

# rsvg-convert writes a fully opaque picture as RGB: a picture wanted as 8-bit
# RGBA (6) is rewritten with an opaque alpha. One wanted as RGB (2) is rewritten
# with every row unfiltered: the same pixels, a file no larger, and decoded
# nearly three times as fast as with the rows rsvg-convert predicts from their
# neighbours, which is what the first paint of the window waits for.
rewrite_png() {
  python3 - "$1" "$2" <<'PY'
import struct, sys, zlib

path, want = sys.argv[1], int(sys.argv[2])
data = open(path, "rb").read()
pos, chunks = 8, []
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    chunks.append((kind, data[pos + 8:pos + 8 + n]))
    pos += 12 + n
w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
if ctype == 6 and want == 6:
    sys.exit(0)
if (ctype, depth, interlace) != (2, 8, 0):
    sys.exit(f"{path}: unexpected PNG layout (type {ctype}, depth {depth}, interlace {interlace})")

# undo the per-row PNG filters
raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
bpp, stride = 3, w * 3
prev, out, i = bytearray(stride), bytearray(), 0
for _ in range(h):
    ftype, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
    i += 1 + stride
    for x in range(stride):
        a = line[x - bpp] if x >= bpp else 0
        b = prev[x]
        c = prev[x - bpp] if x >= bpp else 0
        if ftype == 1:
            line[x] = (line[x] + a) & 255
        elif ftype == 2:
            line[x] = (line[x] + b) & 255
        elif ftype == 3:
            line[x] = (line[x] + (a + b) // 2) & 255
        elif ftype == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    prev = line
    if want == 2:
        out += b"\x00" + line
        continue
    rgba = bytearray(w * 4)
    rgba[0::4], rgba[1::4], rgba[2::4] = line[0::3], line[1::3], line[2::3]
    rgba[3::4] = b"\xff" * w
    out += b"\x00" + rgba

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

ihdr = struct.pack(">IIBBBBB", w, h, 8, want, 0, 0, 0)
with open(path, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(out), 9)) + chunk(b"IEND", b""))
PY
}

# Prints width, height, bit depth and colour type from the PNG header.
png_header() {
  python3 - "$1" <<'PY'
import struct, sys
with open(sys.argv[1], "rb") as f:
    head = f.read(26)
assert head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
w, h, depth, ctype = struct.unpack(">IIBB", head[16:26])
print(w, h, depth, ctype)
PY
}

status=0
for entry in "${pictures[@]}"; do
  read -r name w h want source <<<"$entry"
  rsvg-convert --width "$w" --height "$h" --format png \
    -o "$res/$name.png" "$art/${source:-$name}.svg"
  rewrite_png "$res/$name.png" "$want"
  read -r gw gh depth ctype < <(png_header "$res/$name.png")
  if [[ "$gw" != "$w" || "$gh" != "$h" || "$depth" != 8 || "$ctype" != "$want" ]]; then
    echo "FAIL $name.png: ${gw}x${gh}, depth $depth, colour type $ctype (want ${w}x${h}, 8-bit, type $want)" >&2
    status=1
  else
    echo "ok   $name.png ${gw}x${gh} colour type $ctype"
  fi
done
exit $status
