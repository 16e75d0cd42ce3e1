#!/usr/bin/env python3
# A TCP proxy on 127.0.0.1 to a server's Unix socket, for the tests of a network that fails
# under a running command. Usage: stallproxy.py SOCKET MODE TRIGGER
# Prints the port it listens on. Once a client's message holds TRIGGER:
#   stall - nothing more is forwarded either way, and every socket stays open;
#   cut   - that message still reaches the server, then both sockets close before any reply.
import socket
import sys
import threading

path, mode, trigger = sys.argv[1], sys.argv[2], sys.argv[3].encode()
stalled = threading.Event()


def pump(src, dst, from_client):
    try:
        while True:
            data = src.recv(65536)
            if not data:
                break
            if stalled.is_set():
                continue
            if from_client and trigger in data:
                if mode == "cut":
                    dst.sendall(data)
                    src.shutdown(socket.SHUT_RDWR)
                    dst.shutdown(socket.SHUT_RDWR)
                    src.close()
                    dst.close()
                    return
                stalled.set()
                continue
            dst.sendall(data)
    except OSError:
        pass
    if not stalled.is_set():
        for s in (src, dst):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print(listener.getsockname()[1], flush=True)
while True:
    client, _ = listener.accept()
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect(path)
    threading.Thread(target=pump, args=(client, server, True), daemon=True).start()
    threading.Thread(target=pump, args=(server, client, False), daemon=True).start()
