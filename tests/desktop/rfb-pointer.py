#!/usr/bin/env python3
"""Moves and presses the pointer through a VNC server (RFB 3.8, security None), as a person
at the screen would.

Usage: rfb-pointer.py SOCKET STEP...
  SOCKET  a UNIX socket path, or HOST:PORT
  STEP    move:X,Y   down   up   wait:SECONDS   (down and up are the left button)
"""
import socket
import struct
import sys
import time


def recv_exact(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            sys.exit("the VNC server closed the connection")
        data += chunk
    return data


def connect(where):
    if where.startswith("/"):
        conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        conn.connect(where)
    else:
        host, port = where.rsplit(":", 1)
        conn = socket.create_connection((host, int(port)))
    conn.settimeout(10)
    if not recv_exact(conn, 12).startswith(b"RFB 003."):
        sys.exit("not a VNC server")
    conn.sendall(b"RFB 003.008\n")
    count = recv_exact(conn, 1)[0]
    if count == 0:
        reason = recv_exact(conn, struct.unpack(">I", recv_exact(conn, 4))[0])
        sys.exit("the VNC server refused: " + reason.decode(errors="replace"))
    if 1 not in recv_exact(conn, count):
        sys.exit("the VNC server wants a password")
    conn.sendall(bytes([1]))
    if struct.unpack(">I", recv_exact(conn, 4))[0] != 0:
        sys.exit("the VNC server refused security None")
    conn.sendall(bytes([1]))  # share the desktop
    recv_exact(conn, 4 + 16)  # size and pixel format
    recv_exact(conn, struct.unpack(">I", recv_exact(conn, 4))[0])  # desktop name
    return conn


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    conn = connect(sys.argv[1])
    x = y = mask = 0
    for step in sys.argv[2:]:
        if step.startswith("move:"):
            x, y = (int(v) for v in step[5:].split(","))
        elif step == "down":
            mask = 1
        elif step == "up":
            mask = 0
        elif step.startswith("wait:"):
            time.sleep(float(step[5:]))
            continue
        else:
            sys.exit("unknown step " + step)
        conn.sendall(struct.pack(">BBHH", 5, mask, x, y))
        # One event per compositor frame or so, as a hand would send them.
        time.sleep(0.05)
    conn.close()


main()
