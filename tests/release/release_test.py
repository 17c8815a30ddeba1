#!/usr/bin/python3
"""Tests of signed releases: scripts/release.sh with a throw-away certificate authority made here.

    release_test.py --bin DIR --state DIR (setup | cleanup | signing | configuration | timestamp
                                           | wine_trust --wine-state DIR)

`setup` makes the authority, its code-signing and timestamping certificates and a signed copy of the
build's program in STATE, for the cases that run under Wine; `cleanup` deletes STATE, keys included.
Every other action is one case; CTest runs each as a test between the two.
"""

import argparse
import os
import re
import secrets
import shutil
import signal
import subprocess
import sys
import time
from contextlib import contextmanager
from pathlib import Path

import pefile

ROOT = Path(__file__).resolve().parents[2]
RELEASE = ROOT / "scripts" / "release.sh"
WINE_RUN = ROOT / "scripts" / "wine-run.sh"
TSA_SERVER = Path(__file__).resolve().parent / "tsa_server.py"
WINDOW_DESCRIPTION = ROOT / "ui" / "window_description.cpp"

# The answers of WinVerifyTrust that the cases expect.
TRUST_OK, TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST = 0, 0x800B0100, 0x80096010
CERT_TRUST_IS_UNTRUSTED_ROOT = 0x20

EXTENSIONS = """\
[signer]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[timestamper]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
"""

TSA_CONFIG = """\
[tsa]
default_tsa = local
[local]
serial = {folder}/tsa-serial
signer_cert = {folder}/timestamper.pem
certs = {folder}/authority.pem
signer_key = {folder}/timestamper.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
"""


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(command, env=None, cwd=None):
    """Runs a command to completion and returns (exit code, output), stdout and stderr together."""
    result = subprocess.run([str(c) for c in command], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return result.returncode, result.stdout.decode(errors="replace")


def run_ok(command, env=None):
    code, output = run(command, env=env)
    check(code == 0, f"{' '.join(map(str, command))} exited with {code}: {output.strip()}")
    return output


class Authority:
    """A throw-away certificate authority with a code-signing and a timestamping certificate under it,
    and the signer's PKCS#12 with its chain, protected by a random password kept in a file."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.pem = self.folder / "authority.pem"
        self.pkcs12 = self.folder / "signer.p12"
        self.password_file = self.folder / "signer.password"
        self.tsa_config = self.folder / "tsa.cnf"

    @property
    def password(self):
        return self.password_file.read_text().strip()

    def make(self, name):
        self.folder.mkdir(parents=True)
        extensions = self.folder / "extensions.cnf"
        extensions.write_text(EXTENSIONS)
        key, pem = self.folder / "authority.key", self.pem
        run_ok(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-noenc", "-keyout", key, "-out", pem,
                "-days", "3", "-subj", f"/CN={name}", "-config", "/dev/null", "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"])
        for role in ("signer", "timestamper"):
            request = self.folder / f"{role}.csr"
            run_ok(["openssl", "req", "-newkey", "rsa:2048", "-noenc", "-keyout", self.folder / f"{role}.key",
                    "-out", request, "-subj", f"/CN={name} {role}", "-config", "/dev/null"])
            run_ok(["openssl", "x509", "-req", "-in", request, "-CA", pem, "-CAkey", key, "-CAcreateserial",
                    "-out", self.folder / f"{role}.pem", "-days", "2", "-extfile", extensions, "-extensions", role])
        self.password_file.write_text(secrets.token_urlsafe(24) + "\n")
        self.password_file.chmod(0o600)
        run_ok(["openssl", "pkcs12", "-export", "-inkey", self.folder / "signer.key", "-in", self.folder / "signer.pem",
                "-certfile", pem, "-passout", f"file:{self.password_file}", "-out", self.pkcs12])
        (self.folder / "tsa-serial").write_text("01\n")
        self.tsa_config.write_text(TSA_CONFIG.format(folder=self.folder))
        return self


def release(unsigned, out, pkcs12=None, password_file=None, timestamp_url=None, path_prefix=None):
    """Runs release.sh as `make release` does, configured only by the given variables."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("ORBELINCHK_") and "proxy" not in k.lower()}
    for name, value in (("ORBELINCHK_SIGN_PKCS12", pkcs12), ("ORBELINCHK_SIGN_PASSWORD_FILE", password_file),
                        ("ORBELINCHK_TIMESTAMP_URL", timestamp_url)):
        if value is not None:
            env[name] = str(value)
    if path_prefix:
        env["PATH"] = f"{path_prefix}:{env['PATH']}"
    return run([RELEASE, unsigned, out], env=env)


def verify(signed, *options):
    return run(["osslsigncode", "verify", *options, "-in", signed])


def version_string(path, name):
    pe = pefile.PE(str(path))
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            if name.encode() in table.entries:
                return table.entries[name.encode()].decode()
    raise Failure(f"no {name} in the version block of {path}")


def product_url():
    match = re.search(r'kProductUrl = u"([^"]+)"', WINDOW_DESCRIPTION.read_text(encoding="utf-8"))
    check(match, f"no kProductUrl in {WINDOW_DESCRIPTION}")
    return match.group(1)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def changed_byte(source, target, offset):
    data = bytearray(source.read_bytes())
    data[offset] ^= 0x01
    target.write_bytes(data)


def section_middle(path, name):
    """A file offset in the middle of a section's raw data: bytes the Authenticode digest covers."""
    for section in pefile.PE(str(path), fast_load=True).sections:
        if section.Name.rstrip(b"\0").decode() == name:
            return section.PointerToRawData + section.SizeOfRawData // 2
    raise Failure(f"no {name} section in {path}")


def shims(folder, log):
    """Stand-ins for osslsigncode and openssl that record their command lines, then run the real ones."""
    folder.mkdir(parents=True)
    for tool in ("osslsigncode", "openssl"):
        shim = folder / tool
        real = shutil.which(tool)
        shim.write_text(f'#!/bin/sh\n# Records its command line for the test, then runs the real {tool}.\n'
                        f'printf "%s\\n" "{tool} $*" >>"{log}"\nexec "{real}" "$@"\n')
        shim.chmod(0o755)
    return folder


class Case:
    def __init__(self, bin_dir, state, name):
        self.bin = Path(bin_dir).resolve()
        self.unsigned = self.bin / "orbelinchk.exe"
        self.state = Path(state)
        self.authority = Authority(self.state / "authority")
        self.work = self.state / "cases" / name
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)


def setup(args):
    shutil.rmtree(args.state, ignore_errors=True)
    case = Case(args.bin, args.state, "setup")
    case.authority.make("orbelinchk throw-away test CA")
    code, output = release(case.unsigned, case.state / "signed", case.authority.pkcs12, case.authority.password_file)
    check(code == 0, f"release.sh exited with {code}: {output}")
    changed_byte(case.state / "signed" / "orbelinchk.exe", case.state / "changed.exe",
                 section_middle(case.unsigned, ".text"))


def cleanup(args):
    shutil.rmtree(args.state, ignore_errors=True)


def signing(args):
    """Signed by the configured certificate: SHA-256, described, verified against its authority alone; one
    byte changed breaks it; without the signature it is the build's own bytes; the password stays hidden."""
    case = Case(args.bin, args.state, "signing")
    authority = case.authority
    commands = case.work / "commands.log"
    out = case.work / "dist"
    code, output = release(case.unsigned, out, authority.pkcs12, authority.password_file,
                           path_prefix=shims(case.work / "shims", commands))
    check(code == 0, f"release.sh exited with {code}: {output}")
    signed = out / "orbelinchk.exe"

    code, report = verify(signed, "-CAfile", authority.pem)
    check(code == 0, f"osslsigncode verify against the authority failed: {report}")
    for line in ("Message digest algorithm  : SHA256", "Signature verification: ok",
                 f"Text description: {version_string(case.unsigned, 'FileDescription')}",
                 f"URL description: {product_url()}", "Subject: /CN=orbelinchk throw-away test CA signer"):
        check(line in report, f"osslsigncode verify does not say {line!r}: {report}")
    (case.work / "verify.txt").write_text(report)

    stranger = Authority(case.work / "stranger").make("An unrelated CA")
    code, report = verify(signed, "-CAfile", stranger.pem)
    check(code != 0, f"verify against an unrelated authority passed: {report}")

    for section in (".text", ".rsrc"):
        changed = case.work / f"changed{section}.exe"
        changed_byte(signed, changed, section_middle(signed, section))
        code, report = verify(changed, "-CAfile", authority.pem)
        check(code != 0, f"verify passed with one byte changed in {section}: {report}")
        check("MISMATCH" in report, f"verify should report the digest mismatch for {section}: {report}")

    removed = case.work / "removed.exe"
    run_ok(["osslsigncode", "remove-signature", "-in", signed, "-out", removed])
    check(removed.read_bytes() == case.unsigned.read_bytes(), "without its signature the file differs from the build")

    sums = (out / "SHA256SUMS").read_text()
    check(sums.split() == [run_ok(["sha256sum", signed]).split()[0], "orbelinchk.exe"], f"SHA256SUMS: {sums!r}")

    # Every command line release.sh gave the tools, as ps would have shown it, and everything it printed.
    seen = commands.read_text()
    check("osslsigncode sign " in seen and "-readpass" in seen, f"osslsigncode was not given -readpass: {seen}")
    check(not re.search(r"(^| )-pass ", seen), f"a password was passed on a command line: {seen}")
    for where, text in (("a command line", seen), ("release.sh's output", output)):
        check(authority.password not in text, f"the password appears in {where}")


# A configuration that release.sh must refuse: (what, variables, words its message must contain).
REFUSED = [
    ("certificate without password file", {"pkcs12": "P12"}, "ORBELINCHK_SIGN_PASSWORD_FILE"),
    ("password file without certificate", {"password_file": "PASSWORD"}, "ORBELINCHK_SIGN_PKCS12"),
    ("timestamp server without certificate", {"timestamp_url": "http://127.0.0.1:9/"}, "no certificate"),
    ("certificate that is not there", {"pkcs12": "MISSING", "password_file": "PASSWORD"}, "not a file"),
    ("password file that is a folder", {"pkcs12": "P12", "password_file": "FOLDER"}, "not a file"),
    ("wrong password", {"pkcs12": "P12", "password_file": "WRONG"}, "cannot open"),
    ("timestamp address that is not http", {"pkcs12": "P12", "password_file": "PASSWORD",
                                            "timestamp_url": "ftp://127.0.0.1/"}, "http"),
]


def configuration(args):
    """Without a certificate: a plain statement, the unsigned build and its checksum. Half or wrongly
    configured: a clear refusal, a non-zero exit, and nothing left that looks like a release."""
    case = Case(args.bin, args.state, "configuration")
    out = case.work / "unsigned"
    code, output = release(case.unsigned, out)
    check(code == 0, f"release.sh without a certificate exited with {code}: {output}")
    check("NOT SIGNED: no code-signing certificate is configured" in output, f"no plain statement: {output}")
    check((out / "orbelinchk.exe").read_bytes() == case.unsigned.read_bytes(), "the unsigned file is not the build")
    code, checked = run(["sha256sum", "--check", "--strict", "SHA256SUMS"], cwd=out)
    check(code == 0 and checked.strip() == "orbelinchk.exe: OK", f"SHA256SUMS of the unsigned file: {checked}")

    wrong = case.work / "wrong.password"
    wrong.write_text("not-" + case.authority.password + "\n")
    (case.work / "folder").mkdir()
    paths = {"P12": case.authority.pkcs12, "PASSWORD": case.authority.password_file, "WRONG": wrong,
             "MISSING": case.work / "missing.p12", "FOLDER": case.work / "folder"}
    for number, (what, variables, words) in enumerate(REFUSED):
        out = case.work / f"refused-{number}"
        out.mkdir()
        (out / "SHA256SUMS").write_text("left by an earlier run\n")
        given = {k: paths.get(v, v) for k, v in variables.items()}
        code, output = release(case.unsigned, out, **given)
        check(code != 0, f"{what}: release.sh exited with 0: {output}")
        check(words in output, f"{what}: the message should mention {words!r}: {output}")
        check(sorted(p.name for p in out.iterdir()) == [], f"{what}: left {sorted(p.name for p in out.iterdir())}")
        check(case.authority.password not in output, f"{what}: the password appears in the output")


@contextmanager
def timestamp_server(authority, work):
    """Yields the address of a timestamp server whose certificate comes from the given authority."""
    port_file, log_file = work / f"tsa-{authority.folder.name}.port", work / f"tsa-{authority.folder.name}.log"
    log = open(log_file, "wb")
    server = subprocess.Popen(["/usr/bin/python3", TSA_SERVER, authority.tsa_config, port_file],
                              stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT, cwd=work)
    try:
        deadline = time.monotonic() + 10
        while not port_file.exists():
            check(server.poll() is None, f"the timestamp server ended: {log_file.read_text()}")
            check(time.monotonic() < deadline, "the timestamp server did not start within 10 s")
            time.sleep(0.05)
        yield f"http://127.0.0.1:{port_file.read_text()}/"
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait(timeout=10)
        log.close()


def timestamp(args):
    """With a timestamp server configured, the signature carries its RFC 3161 timestamp, which verifies
    against the server's authority and against no other; release.sh refuses a timestamp it cannot verify."""
    case = Case(args.bin, args.state, "timestamp")
    authority = case.authority
    out = case.work / "dist"
    with timestamp_server(authority, case.work) as url:
        code, output = release(case.unsigned, out, authority.pkcs12, authority.password_file, timestamp_url=url)
    check(code == 0, f"release.sh with a timestamp server exited with {code}: {output}")
    requests = (case.work / "tsa-authority.log").read_text()
    check(re.search(r'"POST / HTTP/1\.[01]" 200', requests), f"the timestamp server answered no request: {requests}")

    signed = out / "orbelinchk.exe"
    code, report = verify(signed, "-CAfile", authority.pem, "-TSA-CAfile", authority.pem)
    check(code == 0, f"osslsigncode verify with the timestamp's authority failed: {report}")
    for line in ("Timestamp Server Signature verification: ok", "Signature verification: ok",
                 "Subject: /CN=orbelinchk throw-away test CA timestamper"):
        check(line in report, f"osslsigncode verify does not say {line!r}: {report}")
    (case.work / "verify.txt").write_text(report)

    stranger = Authority(case.work / "stranger").make("An unrelated CA")
    # osslsigncode 2.9 still exits with 0 when only the timestamp fails: its report says which part failed,
    # and release.sh reads that line.
    code, report = verify(signed, "-CAfile", authority.pem, "-TSA-CAfile", stranger.pem)
    check("Timestamp Server Signature verification: failed" in report,
          f"the timestamp verified against an unrelated authority: {report}")
    refused = case.work / "refused"
    with timestamp_server(stranger, case.work) as url:
        code, output = release(case.unsigned, refused, authority.pkcs12, authority.password_file, timestamp_url=url)
    check(code != 0 and "no verified timestamp" in output,
          f"release.sh accepted a timestamp from an authority that neither its chain nor the system trusts: {output}")
    check(list(refused.iterdir()) == [], f"release.sh left {list(refused.iterdir())} after refusing the file")


def wine_trust(args):
    """Wine's WinVerifyTrust, through a small program of ours, on the signed file, the build and a signed
    file with one byte changed."""
    case = Case(args.bin, args.state, "wine_trust")
    files = [("signed", case.state / "signed" / "orbelinchk.exe"), ("unsigned", case.unsigned),
             ("changed", case.state / "changed.exe")]
    code, output = run([WINE_RUN, args.wine_state, case.bin / "verify_trust.exe",
                        *(windows_path(path) for _, path in files)])
    (case.work / "verify_trust.txt").write_text(output)
    check(code == 0, f"verify_trust.exe exited with {code}: {output}")
    answers = {path: (int(code, 16), int(chain, 16)) for code, chain, path
               in re.findall(r"^(0x[0-9A-F]{8}) chain=(0x[0-9A-F]{8}) (.+?)\r?$", output, re.MULTILINE)}
    # Wine checks the digest and that a signature is there, and it does build the signer's chain and see
    # that it ends in an authority it does not trust (this one is in no store of the prefix), yet it still
    # accepts the file: trusting the chain is osslsigncode verify's to prove, in release.sh and above.
    # Windows would answer CERT_E_UNTRUSTEDROOT (0x800B0109) here.
    expected = {"signed": (TRUST_OK, CERT_TRUST_IS_UNTRUSTED_ROOT), "unsigned": (TRUST_E_NOSIGNATURE, None),
                "changed": (TRUST_E_BAD_DIGEST, None)}
    for what, path in files:
        want = expected[what]
        got = answers.get(windows_path(path))
        check(got is not None and got[0] == want[0] and want[1] in (None, got[1]),
              f"WinVerifyTrust on the {what} file: expected {want}, got {got}: {output}")


CASES = {"setup": setup, "cleanup": cleanup, "signing": signing, "configuration": configuration,
         "timestamp": timestamp, "wine_trust": wine_trust}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="the build's bin folder: orbelinchk.exe, verify_trust.exe")
    parser.add_argument("--state", required=True, help="folder for the authority and the cases' files")
    parser.add_argument("--wine-state", help="a Wine session's state folder (wine-session.sh), for wine_trust")
    parser.add_argument("action", choices=list(CASES))
    args = parser.parse_args()
    args.state = Path(args.state).resolve()
    try:
        CASES[args.action](args)
    except Exception as failure:  # any failure, expected or not, is the case's
        print(f"{args.action}: FAIL: {failure}" if isinstance(failure, Failure)
              else f"{args.action}: FAIL: {type(failure).__name__}: {failure}", flush=True)
        return 1
    print(f"{args.action}: PASS", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
