# icon_17x13.bmp, 114 bytes: 17 x 13 pixels
# layout pages-lsb: pages of 8 rows from the top, one byte per column, bit 0 the top row
# a set bit is a dark pixel
# for micropython-framebuf-vlsb: framebuf.FrameBuffer(icon_17x13, W, H, framebuf.MONO_VLSB)
# on the glass a set bit is colour 1 of the frame buffer
import framebuf

icon_17x13 = bytearray(
    b'\x00\x00\x40\xE0\x70\x58\x4C\x46\x43\x46\x4C\x58\x70\xE0\x40\x00'
    b'\x00\x00\x00\x00\x1F\x10\x1F\x11\x1F\x10\x10\x13\x13\x10\x1F\x00'
    b'\x00\x00'
)
icon_17x13_fb = framebuf.FrameBuffer(icon_17x13, 17, 13, framebuf.MONO_VLSB)

# example_3x9.bmp, 98 bytes: 3 x 9 pixels
# layout pages-lsb: pages of 8 rows from the top, one byte per column, bit 0 the top row
# a set bit is a dark pixel
# for micropython-framebuf-vlsb: framebuf.FrameBuffer(example_3x9, W, H, framebuf.MONO_VLSB)
# on the glass a set bit is colour 1 of the frame buffer

example_3x9 = bytearray(
    b'\x51\x12\x94\x00\x01\x00'
)
example_3x9_fb = framebuf.FrameBuffer(example_3x9, 3, 9, framebuf.MONO_VLSB)
