#!/usr/bin/env python3
"""Writes a kite account's address book, AddBook.wdb, as the module's store keeps it: one entry
per name whose value names the kite ID, plus any other entries given. The file format is Harbor's
dictionary file (docs/dictionary-files.md).

    put_book.py DATA_DIR OWNER NAME=KITEID ... [NAME:long=NUMBER] [NAME:text=TEXT]
"""
import os
import struct
import sys
import zlib

KIND_LONG = 1
KIND_TEXT = 4
KIND_NAMED_SHORT = 0x83


def entry(kind, key, value):
    name = key.encode()
    head = struct.pack("<BH", kind, len(name)) + name
    if kind == KIND_LONG:
        return head + struct.pack("<i", value)
    data = value.encode()
    if kind == KIND_NAMED_SHORT:
        return head + struct.pack("<HH", 0, len(data)) + data
    return head + struct.pack("<I", len(data)) + data


def dictionary(entries):
    body = b"\x89HBDICT\n" + struct.pack("<HHI", 1, 0, len(entries)) + b"".join(entries)
    return body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF)


def parse(argument):
    key, value = argument.split("=", 1)
    if key.endswith(":long"):
        return entry(KIND_LONG, key[:-5], int(value))
    if key.endswith(":text"):
        return entry(KIND_TEXT, key[:-5], value)
    return entry(KIND_NAMED_SHORT, key, value)


def main():
    data_dir, owner = sys.argv[1:3]
    path = os.path.join(data_dir, "MailBoxes", "kiteAccounts", owner)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, "AddBook.wdb"), "wb") as out:
        out.write(dictionary([parse(a) for a in sys.argv[3:]]))


if __name__ == "__main__":
    main()
