#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A mail server on loopback for Nudgeon's mail program tests, built on aiosmtpd.

Listens on 127.0.0.1 at --port (0: a free port it picks itself) and, once it accepts
connections, prints "PORT <n>" on standard output. Each message it accepts goes to --dir as
NNNN.eml (the bytes as received) and NNNN.json (the envelope and the message as Python's own
mail parser reads it: decoded subject and body, header names and raw values, defects), each
written under a temporary name and renamed. --refuse ADDRESS answers RCPT TO for that address
with 550; --auth LOGIN:PASSWORD requires that login (AUTH PLAIN or LOGIN, without TLS);
--stall answers DATA with 354 and from then on reads nothing and answers nothing on that
connection. It ends on SIGTERM or SIGINT.
"""

import argparse
import asyncio
import email
import email.policy
import json
import os
import signal
import socket
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Sink:
    def __init__(self, folder, refused):
        self.folder = folder
        self.refused = {a.lower() for a in refused}
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refused:
            return "550 5.1.1 <%s>: Recipient address rejected: no such user" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        raw = envelope.original_content
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "headers": [[k, str(v)] for k, v in msg.raw_items()],
            "subject": str(msg["subject"]),
            "to": str(msg["to"]),
            "date": str(msg["date"]),
            "message_id": str(msg["message-id"]),
            "content_type": msg.get_content_type(),
            "charset": msg.get_content_charset(),
            "transfer_encoding": str(msg["content-transfer-encoding"]),
            "body": body.get_content().replace("\r\n", "\n") if body is not None else None,
            "defects": [repr(d) for d in msg.defects]
            + [repr(d) for h in msg.keys() for d in getattr(msg[h], "defects", ())],
            "authenticated": bool(getattr(session, "authenticated", False)),
        }
        base = os.path.join(self.folder, "%04d" % self.count)
        for ext, data in ((".eml", raw), (".json", json.dumps(summary, ensure_ascii=False).encode())):
            tmp = os.path.join(self.folder, ".%04d%s.part" % (self.count, ext))
            with open(tmp, "wb") as f:
                f.write(data)
            os.rename(tmp, base + ext)
        return "250 2.0.0 Message accepted for delivery"


class StallingSMTP(SMTP):
    async def smtp_DATA(self, arg):
        await self.push("354 End data with <CR><LF>.<CR><LF>")
        self.transport.pause_reading()
        await asyncio.Event().wait()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dir", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--refuse", action="append", default=[])
    ap.add_argument("--auth")
    ap.add_argument("--stall", action="store_true")
    args = ap.parse_args()
    os.makedirs(args.dir, exist_ok=True)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    sink = Sink(args.dir, args.refuse)
    options = {"hostname": "sink.test", "decode_data": False}
    if args.auth:
        login, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == login \
                and auth_data.password.decode() == password
            # handled=False: the server itself answers a refusal with 535.
            return AuthResult(success=ok, handled=False)

        options.update(auth_required=True, auth_require_tls=False, authenticator=authenticator)

    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", args.port))
    sock.listen(16)
    server = loop.run_until_complete(loop.create_server(lambda: (StallingSMTP if args.stall else SMTP)(sink, **options), sock=sock))
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, loop.stop)
    print("PORT %d" % sock.getsockname()[1], flush=True)
    try:
        loop.run_forever()
    finally:
        server.close()
        loop.run_until_complete(server.wait_closed())
        loop.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
