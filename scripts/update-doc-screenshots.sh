#!/usr/bin/env bash
# Refreshes the pictures of the user guide and the README (docs/screenshots/)
# from a build's screenshots target:
#   scripts/update-doc-screenshots.sh <build folder> [--no-render]
# renders <build>/screenshots/*.png (cmake --build <build> --target
# screenshots; --no-render takes the ones already there), then writes the
# chosen ones below into docs/screenshots/, cropped where a part of the
# window says more, and made smaller where a picture would be large: the
# lowest bits of each colour channel are rounded away (the windows' dark
# gradients then compress far better, and the eye does not see the
# difference at 2 bits) and every row is stored with the PNG filter that
# suits it best. Python's standard library only.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 <build folder> [--no-render]" >&2; exit 2; }
build=$1
if [ "${2:-}" != "--no-render" ]; then
  cmake --build "$build" --target screenshots
fi

# name in docs/screenshots | shot of the screenshots target | crop x,y,w,h or - | channel bits rounded away
list=$(cat <<'LIST'
main_buttons_en.png            main_buttons_en.png             -                  2
page_performance_level3_en.png page_performance_level3_en.png  -                  2
slot_menu_shortcuts_en.png     slot_menu_shortcuts_en.png      -                  2
shortcut_dialog_en.png         shortcut_dialog_en.png          -                  0
single_key_dialog_en.png       single_key_dialog_en.png        -                  0
program_chooser_en.png         program_chooser_en.png          -                  0
macro_manager_menu_en.png      macro_manager_menu_en.png       -                  0
page_lighting_free_en.png      page_lighting_free_en.png       -                  2
main_profiles_en.png           main_profiles_en.png            -                  2
profiles_panel_2x.png          main_profiles_en_2x.png         772,164,1440,940   2
main_home_en.png               main_home_en.png                386,82,720,470     2
dialog_restore_en.png          dialog_restore_en.png           -                  0
osd_profile_en.png             osd_profile_en.png              -                  0
LIST
)

mkdir -p "$repo/docs/screenshots"
python3 - "$build/screenshots" "$repo/docs/screenshots" "$list" <<'PY'
import os, struct, sys, zlib

src, dst, table = sys.argv[1], sys.argv[2], sys.argv[3]


def read_png(path):
    if not os.path.exists(path):
        sys.exit(f'{path} is missing: does the build make that window?')
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'{path}: not a PNG file')
    pos, idat, ihdr = 8, b'', None
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        if kind == b'IHDR':
            ihdr = data[pos + 8:pos + 8 + n]
        elif kind == b'IDAT':
            idat += data[pos + 8:pos + 8 + n]
        pos += 12 + n
    w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', ihdr)
    if depth != 8 or ctype not in (2, 6) or interlace:
        sys.exit(f'{path}: only 8-bit RGB or RGBA, not interlaced')
    bpp = 3 if ctype == 2 else 4
    raw, stride = zlib.decompress(idat), w * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(h):
        f, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride) if f else ():
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + ((a + b) >> 1)) & 255
            else:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return w, h, ctype, bpp, rows


def filtered(line, prev, bpp):
    sub = bytes(line[:bpp]) + bytes((line[x] - line[x - bpp]) & 255 for x in range(bpp, len(line)))
    up = bytes((a - b) & 255 for a, b in zip(line, prev))
    paeth = bytearray(len(line))
    for x in range(len(line)):
        a = line[x - bpp] if x >= bpp else 0
        b = prev[x]
        c = prev[x - bpp] if x >= bpp else 0
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        paeth[x] = (line[x] - (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    # The usual choice: the filter whose bytes, read as signed, are smallest.
    cost = lambda f: sum(v if v < 128 else 256 - v for v in f)
    return min(((0, line), (1, sub), (2, up), (4, bytes(paeth))), key=lambda c: cost(c[1]))


def write_png(path, w, h, ctype, bpp, rows):
    out, prev = bytearray(), bytes(w * bpp)
    for line in rows:
        f, data = filtered(line, prev, bpp)
        out.append(f)
        out += data
        prev = line

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, ctype, 0, 0, 0)) +
           chunk(b'IDAT', zlib.compress(bytes(out), 9)) + chunk(b'IEND', b''))
    with open(path + '.part', 'wb') as f:
        f.write(png)
    os.replace(path + '.part', path)


total, kept = 0, set()
for entry in table.split('\n'):
    if not entry.strip():
        continue
    name, shot, crop, bits = entry.split()
    w, h, ctype, bpp, rows = read_png(os.path.join(src, shot))
    if crop != '-':
        x, y, cw, ch = map(int, crop.split(','))
        if x + cw > w or y + ch > h:
            sys.exit(f'{shot}: crop {crop} outside its {w} x {h}')
        rows = [r[x * bpp:(x + cw) * bpp] for r in rows[y:y + ch]]
        w, h = cw, ch
    bits = int(bits)
    if bits:
        # Round each channel to the nearest multiple of 2^bits (alpha too; it is opaque here).
        step = 1 << bits
        table_ = bytes(min((v + step // 2) // step * step, 256 - step) for v in range(256))
        rows = [r.translate(table_) for r in rows]
    write_png(os.path.join(dst, name), w, h, ctype, bpp, rows)
    kept.add(name)
    size = os.path.getsize(os.path.join(dst, name))
    total += size
    print(f'{name:30} {w:5} x {h:<5} {size // 1024:4} KiB')
print(f'{"total":30} {"":13} {total // 1024:4} KiB')
# A picture the list no longer names is no longer in the guide.
for old in sorted(set(os.listdir(dst)) - kept):
    if old.endswith('.png'):
        os.remove(os.path.join(dst, old))
        print(f'removed {old}')
PY
