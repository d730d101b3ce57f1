"""Writes ZIP archives protected with the traditional PKWARE encryption
(Python's zipfile can read such archives but not write them). Entries are
deflated, their names stored in UTF-8 with the UTF-8 flag (bit 11) set.
"""
import os
import struct
import zlib


def _crc_table():
    table = []
    for n in range(256):
        c = n
        for _ in range(8):
            c = (c >> 1) ^ 0xEDB88320 if c & 1 else c >> 1
        table.append(c)
    return table


_CRC = _crc_table()


class _Keys:
    def __init__(self, password):
        self.k0, self.k1, self.k2 = 0x12345678, 0x23456789, 0x34567890
        for b in password:
            self.update(b)

    def update(self, b):
        self.k0 = _CRC[(self.k0 ^ b) & 0xFF] ^ (self.k0 >> 8)
        self.k1 = ((self.k1 + (self.k0 & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        self.k2 = _CRC[(self.k2 ^ (self.k1 >> 24)) & 0xFF] ^ (self.k2 >> 8)

    def encrypt(self, data):
        out = bytearray(len(data))
        for i, p in enumerate(data):
            t = (self.k2 | 2) & 0xFFFF
            out[i] = p ^ (((t * (t ^ 1)) >> 8) & 0xFF)
            self.update(p)
        return bytes(out)


FLAG_ENCRYPTED = 0x1
FLAG_UTF8 = 0x800
DOS_TIME, DOS_DATE = 0x6000, 0x5A8A  # 12:00, 2025-04-10


def write_encrypted_zip(path, entries, password, seed=b""):
    """entries: list of (name with "/" separators, bytes). The 11 random
    header bytes come from the seed, so a package is the same every run."""
    password = password.encode("ascii")
    local, central = bytearray(), bytearray()
    for index, (name, data) in enumerate(entries):
        raw_name = name.encode("utf-8")
        crc = zlib.crc32(data) & 0xFFFFFFFF
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(data) + packer.flush()
        keys = _Keys(password)
        header = bytes(zlib.crc32(seed + raw_name + bytes([i])) & 0xFF for i in range(11)) + bytes([crc >> 24])
        body = keys.encrypt(header) + keys.encrypt(packed)
        flags = FLAG_ENCRYPTED | FLAG_UTF8
        offset = len(local)
        local += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, 8, DOS_TIME, DOS_DATE, crc, len(body),
                             len(data), len(raw_name), 0) + raw_name + body
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, flags, 8, DOS_TIME, DOS_DATE, crc,
                               len(body), len(data), len(raw_name), 0, 0, 0, 0, 0x20, offset) + raw_name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(local), 0)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(bytes(local) + bytes(central) + end)
    os.replace(tmp, path)
