#!/usr/bin/env python3
"""Writes a kite account's address book into a data root as the module stores one: AddBook.wdb in
the account's folder, each name a key whose value is the atom of its kite ID (a Short stored with
its name, kind 0x83). The file format is Harbor's dictionary file (docs/dictionary-files.md).

    put_address_book.py DATA_DIR KITE_ID NAME=ID [NAME=ID ...] [KEY:long=NUMBER ...]

A KEY:long entry is a number, not an address: the book must carry it along untouched.
"""
import os
import struct
import sys
import zlib

KIND_LONG = 1
KIND_ATOM_SHORT = 0x83


def name(text):
    data = text.encode()
    return struct.pack("<H", len(data)) + data


def entry(key, address):
    if key.endswith(":long"):
        return struct.pack("<B", KIND_LONG) + name(key[: -len(":long")]) + struct.pack("<i", int(address))
    return struct.pack("<B", KIND_ATOM_SHORT) + name(key) + struct.pack("<H", 0) + name(address)


def main():
    data_dir, kite = sys.argv[1:3]
    entries = [entry(*pair.split("=", 1)) for pair in sys.argv[3:]]
    body = b"\x89HBDICT\n" + struct.pack("<HHI", 1, 0, len(entries)) + b"".join(entries)
    path = os.path.join(data_dir, "MailBoxes", "kiteAccounts", kite)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, "AddBook.wdb"), "wb") as out:
        out.write(body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF))


if __name__ == "__main__":
    main()
