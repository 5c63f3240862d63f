#!/usr/bin/env python3
"""SMTP server for the mail tests, on 127.0.0.1 at a free port.

servidor_smtp.py CARPETA [--tls] USUARIO CLAVE

It listens before it answers: it prints "PUERTO n PID p" and the first
process ends, while the server goes on in process p until it is ended.
With --tls it makes a self-signed certificate for 127.0.0.1 in CARPETA
(cert.pem, which the test trusts as its authority file) and speaks SMTP
over SSL from the first byte. It offers AUTH in both modes and accepts only
USUARIO / CLAVE, and refuses every recipient whose address starts with
"rechazado". It records in
CARPETA/registro.json every connection, every login attempt and every
message received (sender, recipients, subject, body, the attachments'
names and contents in order, its Message-ID and Date, and what Python's
email parser in strict mode finds wrong in it: an empty list when nothing).
"""
import asyncio
import json
import os
import socket
import ssl
import subprocess
import sys
from email import policy
from email.parser import BytesParser

from aiosmtpd.smtp import SMTP, AuthResult


def main():
    carpeta = sys.argv[1]
    tls = "--tls" in sys.argv
    usuario, clave = [a for a in sys.argv[2:] if a != "--tls"]
    registro = {"conexiones": 0, "logins": [], "mensajes": []}
    ruta_registro = os.path.join(carpeta, "registro.json")

    def guardar():
        tmp = ruta_registro + ".tmp"
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(registro, f, ensure_ascii=False)
        os.replace(tmp, ruta_registro)

    def autenticar(server, session, envelope, mechanism, auth_data):
        login = auth_data.login.decode()
        registro["logins"].append(login)
        guardar()
        ok = login == usuario and auth_data.password.decode() == clave
        # handled=False: the server itself answers a refused login with 535.
        return AuthResult(success=ok, handled=False)

    def estricto(contenido):
        """The defects of a message read with email.policy.strict, which
        raises on the first defect of its structure; the headers' own defects
        are gathered by reading every header of every part."""
        try:
            m = BytesParser(policy=policy.strict).parsebytes(contenido)
            problemas = []
            for parte in m.walk():
                problemas += [type(d).__name__ for d in parte.defects]
                for nombre, valor in parte.items():
                    problemas += ["%s: %s" % (nombre, type(d).__name__) for d in getattr(valor, "defects", ())]
                for nombre, crudo in parte.raw_items():
                    if any(ord(c) > 127 for c in crudo):
                        problemas.append("%s: 8 bits sin codificar" % nombre)
            return problemas
        except Exception as e:  # strict: the first defect raises
            return ["%s: %s" % (type(e).__name__, e)]

    class Manejador:
        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            if address.startswith("rechazado"):
                return "550 5.1.1 Destinatario rechazado"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            m = BytesParser(policy=policy.default).parsebytes(envelope.content)
            cuerpo = m.get_body(preferencelist=("plain",))
            registro["mensajes"].append({
                "de": envelope.mail_from,
                "para": envelope.rcpt_tos,
                "autenticado": bool(session.authenticated),
                "asunto": str(m["subject"]),
                "cuerpo": cuerpo.get_content() if cuerpo else "",
                "adjuntos": [[a.get_filename(), a.get_content().decode("latin-1")
                              if isinstance(a.get_content(), bytes) else a.get_content()]
                             for a in m.iter_attachments()],
                "message_id": str(m["message-id"] or ""),
                "fecha": m["date"].datetime.isoformat() if m["date"] and m["date"].datetime else "",
                "estricto": estricto(envelope.original_content),
                "crudo": envelope.original_content.decode("latin-1"),
            })
            guardar()
            return "250 OK"

    contexto = None
    if tls:
        cert = os.path.join(carpeta, "cert.pem")
        clave_tls = os.path.join(carpeta, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1", "-keyout", clave_tls, "-out", cert],
                       check=True, capture_output=True)
        contexto = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        contexto.load_cert_chain(cert, clave_tls)

    def fabrica():
        registro["conexiones"] += 1
        guardar()
        return SMTP(Manejador(), authenticator=autenticar, auth_require_tls=False)

    escucha = socket.create_server(("127.0.0.1", 0))
    guardar()
    pid = os.fork()
    if pid:
        print("PUERTO", escucha.getsockname()[1], "PID", pid, flush=True)
        os._exit(0)
    nulo = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(nulo, fd)

    async def servir():
        servidor = await asyncio.get_running_loop().create_server(fabrica, sock=escucha, ssl=contexto)
        await servidor.serve_forever()

    asyncio.run(servir())


if __name__ == "__main__":
    main()
