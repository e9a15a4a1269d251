#!/usr/bin/env python3
"""Damages and builds zip archives for the verifier's tests, the way a faulty disk, a careless
hand or a hostile sender would.

  flip ARCHIVE ENTRY           invert one byte in the middle of the entry's stored data
  claim ARCHIVE ENTRY SIZE     declare SIZE as the entry's uncompressed size (both headers)
  pack ARCHIVE ROOT NAME...    a deflated zip of ROOT/NAME for each NAME, under that NAME
  bomb ARCHIVE ENTRY SIZE      add ENTRY holding SIZE zero bytes, deflated
"""
import struct
import sys
import zipfile


def data_offset(blob, info):
    name_length, extra_length = struct.unpack_from("<HH", blob, info.header_offset + 26)
    return info.header_offset + 30 + name_length + extra_length


def flip(archive, entry):
    with zipfile.ZipFile(archive) as z:
        info = z.getinfo(entry)
    blob = bytearray(open(archive, "rb").read())
    at = data_offset(blob, info) + info.compress_size // 2
    blob[at] ^= 0xFF
    open(archive, "wb").write(blob)


def claim(archive, entry, size):
    with zipfile.ZipFile(archive) as z:
        info = z.getinfo(entry)
    blob = bytearray(open(archive, "rb").read())
    struct.pack_into("<I", blob, info.header_offset + 22, size)
    encoded = entry.encode()
    at = blob.find(b"PK\x01\x02")
    while at >= 0:
        name_length = struct.unpack_from("<H", blob, at + 28)[0]
        if bytes(blob[at + 46:at + 46 + name_length]) == encoded:
            struct.pack_into("<I", blob, at + 24, size)
        at = blob.find(b"PK\x01\x02", at + 4)
    open(archive, "wb").write(blob)


def pack(archive, root, names):
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for name in names:
            if name.endswith("/"):
                z.writestr(name, b"")
            else:
                z.write(root + "/" + name, name)


def bomb(archive, entry, size):
    with zipfile.ZipFile(archive, "a", zipfile.ZIP_DEFLATED) as z:
        with z.open(entry, "w", force_zip64=size >= 0xFFFFFFFF) as out:
            block = bytes(1 << 20)
            while size > 0:
                out.write(block[:min(size, len(block))])
                size -= len(block)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "flip":
        flip(*args)
    elif command == "claim":
        claim(args[0], args[1], int(args[2]))
    elif command == "pack":
        pack(args[0], args[1], args[2:])
    elif command == "bomb":
        bomb(args[0], args[1], int(args[2]))
    else:
        sys.exit("unknown command " + command)
