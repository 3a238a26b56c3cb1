"""Writing GIF files byte by byte: the LZW encoder and the blocks of a GIF89a/87a file, for the
scripts that make our GIFs (the placeholder picture, the fuzz seeds)."""
import struct


def lzw(pixels: bytes, code_size: int) -> bytes:
    """GIF LZW: clear, codes of growing width packed LSB first, end."""
    clear = 1 << code_size
    width, nxt, table = code_size + 1, clear + 2, {}
    acc = bits = 0
    out = bytearray()

    def put(code: int) -> None:
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    put(clear)
    prefix = None
    for p in pixels:
        if prefix is None:
            prefix = p
        elif (prefix, p) in table:
            prefix = table[(prefix, p)]
        else:
            put(prefix)
            if nxt < 4096:
                table[(prefix, p)] = nxt
                nxt += 1
                if nxt - 1 == 1 << width and width < 12:
                    width += 1
            prefix = p
    if prefix is not None:
        put(prefix)
    put(clear + 1)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data: bytes) -> bytes:
    return b"".join(bytes([len(data[i : i + 255])]) + data[i : i + 255] for i in range(0, len(data), 255)) + b"\0"


def gif_image(left, top, w, h, pixels, local=b"", interlaced=False, code_size=2) -> bytes:
    flags = (0x80 | (len(local) // 3).bit_length() - 2 if local else 0) | (0x40 if interlaced else 0)
    rows = pixels
    if interlaced:
        order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
        rows = b"".join(pixels[y * w : (y + 1) * w] for y in order)
    head = b"," + struct.pack("<4HB", left, top, w, h, flags) + local
    return head + bytes([code_size]) + sub_blocks(lzw(rows, code_size))


def gif_control(delay, disposal=0, transparent=None) -> bytes:
    packed = disposal << 2 | (1 if transparent is not None else 0)
    return b"\x21\xf9\x04" + struct.pack("<BHB", packed, delay, transparent or 0) + b"\0"


def gif_screen(w, h, table=b"", background=0, version=b"GIF89a") -> bytes:
    packed = 0x80 | (len(table) // 3).bit_length() - 2 if table else 0
    return version + struct.pack("<2H3B", w, h, packed, background, 0) + table
