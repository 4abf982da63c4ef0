#!/usr/bin/env python3
"""A short round of library calls against a device: open, a few commands with
their replies, the line status, close. Shows that libvantor.so serves any
caller that can load a C library (here Python's ctypes)."""
import ctypes
import sys


def slot_text(lib, slot):
    """Reads a length-prefixed slot string and frees it."""
    if not slot.value:
        return b""
    n = ctypes.c_uint32.from_address(slot.value - 4).value
    data = ctypes.string_at(slot.value, n)
    lib.SysFreeString(slot)
    slot.value = None
    return data


def main():
    lib_path, com = sys.argv[1], int(sys.argv[2])
    lib = ctypes.CDLL(lib_path)
    lib.SysFreeString.argtypes = [ctypes.c_void_p]
    i16 = ctypes.c_int16

    names, count = ctypes.c_void_p(), i16()
    if lib.crwGetPortNames(ctypes.byref(names), ctypes.byref(count)):
        print(f"ports ({count.value}): {slot_text(lib, names).decode()}")

    rc = lib.crwOpenPort(com, 9600, b"8", b"E")
    print(f"crwOpenPort(COM{com}, 9600, 8, E) = {rc}")
    if rc != 0:
        return 1
    failures = 0
    for code, data in ((b"VS", b""), (b"ST", b""), (b"CT", b"")):
        rc = lib.crwSendCommand(com, 1000, 0, code, data or None, len(data))
        print(f"crwSendCommand({code.decode()}) = {rc}")
        failures += rc != 0
        c, s, d = ctypes.c_void_p(), ctypes.c_void_p(), ctypes.c_void_p()
        rc = lib.crwReceiveResponse(com, 1, 1000, 0, ctypes.byref(c), ctypes.byref(s), ctypes.byref(d))
        print(f"crwReceiveResponse = {rc}: code {slot_text(lib, c).decode(errors='replace')!r}"
              f" status {slot_text(lib, s).decode(errors='replace')!r}"
              f" data {slot_text(lib, d).decode('cp932', errors='replace')!r}")
        failures += rc != 0
    cts, dsr, rlsd = i16(), i16(), i16()
    rc = lib.crwGetLineStatus(com, ctypes.byref(cts), ctypes.byref(dsr), ctypes.byref(rlsd))
    print(f"crwGetLineStatus = {rc}: CTS {cts.value} DSR {dsr.value} RLSD {rlsd.value}")
    print(f"crwClosePort = {lib.crwClosePort(com)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
