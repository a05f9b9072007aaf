#!/usr/bin/env python3
"""Writes core/cp932_builtin_table.inc: code page 932 as glibc iconv decodes and encodes it.

The browser build has no glibc iconv, so it reads code page 932 from these tables instead; the
test suite compares them with iconv for every one- and two-byte sequence and every character of
the Basic Multilingual Plane, so the two builds decide every byte alike. Run it again (on the
Debian release the project builds on) whenever that comparison fails:

    python3 scripts/generate_cp932_table.py > core/cp932_builtin_table.inc

iconv is called through ctypes rather than Python's own codecs, whose cp932 differs from glibc's.
"""
import ctypes
import sys

libc = ctypes.CDLL(None, use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
FAILED = ctypes.c_size_t(-1).value


def converter(to, source):
    handle = libc.iconv_open(to, source)
    if handle == FAILED or handle is None:
        sys.exit(f"iconv cannot convert {source.decode()} to {to.decode()}")

    def convert(data):
        """(ok, bytes out, bytes consumed) from a fresh shift state."""
        libc.iconv(handle, None, None, None, None)
        inbuf = ctypes.create_string_buffer(data, len(data))
        outbuf = ctypes.create_string_buffer(16)
        inptr = ctypes.c_char_p(ctypes.addressof(inbuf))
        outptr = ctypes.c_char_p(ctypes.addressof(outbuf))
        inleft = ctypes.c_size_t(len(data))
        outleft = ctypes.c_size_t(16)
        result = libc.iconv(handle, ctypes.byref(inptr), ctypes.byref(inleft),
                            ctypes.byref(outptr), ctypes.byref(outleft))
        return result != FAILED, outbuf.raw[:16 - outleft.value], len(data) - inleft.value

    return convert


def main():
    decode = converter(b"UCS-2LE", b"CP932")
    encode = converter(b"CP932", b"UCS-2LE")

    def one_unit(data):
        ok, out, consumed = decode(data)
        if ok and len(out) == 2:
            return int.from_bytes(out, "little")
        if not ok and consumed == 0:
            return None
        sys.exit(f"iconv decodes {data.hex()} otherwise than one unit or a bad first byte")

    single = [one_unit(bytes([b])) for b in range(256)]
    leads = [b for b in range(256) if single[b] is None]
    pairs = {lead: [one_unit(bytes([lead, t])) for t in range(256)] for lead in leads}
    trails = [t for lead in leads for t in range(256) if pairs[lead][t] is not None]
    first, last = min(trails), max(trails)
    rows = [lead for lead in leads if any(u is not None for u in pairs[lead])]

    # The encoder is the decoder read backwards from the lowest byte sequence of each character;
    # only where iconv chooses otherwise (or encodes what no sequence decodes to) is it listed.
    lowest = {}
    for b in range(256):
        if single[b] is not None:
            lowest.setdefault(single[b], b)
        else:
            for t in range(256):
                if pairs[b][t] is not None:
                    lowest.setdefault(pairs[b][t], b << 8 | t)
    exceptions = []
    for unit in range(0x10000):
        if 0xD800 <= unit < 0xE000:
            continue
        ok, out, _ = encode(unit.to_bytes(2, "little"))
        code = int.from_bytes(out, "big") if ok else None
        if ok and len(out) not in (1, 2):
            sys.exit(f"iconv encodes U+{unit:04X} in {len(out)} bytes")
        if code != lowest.get(unit):
            exceptions.append((unit, 0 if code is None else code))

    print("// Written by scripts/generate_cp932_table.py from glibc iconv; do not edit.")
    print("// Each byte alone: its unit, or -1 where it starts a pair (or is bad).")
    print("constexpr std::array<std::int32_t, 256> kCp932Single = {")
    for start in range(0, 256, 8):
        print("    " + " ".join(f"{-1 if u is None else u:#06x}," if u is not None else "-1,"
                                for u in single[start:start + 8]))
    print("};")
    print(f"constexpr unsigned kCp932FirstTrail = {first:#04x};")
    print(f"constexpr unsigned kCp932LastTrail = {last:#04x};")
    print("// Lead bytes with a row below, in order.")
    print("constexpr std::array<std::uint8_t, %d> kCp932Leads = {" % len(rows))
    for start in range(0, len(rows), 12):
        print("    " + " ".join(f"{b:#04x}," for b in rows[start:start + 12]))
    print("};")
    print("// Per lead byte, the unit of each trail byte from the first to the last; 0: not a")
    print("// character (no pair decodes to U+0000).")
    width = last - first + 1
    print(f"constexpr std::array<std::uint16_t, {len(rows)} * {width}> kCp932Pairs = {{")
    for lead in rows:
        row = [pairs[lead][t] or 0 for t in range(first, last + 1)]
        for start in range(0, width, 10):
            print("    " + " ".join(f"{u:#06x}," for u in row[start:start + 10]))
    print("};")
    print("// Characters iconv encodes otherwise than as their lowest byte sequence, by unit;")
    print("// 0: no code page 932 form.")
    print("constexpr std::array<std::array<std::uint16_t, 2>, %d> kCp932EncodeExceptions = {{"
          % len(exceptions))
    for unit, code in exceptions:
        print(f"    {{{unit:#06x}, {code:#06x}}},")
    print("}};")


main()
