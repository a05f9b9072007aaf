#!/usr/bin/env python3
"""Writes spectral/libm_table.inc: glibc's sin and cos of the arguments the spectra are built from.

The browser build's C library (musl) rounds sin and cos otherwise than glibc in the last bit now
and then, which would change the sine tables and the filter window and with them the rankings.
That build reads these values instead; the test suite checks them against the native build's
std::sin and std::cos. Run it again if that check fails:

    python3 scripts/generate_libm_table.py > spectral/libm_table.inc

The arguments are computed as the C++ code computes them (the same operations in the same order
on IEEE doubles); the values come from glibc's libm through ctypes.
"""
import ctypes
import math
import struct

libm = ctypes.CDLL("libm.so.6")
for name in ("sin", "cos"):
    getattr(libm, name).restype = ctypes.c_double
    getattr(libm, name).argtypes = [ctypes.c_double]


def bits(value):
    return "0x%016xULL" % struct.unpack("<Q", struct.pack("<d", value))[0]


# sin(pi / n) seeds the sine table of every power-of-two transform length n.
sines = [math.pi / float(1 << k) for k in range(0, 32)]
# The Blackman window of the 128-tap filters.
cosines = sorted({x * 2.0 * math.pi / 127.0 for x in map(float, range(128))} |
                 {x * 4.0 * math.pi / 127.0 for x in map(float, range(128))})

print("// Written by scripts/generate_libm_table.py from glibc's libm; do not edit.")
print("// {argument, value} as IEEE-754 bits, sorted by argument.")
for name, function, arguments in (("kSines", libm.sin, sorted(sines)), ("kCosines", libm.cos, cosines)):
    print(f"constexpr std::array<std::array<std::uint64_t, 2>, {len(arguments)}> {name} = {{{{")
    for argument in arguments:
        print(f"    {{{bits(argument)}, {bits(function(argument))}}},")
    print("}};")
