#!/usr/bin/env python3
"""Reads a letter Wrenmail sent from the IMAP server with Python's imaplib, as another mail program
would, and checks what such a program shows: the sender and recipient as addresses, the subject,
a date it can read, the plain part first and the tagged part second, the lines in both, the stamps
as tags in the tagged part only and as their captions in the plain part.

    wrenmail_letter_check.py IMAP_PORT USER PASSWORD SUBJECT "LINE|LINE..." [SPRITE:CAPTION ...]
"""
import email
import email.policy
import email.utils
import imaplib
import re
import sys


def fetch(port, user, password, subject):
    imap = imaplib.IMAP4("127.0.0.1", int(port))
    try:
        imap.login(user, password)
        imap.select("INBOX", readonly=True)
        typ, data = imap.uid("SEARCH", "SUBJECT", '"' + subject + '"')
        uids = data[0].split()
        assert typ == "OK" and len(uids) == 1, f"expected one letter with subject {subject!r}, found {uids}"
        typ, data = imap.uid("FETCH", uids[0], "(BODY.PEEK[])")
        assert typ == "OK", data
        return data[0][1]
    finally:
        imap.logout()


def main():
    port, user, password, subject, lines = sys.argv[1:6]
    stamps = [s.split(":", 1) for s in sys.argv[6:]]
    raw = fetch(port, user, password, subject)
    problems = []

    def check(ok, what):
        if not ok:
            problems.append(what)

    message = email.message_from_bytes(raw, policy=email.policy.default)
    check(message["Subject"] == subject, f"Subject is {message['Subject']!r}")
    check(message["To"] is not None and message["To"].addresses[0].addr_spec == user + "@example.test",
          f"To is {message['To']!r}")
    check(message["From"] is not None and "@" in message["From"].addresses[0].addr_spec, f"From is {message['From']!r}")
    check(message["Message-ID"] is not None, "no Message-ID")
    check(message["Date"] is not None and email.utils.parsedate_to_datetime(str(message["Date"])) is not None,
          f"Date is {message['Date']!r}")
    check(message.get_content_maintype() == "multipart", f"the letter is {message.get_content_type()}")
    parts = list(message.iter_parts())
    types = [p.get_content_type() for p in parts]
    check(types == ["text/plain", "text/wrenmail"], f"parts {types}")
    if len(parts) == 2:
        plain, rich = (p.get_content() for p in parts)
        for line in lines.split("|"):
            check(line in plain and line in rich, f"{line!r} missing from a part")
        tags = re.findall(r'<ID="([^"]+)" NAME="([^"]+)" W=\d+ H=\d+>', rich)
        check([list(t) for t in tags] == stamps, f"stamps {tags}")
        check("<ID=" not in plain, "the plain part holds tags")
        captions = [c for _, c in stamps]
        at = [plain.find(c) for c in captions]
        check(all(a >= 0 for a in at) and at == sorted(at), f"captions {captions} not in order in {plain!r}")
    for line in raw.split(b"\r\n"):
        check(len(line) <= 998, "a line longer than 998 bytes")
        check(all(b < 128 for b in line) or b"charset=" in raw, "8-bit text without a charset")
    if problems:
        sys.exit("the letter reads wrong:\n  " + "\n  ".join(problems) + "\n" + raw.decode("utf-8", "replace"))


if __name__ == "__main__":
    main()
