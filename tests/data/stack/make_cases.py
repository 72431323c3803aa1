#!/usr/bin/env python3
"""Writes the stack-file cases of this folder, each from the file layout alone (big-endian
fields, Mac-order rectangles, length-prefixed texts), without the plug-in's code or the C++
test-stack builder, so that the reader is checked against an independent writer.

Each case is a folder with input.stk, description.txt and expected.json (what stackinspect
prints for it; compared with whitespace outside strings ignored). Run this script to rewrite the
inputs; after a deliberate change of the inspector, regenerate expected.json with
    build/<native>/tools/inspector/stackinspect CASE/input.stk > CASE/expected.json
and check the difference by hand.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def be16(v):
    return struct.pack('>H', v & 0xFFFF)


def be32(v):
    return struct.pack('>I', v & 0xFFFFFFFF)


def pstr(text, size):
    text = text[:size - 1]
    return bytes([len(text)]) + text + bytes(size - 1 - len(text))


def mac_rect(left, top, right, bottom):
    return be16(top) + be16(left) + be16(bottom) + be16(right)


def header(cards, res_offset, res_count, *, version=5, depth=8, width=512, height=384,
           flags=0, next_card=2, next_object=1, next_res=1):
    h = bytearray(128)
    fields = {0: 0, 2: 1, 4: cards, 6: 0, 8: version, 10: next_card, 12: next_object,
              14: flags, 16: depth, 18: 0, 20: 1, 22: 0, 24: 0, 26: 0, 48: 0, 50: 0,
              52: 0, 54: 0, 56: width, 58: height, 72: 0, 74: 0, 76: 0, 78: 0}
    for offset, value in fields.items():
        h[offset:offset + 2] = be16(value)
    h[60:64] = be32(res_offset)
    h[64:68] = be32(res_count)
    h[68:72] = be32(next_res)
    return bytes(h)


def finish(record, flags):
    """Pads an object or chunk to even (flag 0x200) and stores its length and flags."""
    record = bytearray(record)
    if len(record) % 2:
        record.append(0)
        flags |= 0x200
    record[12:16] = be32(len(record))
    record[22:24] = be16(flags)
    return bytes(record)


def common(kind, oid, rect, size):
    r = bytearray(size)
    r[0:2] = be16(kind)
    r[2:4] = be16(oid)
    r[4:12] = mac_rect(*rect)
    return r


def chunk(kind, oid=0, rect=(0, 0, 0, 0), fields=(), payload=b''):
    c = common(kind, oid, rect, 32)
    for offset, value in fields:
        c[offset:offset + 2] = be16(value)
    return finish(bytes(c) + payload, 0)


def button(oid, rect, name, chunks=(), flags=0, font=16):
    b = common(48, oid, rect, 136)
    b[28:60] = pstr(name, 32)
    b[86:88] = be16(font)
    return finish(bytes(b) + b''.join(chunks), flags)


def text_field(oid, rect, name, text, flags=0):
    t = common(96, oid, rect, 128)
    t[72:88] = pstr(name, 16)
    sub = be16(1) + be16(0) + be32(0) + be32(0) + be32(16 + len(text)) + text
    return finish(bytes(t) + sub, flags)


def graphic(oid, rect, name, data, trailer=None, flags=0):
    g = common(16, oid, rect, 80)
    g[38:54] = pstr(name, 16)
    g[54:56] = be16(8)
    body = bytes(g) + data
    if trailer is not None:
        body = body[:60] + be32(8) + body[64:]
        body += be16(trailer[0]) + be16(trailer[1]) + bytes(4)
    return finish(body, flags)


def color_table(colors, mac):
    t = be32(0) + be16(0) + be16(len(colors) - 1)
    for i, (r, g, b) in enumerate(colors):
        t += be16(i)
        for c in (r, g, b):
            t += bytes([c, c if mac else 0])
    return t


def card(cid, kind, objects=(), *, name=b'', background=0, depth=8, width=512, height=384,
         picture=None, flags=0):
    h = bytearray(96)
    for offset, value in {0: cid, 6: kind, 8: background, 10: flags, 16: 0, 18: depth,
                          20: width, 22: height}.items():
        h[offset:offset + 2] = be16(value)
    h[32:48] = pstr(name, 16)
    body = bytes(h) + (picture or b'') + b''.join(objects) + b'\x00\x00\xfa\xce'
    body = bytearray(body)
    body[2:6] = be32(len(body))
    return bytes(body)


def picture_block(table, packed, fmt=2):
    data = table + packed
    pad = len(data) % 2
    block = be16(8) + be16(fmt) + bytes(6) + be16(0x200 if pad else 0)
    block += be32(24 + len(data) + pad) + be32(len(table)) + bytes(4)
    return block + data + bytes(pad)


def resource(rtype, rid, name, data, attributes=0, name_length=None):
    padded = (len(data) + 3) // 4 * 4
    nm = pstr(name, 32)
    if name_length is not None:
        nm = bytes([name_length]) + nm[1:]
    e = rtype + be16(rid) + be16(0) + nm + be32(attributes) + be32(len(data)) + be32(padded)
    e += bytes(16)
    return e + data + bytes(padded - len(data))


def stack(cards, resources=(), **kw):
    body = b''.join(cards)
    res = b''.join(resources)
    return header(len(cards), 128 + len(body), len(resources), **kw) + body + res


def write_case(name, data, description):
    folder = os.path.join(HERE, name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, 'input.stk'), 'wb') as f:
        f.write(data)
    with open(os.path.join(folder, 'description.txt'), 'w') as f:
        f.write(description.strip() + '\n')


def main():
    write_case('minimal', stack([card(1, 0)]), """
One empty card of kind 0 (100 bytes, ending 00 00 FA CE); the file is 228 bytes and the
resource area offset is 228. Header bytes 68..71 are 00 00 00 01.""")

    # A 16 x 2 picture at 4 bits: stored rows of 8 bytes; a lead run of 4 zero bytes, a trail
    # run of 4 bytes of 0x11, and a compressed middle of 8 bytes given as one group of literals.
    grey16 = [(255 - i * 17,) * 3 for i in range(16)]
    middle = bytes([0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF])
    lzrw = bytes([0, 0, 0, 0]) + be16(0)[::-1] + middle  # control word 0: eight literals
    packed = bytes(4) + be32(4) + bytes([0x11] * 4) + be32(4) + lzrw
    pic = picture_block(color_table(grey16, mac=False), packed)
    first = card(1, 1, [
        button(1, (10, 20, 90, 40), b'Play', [
            chunk(51, 1, (1, 2, 3, 4), [(16, 7)]),
            chunk(83, 0, (0, 0, 0, 0), [(16, 131)]),
        ], font=16),
        text_field(2, (5, 50, 200, 80), b'Notes', b'Hello, stack'),
        graphic(3, (100, 100, 132, 116), b'Box', bytes(32 * 16), trailer=(0, 16)),
        chunk(200, 9, (1, 1, 2, 2), [], b'unknown kind'),
    ], name=b'First', depth=4, width=16, height=2, picture=pic)
    second = card(2, 3, [button(4, (0, 0, 50, 20), b'Back', flags=0x10)],
                  name=b'Second', background=1, depth=4, width=16, height=2)
    third = card(3, 0, [], name=b'Third', flags=0x08, depth=4, width=16, height=2)
    action = button(0, (0, 0, 0, 0), b'', [chunk(61, 0, (0, 0, 0, 0), [], b'go')])
    resources = [
        resource(b'Actn', 128, b'Arrive', action),
        resource(b'Snd ', 129, b'Bell', b'RIFF0000WAVE'),
        resource(b'Icon', 130, b'Old', b'xyz', attributes=0x80000000),
        resource(b'NBAs', 131, b'A very long module name that goes on', bytes(10), name_length=40),
    ]
    write_case('picture-and-objects', stack([first, second, third], resources, depth=4, width=16,
                                            height=2, next_card=4, next_object=10, next_res=132), """
Three cards: kind 1 with a 16 x 2 picture at 4 bits (16-entry colour table, lead and trail runs
of 4 bytes, a compressed LZRW1 middle), holding a button with chunks 51 and 83 (font size 16 in
the file is 12 points at 96 dpi), a text field, a graphic whose trailer width is 0 and an object
of unknown kind 200; kind 3 sharing card 1 with a background-layer button; kind 0, locked.
Resources: 'Actn', 'Snd ', a deleted 'Icon', and an 'NBAs' whose name length byte is 40
(held to 31 characters).""")

    white = [(255, 255, 255)] + [(i, i, i) for i in range(1, 256)]
    mac_pic = picture_block(color_table(white, mac=True), bytes(4) + be32(32) + bytes(4) + be32(0))
    write_case('mac-roman', stack([
        card(1, 0, [button(1, (0, 0, 10, 10), b'Before \x8e')], name=b'Plain'),
        card(2, 1, [button(2, (0, 0, 10, 10), b'Caf\x8e'),
                    text_field(3, (0, 0, 10, 10), b'\x87t\x8e', b'')],
             name=b'Caf\x8e', width=16, height=2, picture=mac_pic),
    ], width=16, height=2, next_card=3), """
A stack made on a Mac: header flag 0x10 is clear, but the first kind-1 card's colour table
starts with white (0xFFFF components), so object names read after it are converted from Mac
Roman (0x8E is e acute, 0x87 a acute). The card name stays as stored, and the button of the
kind-0 card read before the decision is not converted. The picture is one colour: a lead run
covering all 32 bytes and no stream.""")

    write_case('damaged-card', stack([card(1, 0), card(2, 0)[:-1] + b'\xcf']), """
The second card's trailer is 00 00 FA CF instead of 00 00 FA CE: the header is a stack's, but
its cards cannot be read, so the stack is refused with alert 2305.""")

    write_case('old-version', stack([card(1, 0)], version=3), """
Version 3: the header is plausible, but the stack is refused with alert 2222.""")

    good = button(1, (0, 0, 10, 10), b'Kept')
    unknown_chunk = button(2, (0, 0, 10, 10), b'Unknown chunk', [chunk(52)])
    also_kept = text_field(3, (0, 0, 10, 10), b'Also kept', b'')
    zero_length = bytearray(button(4, (0, 0, 10, 10), b'Zero length'))
    zero_length[12:16] = be32(0)
    never_read = button(5, (0, 0, 10, 10), b'After')
    write_case('bad-objects', stack([card(1, 0, [good, unknown_chunk, also_kept,
                                                 bytes(zero_length), never_read])]), """
Objects that fail their checks are left out: a button holding a chunk of kind 52 is dropped
alone; a button whose length is 0 ends the object list there (the button after it is not
read). The card itself is kept.""")


if __name__ == '__main__':
    main()
