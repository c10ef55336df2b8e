#!/usr/bin/env bash
# Writes the small seed corpus in fuzz/corpus/: a few tiny BMP files (good ones and ones the
# checks refuse) and a few pasted listings. Run again after changing it; the files are
# committed so that every fuzz run starts from the same place.
set -euo pipefail
cd "$(dirname "$0")/../fuzz"

# Little-endian bytes as printf escapes.
le() { # value, byte count
    local v=$1 n=$2 out="" i
    for ((i = 0; i < n; i++)); do
        out+=$(printf '\\x%02x' $(((v >> (8 * i)) & 255)))
    done
    printf '%s' "$out"
}

# bmp FILE WIDTH HEIGHT [INFO_SIZE] [BITS] [PALETTE0 PALETTE1] [ROW_BYTE]
# HEIGHT may be negative (top-down). Every row byte is ROW_BYTE (default 0x5A).
bmp() {
    local file=$1 width=$2 height=$3 info=${4:-40} bits=${5:-1}
    local p0=${6:-0x000000} p1=${7:-0xFFFFFF} fill=${8:-0x5A}
    local rows=${height#-}
    local row_bytes=$(((width * bits + 31) / 32 * 4))
    local offset=$((14 + info + 8))
    local size=$((offset + row_bytes * rows))
    {
        printf 'BM'
        printf "$(le $size 4)$(le 0 4)$(le $offset 4)"
        printf "$(le "$info" 4)$(le $((width & 0xFFFFFFFF)) 4)$(le $((height & 0xFFFFFFFF)) 4)"
        printf "$(le 1 2)$(le "$bits" 2)$(le 0 4)$(le $((row_bytes * rows)) 4)"
        printf "$(le 3780 4)$(le 3780 4)$(le 2 4)$(le 0 4)"
        head -c $((info - 40)) /dev/zero
        printf "$(le $((p0)) 4)$(le $((p1)) 4)"
        local r c
        for ((r = 0; r < rows; r++)); do
            for ((c = 0; c < row_bytes; c++)); do printf "$(le $((fill + r + c)) 1)"; done
        done
    } >"$file"
}

rm -rf corpus/import corpus/listing corpus/cli
rm -f corpus/picture/[0-9]* # the findings kept there stay
mkdir -p corpus/import corpus/listing corpus/cli corpus/picture

bmp corpus/import/8x2.bmp 8 2
bmp corpus/import/17x3-top-down.bmp 17 -3
bmp corpus/import/9x9-white-first.bmp 9 9 40 1 0xFFFFFF 0x000000
bmp corpus/import/33x4-header-124.bmp 33 4 124
bmp corpus/import/5x2-grey-ink.bmp 5 2 40 1 0x808080 0xFFFFFF 0xF0
bmp corpus/import/4x1-four-bits.bmp 4 1 40 4
printf 'BM' >corpus/import/signature-only.bmp
head -c 54 corpus/import/8x2.bmp >corpus/import/header-without-palette.bmp

# Listings: two bytes of picture size (width % 40, pages % 5), then the pasted text.
printf '\x02\x02%s' $'16\n2\n0x81,0x0F,\r\n0x04,0x08,' >corpus/listing/worked-example
printf '\x03\x01%s' $'const unsigned char logo[] = {\n  0x81, 0x0f, 0X4,\n};\n' >corpus/listing/c-source
printf '\x01\x01%s' '0x81,0xG1,' >corpus/listing/bad-entry
printf '\x08\x01%s' $'4096\n512\r0xFF 0x00\r0x7' >corpus/listing/carriage-returns

# Command lines: the command byte (0 t6963c, 1 sed1565, 2 info, 3 render, 4 convert,
# 6 preview, 7 guess, 8 check), the bytes after which standard output and standard error fail (0: never), the
# arguments one a line, a zero byte, then the file "in" (also standard input).
cli() { # file command out_room err_room arguments; the file "in" follows on standard input
    { printf "$(le "$2" 1)$(le "$3" 1)$(le "$4" 1)%s\0" "$5"; cat; } >"corpus/cli/$1"
}
printf '0x81,0x0F, 0x7' | cli render-stdin 3 0 0 $'--width\n8\n--pages\n1\n-o\nout.bmp\n-'
printf '0xG1' | cli render-file 3 0 1 $'--width=3\n--pages=2\n-o\nout.bmp\n@'
cli convert-c-array 4 2 0 $'--layout\npages-lsb\n--threshold\n0128\n--c-array\nlogo\n--\n@' \
    <corpus/import/8x2.bmp
cli t6963c-dash 0 0 0 $'--invert-colors\n--\n@' <corpus/import/17x3-top-down.bmp
cli convert-prepared 4 0 0 \
    $'--layout\nrows-msb\n--rotate\n90\n--flip\nh\n--size\n5x3\n--fit\ncover\n--dither\natkinson\n--ink\nlight\n@' \
    <corpus/import/8x2.bmp
cli convert-prepared-picture 4 0 0 \
    $'--layout\npages-lsb\n--background\nblack\n--size\n9x2\n--dither\nbayer8\n@' \
    <corpus/import/4x1-four-bits.bmp
cli convert-target 4 0 0 $'--target\nssd1306\n--style\nasm\n--preview\np.png\n@' \
    <corpus/import/8x2.bmp
cli preview-ascii 6 0 0 $'--layout\nt6963c\n--ascii\n@' <corpus/import/17x3-top-down.bmp
cli convert-several 4 0 0 \
    $'--target\nadafruit-gfx\n--frames\n--size\n4x4\n--table\nt\n--compress\nrle\n--header\nh.h\n--source\nc.c\n--depfile\nd\n@\n@' \
    <corpus/import/8x2.bmp
# C text for the C array reader: literals of every base, separators, suffixes, nested
# braces, and what is skipped around them; one bad literal; a T6963C first line before the
# text; and check's picture and array in one file (a BMP file with C text after it).
c_text=$'#define W 8 // {9}\nconst char* s = "{7}";\nconst uint8_t logo[2][2] PROGMEM = {\n  {0x8\'1, 0b0101\'1010u},\n  /* 3, */ {B01011011, 07\'7L}};\n'
printf '%s' "$c_text" | cli render-c 3 0 0 \
    $'--layout\nrows-msb\n--width\n16\n--height\n2\n--input\nc\n--allow-extra\n-o\nout.bmp\n@'
printf '%s' $'{1\'0, 0x\'F\'}' | cli render-c-bad-literal 3 0 0 \
    $'--layout\npages-lsb\n--width\n8\n--height\n8\n--input\nc\n-o\nout.bmp\n-'
printf '4,1,\n%s' "$c_text" | cli render-c-t6963c 3 0 0 \
    $'--layout\nt6963c\n--name\nlogo\n-o\nout.png\n@'
printf '%s' '0x81, 0x0F, 255, 0b1, 0x3C, 0x42, 0x81, 0x3C' |
    cli guess-c-bare 7 0 0 $'--input\nc\n--ascii\n@'
{ cat corpus/import/8x2.bmp; printf '\n;%s' "$c_text"; } | cli check-c 8 0 0 \
    $'--layout\nrows-msb\n--name\nlogo\n@\n-'
# The depfile's names: ones written escaped, and ones refused before anything is written.
cli depfile-escaped 4 0 0 \
    $'--layout\nrows-msb\n--header\no u$t.h\n--source\na:b.c\n--depfile\nd\n@\nk\\ l#1.bmp\np%q.bmp' \
    <corpus/import/8x2.bmp
cli depfile-refused 4 0 0 \
    $'--layout\nrows-msb\n-o\no.h\n--depfile\n./o.d\n@\nMakefile;touch${IFS}X\nlib(m)\ne:\nend\\' \
    <corpus/import/8x2.bmp

# Pictures for the readers, none over a kilobyte: a plain PBM, a 4-bit BMP, and a PNG, a
# GIF and a JPEG that Pillow draws.
printf 'P1\n3 2\n1 0 1\n0 1 0\n' >corpus/picture/3x2.pbm
cp corpus/import/4x1-four-bits.bmp corpus/picture/
/usr/bin/python3 - <<'PY'
from PIL import Image
image = Image.new("RGBA", (5, 3), (255, 255, 255, 0))
for x in range(5):
    image.putpixel((x, x % 3), (40 * x, 200, 30, 255 - 50 * x))
image.save("corpus/picture/5x3-alpha.png")
image.convert("P").save("corpus/picture/5x3.gif")
image.convert("RGB").save("corpus/picture/5x3.jpg", quality=50)
# The kinds of PNG file libpng reads a row at a time.
image.convert("LA").save("corpus/picture/5x3-grey-alpha.png")
image.convert("1").save("corpus/picture/5x3-1-bit.png")
palette = image.convert("RGB").quantize(5)
palette.save("corpus/picture/5x3-palette-alpha.png", transparency=bytes([0, 90, 255, 160]))
palette.save("corpus/picture/5x3-4-bit.png", bits=4)
image.convert("L").save("corpus/picture/5x3-grey-transparent.png", transparency=40)
PY
