#!/usr/bin/env python3
"""Keeps the manual pages and the bash completion true to what the programs say of themselves.

  command_line_docs.py man SONALO SONALO_CLI SONALO_1 SONALO_CLI_1
  command_line_docs.py completion SONALO_CLI COMPLETION_SCRIPT

man: every command sonalo-cli lists has a section in sonalo-cli(1) naming each option of its
--help, no section is left for a command that is gone, every exit code the tool gives is
documented, both pages carry the version the programs print, and `man -l` renders them
without a warning. completion: the script offers exactly the commands and options --help names.
"""
import os
import re
import subprocess
import sys

failures = []


def fail(message):
    failures.append(message)


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=60, **kw)


def cli_commands(cli):
    """The command paths `sonalo-cli --help` lists, e.g. ['playlist cat', 'search']."""
    out = run([cli, "--help"]).stdout
    names = []
    for line in out.splitlines():
        m = re.match(r"^  (\S+(?: \S+)*?)\s{2,}", line)
        if m:
            names.append(m.group(1))
    if not names:
        fail("sonalo-cli --help lists no commands")
    return names


def options_in(text):
    return set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", text)) - {"-", "--"}


def cli_options(cli, command):
    result = run([cli, *command.split(), "--help"])
    if result.returncode != 0:
        fail(f"sonalo-cli {command} --help exited {result.returncode}")
    # The usage lines name every option; the text below may mention other commands' options.
    usage = result.stdout.split("\n\n")[0]
    return options_in(usage) - {"--help", "-h"}


def man_text(page):
    """The page's source with font changes dropped and \\- read as -."""
    with open(page, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"\\f[BIRP]", "", text)
    return text.replace("\\-", "-").replace("\\(:a", "ä")


def sections(text, macro):
    """Heading -> body for every `.SH`/`.SS` heading."""
    parts = re.split(rf"^\.{macro} (.*)$", text, flags=re.M)
    return {parts[i].strip('"'): parts[i + 1] for i in range(1, len(parts), 2)}


def documented_exit_codes(text):
    body = sections(text, "SH").get("EXIT STATUS", "")
    return set(re.findall(r"^\.B (\d+)$", body, flags=re.M))


def check_man(sonalo, cli, sonalo_page, cli_page):
    cli_text = man_text(cli_page)
    subsections = sections(cli_text, "SS")
    commands = cli_commands(cli)
    for command in commands:
        heading = next((h for h in subsections if h == command or h.startswith(command + " ")), None)
        if heading is None:
            fail(f"sonalo-cli(1) has no section for '{command}'")
            continue
        for option in sorted(cli_options(cli, command)):
            if not re.search(rf"(?<![\w-]){re.escape(option)}(?![\w-])", heading + subsections[heading]):
                fail(f"sonalo-cli(1), '{command}': {option} is not described")
    for heading in subsections:
        if not any(heading == c or heading.startswith(c + " ") for c in commands):
            fail(f"sonalo-cli(1) describes '{heading}', which sonalo-cli does not list")

    # Exit codes the tool really gives: help, a failure, bad usage.
    given = {
        str(run([cli, "--help"]).returncode),
        str(run([cli, "text", "detect", "/nonexistent/sonalo-test"]).returncode),
        str(run([cli]).returncode),
        str(run([cli, "search"]).returncode),
    }
    missing = given - documented_exit_codes(cli_text)
    if missing:
        fail(f"sonalo-cli(1) does not document exit codes {sorted(missing)}")

    # sonalo(1) against `sonalo --help`: options, environment, exit codes.
    sonalo_text = man_text(sonalo_page)
    help_result = run([sonalo, "--help"])
    if help_result.returncode != 0 or "Usage: sonalo" not in help_result.stdout:
        fail(f"sonalo --help: exit {help_result.returncode}, {help_result.stdout!r}")
    options_body = sections(sonalo_text, "SH").get("OPTIONS", "")
    for option in sorted(options_in(help_result.stdout.split("Environment:")[0])):
        if not re.search(rf"(?<![\w-]){re.escape(option)}(?![\w-])", options_body):
            fail(f"sonalo(1) does not describe {option}")
    environment_body = sections(sonalo_text, "SH").get("ENVIRONMENT", "")
    for variable in sorted(set(re.findall(r"\bSONALO_[A-Z_]+\b", help_result.stdout))):
        if variable not in environment_body:
            fail(f"sonalo(1) does not describe {variable}")
    helped_codes = set(re.findall(r"^  (\d+)  ", help_result.stdout.split("Exit status:")[-1], flags=re.M))
    if not helped_codes or helped_codes != documented_exit_codes(sonalo_text):
        fail(f"exit codes: sonalo --help {sorted(helped_codes)}, sonalo(1) {sorted(documented_exit_codes(sonalo_text))}")

    version = run([sonalo, "--version"]).stdout.split()
    for page, text in ((sonalo_page, sonalo_text), (cli_page, cli_text)):
        th = re.search(r'^\.TH .*"Sonalo ([^"]+)"', text, flags=re.M)
        if len(version) != 2 or not th or th.group(1) != version[1]:
            fail(f"{os.path.basename(page)}: version {th and th.group(1)!r}, sonalo --version {version!r}")

    for page in (sonalo_page, cli_page):
        result = run(["man", "--warnings", "-l", page],
                     env={**os.environ, "MANWIDTH": "80", "MANPAGER": "cat"})
        if result.returncode != 0 or result.stderr.strip() or "NAME" not in result.stdout:
            fail(f"man -l {os.path.basename(page)}: exit {result.returncode}, {result.stderr.strip()!r}")


def completions(script, words):
    """What the completion offers for the command line `words` (the last one being completed)."""
    quoted = " ".join("'" + w.replace("'", "'\\''") + "'" for w in words)
    program = (f"source '{script}'; COMP_WORDS=({quoted}); COMP_CWORD={len(words) - 1}; "
               "_sonalo_cli; printf '%s\\n' \"${COMPREPLY[@]}\"")
    result = run(["bash", "--norc", "--noprofile", "-c", program])
    if result.returncode != 0:
        fail(f"completion of {words}: {result.stderr.strip()}")
    return set(filter(None, result.stdout.splitlines()))


def check_completion(cli, script):
    commands = cli_commands(cli)
    cases = [(["sonalo-cli", ""], {c.split()[0] for c in commands} | {"--help"})]
    for group in {c.split()[0] for c in commands if " " in c}:
        subs = {c.split()[1] for c in commands if c.startswith(group + " ")}
        cases.append((["sonalo-cli", group, ""], subs | {"--help"}))
    for command in commands:
        cases.append((["sonalo-cli", *command.split(), "-"], cli_options(cli, command) | {"--help"}))
    cases.append((["sonalo-cli", "pl"], {"playlist", "play"}))
    cases.append((["sonalo-cli", "export", "x.slp", "--encoding", "utf16"], {"utf16le", "utf16be"}))
    cases.append((["sonalo-cli", "search", "x.slp", "t", "--columns", "artist,ti"], {"artist,title"}))
    for words, expected in cases:
        got = completions(script, words)
        if got != expected:
            fail(f"completion of {words[1:]}: {sorted(got)}, expected {sorted(expected)}")


def main():
    if len(sys.argv) == 6 and sys.argv[1] == "man":
        check_man(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "completion":
        check_completion(*sys.argv[2:])
    else:
        sys.exit(__doc__)
    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


main()
