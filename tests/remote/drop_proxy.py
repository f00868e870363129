#!/usr/bin/env python3
"""A loopback proxy in front of an IMAP server that drops connections in the middle of a fetch.

    drop_proxy.py TARGET_PORT PORT_FILE [--cuts N] [--after BYTES] [--stall] [--rewrite FROM TO]

Listens on 127.0.0.1 (a free port, written to PORT_FILE once it listens) and forwards every
connection to 127.0.0.1:TARGET_PORT. The first N connections (all of them when N is -1) whose
server side starts a message's text ("BODY[]" in a FETCH answer) are closed, both ways, BYTES
bytes after that point: the client sees the server vanish mid-fetch. With --stall they are kept
open and silent instead (a server that stops answering), each noted as a line of
PORT_FILE.stalls. --rewrite replaces FROM by TO in what the server sends (any protocol: an SMTP
refusal made temporary). Stopped by its pid.
"""
import argparse
import os
import selectors
import socket

MARK = b"BODY[]"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("target", type=int)
    ap.add_argument("port_file")
    ap.add_argument("--cuts", type=int, default=1)
    ap.add_argument("--after", type=int, default=200)
    ap.add_argument("--stall", action="store_true")
    ap.add_argument("--rewrite", nargs=2, default=None)
    args = ap.parse_args()

    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(tmp, args.port_file)

    sel = selectors.DefaultSelector()
    sel.register(listener, selectors.EVENT_READ, None)
    cuts_left = args.cuts
    # client socket -> [server socket, seen-from-server tail, bytes left before the cut or None]
    pairs = {}

    def close(client):
        server = pairs.pop(client)[0]
        for s in (client, server):
            sel.unregister(s)
            s.close()

    while True:
        for key, _ in sel.select():
            if key.data is None:
                client, _ = listener.accept()
                server = socket.create_connection(("127.0.0.1", args.target))
                pairs[client] = [server, b"", None]
                sel.register(client, selectors.EVENT_READ, ("up", client))
                sel.register(server, selectors.EVENT_READ, ("down", client))
                continue
            way, client = key.data
            if client not in pairs:
                continue
            state = pairs[client]
            source = client if way == "up" else state[0]
            try:
                data = source.recv(65536)
            except OSError:
                data = b""
            if not data:
                close(client)
                continue
            if way == "up":
                state[0].sendall(data)
                continue
            if args.rewrite:
                data = data.replace(args.rewrite[0].encode(), args.rewrite[1].encode())
            if state[2] is None and cuts_left != 0:
                seen = state[1] + data
                at = seen.find(MARK)
                if at >= 0:
                    cuts_left -= 1
                    # bytes of `data` still to pass: up to the mark plus `after`
                    state[2] = max(0, at + len(MARK) + args.after - len(state[1]))
                state[1] = seen[-len(MARK):]
            if state[2] == 0 and args.stall:
                continue
            if state[2] is not None:
                client.sendall(data[:state[2]])
                state[2] -= min(state[2], len(data))
                if state[2] == 0 and args.stall:
                    with open(args.port_file + ".stalls", "a") as f:
                        f.write("stalled\n")
                elif state[2] == 0:
                    close(client)
                continue
            client.sendall(data)


if __name__ == "__main__":
    main()
