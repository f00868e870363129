#!/usr/bin/env python3
"""Checks a letter as `harbor dict-dump` prints its message file: the recipient, the subject, the
two parts in the order text/plain, text/wrenmail, the lines of the body in both parts and the
stamps as tags, in order, in the tagged part only.

    letter_check.py DUMP TO SUBJECT "LINE|LINE..." [SPRITE:NAME ...]
"""
import email
import email.policy
import json
import re
import sys


def message_text(dump):
    for line in dump.splitlines():
        if line.startswith('"Message" Text '):
            return json.loads(line[len('"Message" Text '):])
    raise AssertionError("no message text in the dump:\n" + dump)


def main():
    dump_file, to, subject, lines = sys.argv[1:5]
    stamps = [s.split(":", 1) for s in sys.argv[5:]]
    message = email.message_from_string(message_text(open(dump_file, encoding="utf-8").read()),
                                        policy=email.policy.default)
    assert to in message["To"], f"To is {message['To']!r}, not {to}"
    assert message["Subject"] == subject, f"Subject is {message['Subject']!r}"
    parts = [p for p in message.iter_parts()]
    types = [p.get_content_type() for p in parts]
    assert types == ["text/plain", "text/wrenmail"], f"parts {types}"
    plain, rich = (p.get_payload(decode=True).decode("utf-8") for p in parts)
    for line in lines.split("|"):
        assert line in plain and line in rich, f"{line!r} missing from a part"
    tags = re.findall(r'<ID="([^"]+)" NAME="([^"]+)" W=\d+ H=\d+>', rich)
    assert [list(t) for t in tags] == stamps, f"stamps {tags}"
    assert "<ID=" not in plain, "the plain part holds tags"
    for _, name in stamps:
        assert name in plain, f"the plain part lacks the stamp name {name}"


if __name__ == "__main__":
    main()
