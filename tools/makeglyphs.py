#!/usr/bin/env python3
"""Writes core/module/glyphtable.cpp: the simulated module's character patterns.

The dots come from the misc-fixed 5x7 and 5x8 bitmap fonts of Debian's
xfonts-base package, which are in the public domain ("Public domain font.
Share and enjoy."). The generated table is committed; neither the build nor the
program needs the fonts. To make it again:

    apt-get install xfonts-base pcf2bdf
    for s in 5x7 5x8; do
        zcat /usr/share/fonts/X11/misc/$s.pcf.gz > /tmp/$s.pcf
        pcf2bdf /tmp/$s.pcf > /tmp/$s.bdf
    done
    tools/makeglyphs.py /tmp/5x7.bdf /tmp/5x8.bdf > core/module/glyphtable.cpp

The half-width katakana of the Katakana code type are not in those fonts; they
are drawn below, dot by dot, for this project, and so is the won sign.
"""

import sys

# Character code types the module offers (1B 74 n) and the code page of each.
# None stands for a table made here (Katakana, the empty User Table).
CODE_TYPES = [
    (0, "cp437"),
    (1, None),  # Katakana: ASCII plus JIS X 0201 half-width katakana
    (2, "cp850"),
    (3, "cp860"),
    (4, "cp863"),
    (5, "cp865"),
    (16, "cp1252"),
    (17, "cp866"),
    (18, "cp852"),
    (19, "cp858"),
    (255, None),  # User Table: nothing loaded, so only ASCII shows
]

# The national characters of the international font sets (1B 52 n), for the
# codes 23 24 40 5B 5C 5D 5E 60 7B 7C 7D 7E.
INTERNATIONAL_CODES = [0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E]
INTERNATIONAL_SETS = [
    "#$@[\\]^`{|}~",  # 0 America
    "#$à°ç§^`éùè¨",  # 1 France
    "#$§ÄÖÜ^`äöüß",  # 2 Germany
    "£$@[\\]^`{|}~",  # 3 England
    "#$@ÆØÅ^`æøå~",  # 4 Denmark 1
    "#¤ÉÄÖÅÜéäöåü",  # 5 Sweden
    "#$@°\\é^ùàòèì",  # 6 Italy
    "₧$@¡Ñ¿^`¨ñ}~",  # 7 Spain 1
    "#$@[¥]^`{|}~",  # 8 Japan
    "#¤ÉÆØÅÜéæøåü",  # 9 Norway
    "#$ÉÆØÅÜéæøåü",  # 10 Denmark 2
    "#$á¡Ñ¿é`íñóú",  # 11 Spain 2
    "#$á¡Ñ¿éüíñóú",  # 12 Latin America
    "#$@[₩]^`{|}~",  # 13 Korea
]

# JIS X 0201 half-width katakana, codes A1 to DF: 7 rows of 5 dots each, top first.
KATAKANA = [
    ".....  .....  .....  .....  ###..  #.#..  ###..",  # A1 ideographic full stop
    ".###.  .#...  .#...  .#...  .....  .....  .....",  # A2 opening bracket
    ".....  .....  .....  ...#.  ...#.  ...#.  .###.",  # A3 closing bracket
    ".....  .....  .....  .....  #....  .#...  ..#..",  # A4 comma
    ".....  .....  .....  .##..  .##..  .....  .....",  # A5 middle dot
    "#####  ....#  #####  ....#  ...#.  ..#..  .#...",  # A6 wo
    ".....  .....  #####  ....#  ..##.  ..#..  .#...",  # A7 small a
    ".....  .....  ...#.  ..#..  .##..  #.#..  ..#..",  # A8 small i
    ".....  .....  ..#..  #####  #...#  ...#.  ..#..",  # A9 small u
    ".....  .....  .....  #####  ..#..  ..#..  #####",  # AA small e
    ".....  .....  ...#.  #####  ..##.  .#.#.  #..#.",  # AB small o
    ".....  .....  .#...  #####  .#..#  .#.#.  .#...",  # AC small ya
    ".....  .....  .....  .###.  ...#.  ...#.  #####",  # AD small yu
    ".....  .....  ####.  ...#.  ####.  ...#.  ####.",  # AE small yo
    ".....  .....  .....  #.#.#  #.#.#  ....#  ..##.",  # AF small tsu
    ".....  .....  .....  #####  .....  .....  .....",  # B0 long vowel mark
    "#####  ....#  ..#.#  ..##.  ..#..  ..#..  .#...",  # B1 a
    "....#  ...#.  ..#..  .##..  #.#..  ..#..  ..#..",  # B2 i
    "..#..  #####  #...#  #...#  ....#  ...#.  ..#..",  # B3 u
    ".....  #####  ..#..  ..#..  ..#..  ..#..  #####",  # B4 e
    "...#.  #####  ...#.  ..##.  .#.#.  #..#.  ...#.",  # B5 o
    ".#...  #####  .#..#  .#..#  .#..#  .#..#  #..#.",  # B6 ka
    "..#..  #####  ..#..  #####  ..#..  ..#..  ..#..",  # B7 ki
    ".....  .####  .#..#  #...#  ....#  ...#.  .##..",  # B8 ku
    ".#...  .####  #..#.  ...#.  ...#.  ...#.  ..#..",  # B9 ke
    ".....  #####  ....#  ....#  ....#  ....#  #####",  # BA ko
    ".#.#.  #####  .#.#.  .#.#.  ...#.  ..#..  .#...",  # BB sa
    ".....  ##...  ....#  ##..#  ....#  ...#.  ###..",  # BC shi
    ".....  #####  ....#  ...#.  ..#..  .#.#.  #...#",  # BD su
    ".#...  #####  .#..#  .#.#.  .#...  .#...  ..###",  # BE se
    ".....  #...#  #...#  .#..#  ....#  ...#.  .##..",  # BF so
    ".....  .####  .#..#  #.###  ....#  ...#.  .##..",  # C0 ta
    "...#.  ###..  ..#..  #####  ..#..  ..#..  .#...",  # C1 chi
    ".....  #.#.#  #.#.#  #.#.#  ....#  ...#.  ..#..",  # C2 tsu
    ".###.  .....  #####  ..#..  ..#..  ..#..  .#...",  # C3 te
    ".#...  .#...  .#...  .##..  .#.#.  .#...  .#...",  # C4 to
    "..#..  ..#..  #####  ..#..  ..#..  .#...  #....",  # C5 na
    ".....  .###.  .....  .....  .....  .....  #####",  # C6 ni
    ".....  #####  ....#  .#.#.  ..#..  .#.#.  #....",  # C7 nu
    "..#..  #####  ...#.  ..#..  .###.  #.#.#  ..#..",  # C8 ne
    "....#  ....#  ....#  ...#.  ..#..  .#...  #....",  # C9 no
    ".....  ..#..  ...#.  #...#  #...#  #...#  #...#",  # CA ha
    "#....  #....  #####  #....  #....  #....  .####",  # CB hi
    ".....  #####  ....#  ....#  ....#  ...#.  .##..",  # CC fu
    ".....  .....  .#...  #.#..  ...#.  ....#  .....",  # CD he
    "..#..  #####  ..#..  ..#..  #.#.#  #.#.#  ..#..",  # CE ho
    ".....  #####  ....#  ....#  .#.#.  ..#..  ...#.",  # CF ma
    ".....  .###.  .....  .###.  .....  .###.  ....#",  # D0 mi
    ".....  ..#..  .#...  #....  #...#  #####  ....#",  # D1 mu
    ".....  ....#  ....#  .#.#.  ..#..  .#.#.  #....",  # D2 me
    ".....  #####  .#...  #####  .#...  .#...  ..###",  # D3 mo
    ".#...  .#...  #####  .#..#  .#.#.  .#...  .#...",  # D4 ya
    ".....  .###.  ...#.  ...#.  ...#.  ...#.  #####",  # D5 yu
    ".....  #####  ....#  #####  ....#  ....#  #####",  # D6 yo
    ".###.  .....  #####  ....#  ....#  ...#.  ..#..",  # D7 ra
    "#..#.  #..#.  #..#.  #..#.  ...#.  ..#..  .#...",  # D8 ri
    ".....  ..#..  #.#..  #.#..  #.#.#  #.#.#  #.##.",  # D9 ru
    ".....  #....  #....  #...#  #..#.  #.#..  ##...",  # DA re
    ".....  #####  #...#  #...#  #...#  #...#  #####",  # DB ro
    ".....  #####  #...#  #...#  ....#  ...#.  ..#..",  # DC wa
    ".....  ##...  ....#  ....#  ....#  ...#.  ###..",  # DD n
    "..#.#  .#.#.  .....  .....  .....  .....  .....",  # DE voiced mark
    "###..  #.#..  ###..  .....  .....  .....  .....",  # DF semi-voiced mark
]

# Characters the fonts lack, drawn the same way.
EXTRA = {
    0x20A9: "#...#  #...#  #####  #.#.#  #####  .#.#.  .#.#.",  # won sign (Korea)
}


def parse_bdf(path):
    """Returns {code point: [row bits, top row first]} with rows left-aligned in 5 bits."""
    glyphs = {}
    height = None
    descent = None
    with open(path, encoding="latin-1") as f:
        lines = f.read().splitlines()
    i = 0
    while i < len(lines):
        words = lines[i].split()
        if not words:
            i += 1
            continue
        if words[0] == "FONTBOUNDINGBOX":
            height = int(words[2])
            descent = -int(words[4])
        if words[0] == "STARTCHAR":
            code = None
            bbx = None
            i += 1
            while not lines[i].startswith("BITMAP"):
                w = lines[i].split()
                if w[0] == "ENCODING":
                    code = int(w[1])
                elif w[0] == "BBX":
                    bbx = [int(v) for v in w[1:]]
                i += 1
            i += 1
            rows = []
            while not lines[i].startswith("ENDCHAR"):
                rows.append(int(lines[i], 16))
                i += 1
            bw, bh, bx, by = bbx
            cell = [0] * height
            # The glyph's box sits by + descent rows above the cell's bottom.
            top = height - (bh + by + descent)
            for r, value in enumerate(rows):
                bits = value >> (8 * ((bw + 7) // 8) - bw)  # left-aligned in its bytes
                row = top + r
                if 0 <= row < height:
                    cell[row] = (bits << (5 - bw - bx)) & 0x1F if bw + bx <= 5 else bits & 0x1F
            if code is not None and code >= 0:
                glyphs[code] = cell
        i += 1
    return glyphs


def katakana_glyphs():
    glyphs = {}
    for k, art in enumerate(KATAKANA):
        glyphs[0xFF61 + k] = dots(art)
    assert len(glyphs) == 0xDF - 0xA1 + 1
    for cp, art in EXTRA.items():
        glyphs[cp] = dots(art)
    return glyphs


def dots(art):
    rows = art.split()
    assert len(rows) == 7 and all(len(r) == 5 for r in rows), art
    return [sum(1 << (4 - c) for c, ch in enumerate(r) if ch == "#") for r in rows]


def code_type_table(codec):
    table = []
    for code in range(0x20, 0x100):
        if codec is None:
            table.append(code if code < 0x7F else 0)
            continue
        try:
            ch = ord(bytes([code]).decode(codec))
        except UnicodeDecodeError:
            ch = 0
        if code == 0x7F:
            ch = 0x2302 if codec.startswith("cp") and codec != "cp1252" else 0
        table.append(ch)
    return table


def katakana_table():
    table = code_type_table(None)
    for code in range(0xA1, 0xE0):
        table[code - 0x20] = 0xFF61 + code - 0xA1
    return table


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: makeglyphs.py 5x7.bdf 5x8.bdf > glyphtable.cpp")
    small = parse_bdf(sys.argv[1])
    tall = parse_bdf(sys.argv[2])
    drawn = katakana_glyphs()

    tables = []
    for number, codec in CODE_TYPES:
        tables.append((number, katakana_table() if number == 1 else code_type_table(codec)))
    needed = set()
    for _, table in tables:
        needed.update(c for c in table if c)
    for charset in INTERNATIONAL_SETS:
        needed.update(ord(c) for c in charset)

    entries = []
    missing = []
    for cp in sorted(needed):
        if cp in drawn and any(drawn[cp]):
            seven = drawn[cp]
            eight = [0] + seven  # the 5x8 form stands one dot lower
        elif cp in small and cp in tall:
            seven, eight = small[cp], tall[cp]
        else:
            missing.append(cp)
            continue
        entries.append((cp, seven, eight))
    if missing:
        print("no glyph for: " + " ".join("U+%04X" % cp for cp in missing), file=sys.stderr)

    out = sys.stdout
    out.write("// Generated by tools/makeglyphs.py; edit the script, not this file.\n")
    out.write("// Dots: misc-fixed 5x7 and 5x8 from xfonts-base (public domain);\n")
    out.write("// half-width katakana and the won sign drawn for this project.\n\n")
    out.write('#include "core/module/glyphs.h"\n\n')
    out.write("// clang-format off\n")
    out.write("namespace Glyphs {\n\n")
    out.write("const CodeTypeTable kCodeTypes[] = {\n")
    for number, table in tables:
        out.write("    {%d,\n     {" % number)
        for k, cp in enumerate(table):
            if k and k % 12 == 0:
                out.write("\n      ")
            out.write("0x%04X," % cp)
        out.write("}},\n")
    out.write("};\n")
    out.write("const int kCodeTypeCount = int(std::size(kCodeTypes));\n\n")
    out.write("const InternationalSet kInternationalSets[] = {\n")
    for charset in INTERNATIONAL_SETS:
        out.write("    {" + ", ".join("0x%04X" % ord(c) for c in charset) + "},\n")
    out.write("};\n")
    out.write("const int kInternationalSetCount = int(std::size(kInternationalSets));\n\n")
    out.write("const Glyph kGlyphs[] = {\n")
    for cp, seven, eight in entries:
        out.write("    {0x%04X, {%s}, {%s}},\n" % (
            cp, ", ".join("0x%02X" % v for v in seven), ", ".join("0x%02X" % v for v in eight)))
    out.write("};\n")
    out.write("const int kGlyphCount = int(std::size(kGlyphs));\n\n")
    out.write("} // namespace Glyphs\n// clang-format on\n")


if __name__ == "__main__":
    main()
