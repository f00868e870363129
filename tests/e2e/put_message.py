#!/usr/bin/env python3
"""Puts a message file into a mailbox folder of a data root, as the module's store writes one:
WN<id>.wnl holding the message text under "Message" and the id under "MailID", and folder.dat
holding "LastID". The file format is Harbor's dictionary file (docs/dictionary-files.md).

    put_message.py DATA_DIR kite|player OWNER OutBox|InBox ID < message.eml
"""
import os
import struct
import sys
import zlib

KIND_LONG = 1
KIND_TEXT = 4


def entry(kind, key, value):
    name = key.encode()
    head = struct.pack("<BH", kind, len(name)) + name
    if kind == KIND_LONG:
        return head + struct.pack("<i", value)
    data = value.encode()
    return head + struct.pack("<I", len(data)) + data


def dictionary(entries):
    body = b"\x89HBDICT\n" + struct.pack("<HHI", 1, 0, len(entries)) + b"".join(entries)
    return body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    data_dir, kind, owner, folder, mail_id = sys.argv[1:6]
    mail_id = int(mail_id)
    owners = "kiteAccounts" if kind == "kite" else "Players"
    path = os.path.join(data_dir, "MailBoxes", owners, owner, folder)
    os.makedirs(path, exist_ok=True)
    text = sys.stdin.read()
    with open(os.path.join(path, "WN%d.wnl" % mail_id), "wb") as out:
        out.write(dictionary([entry(KIND_TEXT, "Message", text), entry(KIND_LONG, "MailID", mail_id)]))
    with open(os.path.join(path, "folder.dat"), "wb") as out:
        out.write(dictionary([entry(KIND_LONG, "LastID", mail_id)]))


if __name__ == "__main__":
    main()
