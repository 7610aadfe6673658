#!/usr/bin/env python3
"""The device at the far end of COM5 for the Windows tests under Wine.

Opens a pseudo-terminal, points DIR/com5 at it (Wine's COM5 leads there), then writes every
byte that arrives to DIR/received and answers each status request (ENQ, 0x05) with the status
byte 0x12; what DIR/send holds, it sends and removes. While DIR/hold exists it reads nothing, like a device that takes no data. Prints the
terminal's name once it is ready; ends with the process that started it.
"""
import os
import pty
import select
import sys
import time
import tty

STATUS_REQUEST = 0x05
STATUS_REPLY = 0x12


def main() -> None:
    directory = sys.argv[1]
    parent = os.getppid()
    master, slave = pty.openpty()
    # Raw, so that bytes arrive as written; the slave stays open here, so the line keeps its
    # settings between the tests' opens.
    tty.setraw(slave)
    name = os.ttyname(slave)
    link = os.path.join(directory, "com5")
    os.symlink(name, link + ".new")
    os.replace(link + ".new", link)
    hold = os.path.join(directory, "hold")
    send = os.path.join(directory, "send")
    with open(os.path.join(directory, "received"), "wb", buffering=0) as received:
        print(name, flush=True)
        while os.getppid() == parent:
            if os.path.exists(send):
                with open(send, "rb") as sent:
                    os.write(master, sent.read())
                os.remove(send)
            if os.path.exists(hold):
                time.sleep(0.01)
                continue
            ready, _, _ = select.select([master], [], [], 0.05)
            if not ready:
                continue
            data = os.read(master, 4096)
            received.write(data)
            os.write(master, bytes([STATUS_REPLY]) * data.count(STATUS_REQUEST))


if __name__ == "__main__":
    main()
