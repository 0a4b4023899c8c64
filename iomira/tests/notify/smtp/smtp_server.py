#!/usr/bin/python3
"""A real SMTP server (aiosmtpd) on loopback for the mail client's tests.

Prints "PORT <n>" once it listens and runs until its standard input closes. Everything it
accepts is written to the folder given with --dir: events.log holds one line per EHLO, AUTH
and message; each message's data, exactly as received, goes to message-<n>.eml. CRAM-MD5 and
DIGEST-MD5 are checked here with Python's own hmac and hashlib, independently of the client.
"""

import argparse
import asyncio
import base64
import email
import email.header
import email.policy
import hashlib
import hmac
import os
import secrets
import ssl
import sys
import time
import warnings

from aiosmtpd.smtp import MISSING, SMTP, AuthResult, LoginPassword


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--mode", choices=["plain", "starttls", "tls"], default="plain")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--user", default="user")
    p.add_argument("--password", default="secret")
    p.add_argument("--mechs", default="LOGIN,PLAIN,CRAM-MD5,DIGEST-MD5",
                   help="mechanisms the server accepts")
    p.add_argument("--advertise", help="AUTH line to offer instead, e.g. 'PLAIN LOGIN'")
    p.add_argument("--no-auth", action="store_true", help="offer no AUTH at all")
    p.add_argument("--realm", default="")
    return p.parse_args()


def md5_hex(data):
    return hashlib.md5(data).hexdigest()


def digest_fields(answer):
    """Splits a DIGEST-MD5 answer into its directives (values unquoted)."""
    fields, rest = {}, answer
    while rest:
        key, _, rest = rest.partition("=")
        if rest.startswith('"'):
            value, _, rest = rest[1:].partition('"')
            rest = rest[1:] if rest.startswith(",") else rest
        else:
            value, _, rest = rest.partition(",")
        fields[key.strip()] = value
    return fields


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    def event(self, *words):
        with open(os.path.join(self.folder, "events.log"), "a", encoding="utf-8") as f:
            f.write(" ".join(str(w) for w in words) + "\n")

    def message(self, data):
        self.count += 1
        with open(os.path.join(self.folder, f"message-{self.count}.eml"), "wb") as f:
            f.write(data)
        return self.count


class Handler:
    def __init__(self, args, recorder):
        self.args = args
        self.recorder = recorder

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        tls = "tls" if server._tls_protocol or self.args.mode == "tls" else "plain"
        self.recorder.event("EHLO", hostname, tls)
        kept = [r for r in responses if not r.startswith("250-AUTH")]
        if self.args.no_auth:
            return kept
        if self.args.advertise and any(r.startswith("250-AUTH") for r in responses):
            kept.insert(1, "250-AUTH " + self.args.advertise)
            return kept
        return responses

    async def handle_DATA(self, server, session, envelope):
        number = self.recorder.message(envelope.original_content)
        parsed = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        subject = str(email.header.make_header(email.header.decode_header(parsed["Subject"] or "")))
        sender = str(email.header.make_header(email.header.decode_header(parsed["From"] or "")))
        self.recorder.event("MESSAGE", number, envelope.mail_from, ",".join(envelope.rcpt_tos))
        self.recorder.event("SUBJECT", number, subject)
        self.recorder.event("FROM", number, sender)
        self.recorder.event("BODY", number, parsed.get_content().rstrip("\r\n"))
        return "250 2.0.0 Message accepted"

    def check(self, mechanism, login, ok):
        self.recorder.event("AUTH", mechanism, login.decode("utf-8", "replace"), "ok" if ok else "bad")
        if not ok:
            return AuthResult(success=False, handled=False)
        return AuthResult(success=True, auth_data=LoginPassword(login, b""))

    async def auth_CRAM__MD5(self, server, args):
        challenge = f"<{secrets.randbelow(10**9)}.{int(time.time())}@iomira.test>".encode()
        answer = await server.challenge_auth(challenge)
        if answer is MISSING:
            return AuthResult(success=False, handled=True)
        login, _, digest = answer.rpartition(b" ")
        expected = hmac.new(self.args.password.encode(), challenge, hashlib.md5).hexdigest()
        ok = login == self.args.user.encode() and hmac.compare_digest(digest, expected.encode())
        return self.check("CRAM-MD5", login, ok)

    async def auth_DIGEST__MD5(self, server, args):
        nonce = secrets.token_hex(12)
        realm = self.args.realm
        challenge = (f'realm="{realm}",' if realm else "") + \
            f'nonce="{nonce}",qop="auth",charset=utf-8,algorithm=md5-sess'
        answer = await server.challenge_auth(challenge)
        if answer is MISSING:
            return AuthResult(success=False, handled=True)
        f = digest_fields(answer.decode("utf-8", "replace"))
        peer = server.session.peer[0]
        user = self.args.user.encode()
        uri = f"smtp/{peer}"
        secret = hashlib.md5(user + b":" + realm.encode() + b":" + self.args.password.encode()).digest()
        a1 = secret + f":{nonce}:{f.get('cnonce', '')}".encode()
        ha1, ha2 = md5_hex(a1), md5_hex(f"AUTHENTICATE:{uri}".encode())
        expected = md5_hex(f"{ha1}:{nonce}:00000001:{f.get('cnonce', '')}:auth:{ha2}".encode())
        ok = (f.get("username") == self.args.user and f.get("nonce") == nonce
              and f.get("realm", "") == realm and f.get("nc") == "00000001"
              and f.get("qop") == "auth" and f.get("digest-uri") == uri
              and f.get("charset") == "utf-8"
              and hmac.compare_digest(f.get("response", ""), expected))
        if not ok:
            return self.check("DIGEST-MD5", f.get("username", "").encode(), False)
        rspauth = md5_hex(f"{ha1}:{nonce}:00000001:{f['cnonce']}:auth:{md5_hex((':' + uri).encode())}".encode())
        final = await server.challenge_auth(f"rspauth={rspauth}")
        if final is MISSING or final != b"":
            return AuthResult(success=False, handled=True)
        return self.check("DIGEST-MD5", user, True)


def authenticator(args, recorder):
    def check(server, session, envelope, mechanism, data):
        ok = data.login == args.user.encode() and data.password == args.password.encode()
        recorder.event("AUTH", mechanism, data.login.decode("utf-8", "replace"), "ok" if ok else "bad")
        return AuthResult(success=ok, handled=False)
    return check


def tls_context(args):
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)
    return context


async def main():
    warnings.simplefilter("ignore")  # aiosmtpd warns about its own API on every AUTH
    args = parse_args()
    recorder = Recorder(args.dir)
    handler = Handler(args, recorder)
    all_mechs = {"LOGIN", "PLAIN", "CRAM-MD5", "DIGEST-MD5"}
    excluded = sorted(all_mechs - set(args.mechs.split(",")))
    loop = asyncio.get_running_loop()

    def factory():
        return SMTP(handler, hostname="iomira.test", loop=loop,
                    tls_context=tls_context(args) if args.mode == "starttls" else None,
                    require_starttls=args.mode == "starttls",
                    auth_require_tls=args.mode == "starttls",
                    auth_exclude_mechanism=excluded,
                    authenticator=authenticator(args, recorder))

    server = await loop.create_server(factory, host="127.0.0.1", port=0,
                                      ssl=tls_context(args) if args.mode == "tls" else None)
    print(f"PORT {server.sockets[0].getsockname()[1]}", flush=True)
    # Ends with the test that started it: its standard input closes when the test is done.
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
