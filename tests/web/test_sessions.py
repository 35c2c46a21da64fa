"""Every conformance scenario and every example session, run through the
browser page's window.orvikSession in one headless Chromium, compared with
the expected transcript as the desktop's scenarios are: line by line, a
message line with a free failure description matching any message line.

usage: test_sessions.py SITE CONFORMANCE_DIR EXAMPLES_DIR"""

import pathlib
import sys

from page_browser import browser, open_page, run_session, served

FIXED_MESSAGES = {"message Please enter the file name."}
NOT_INPUT = {"script", "expected", "expected-status"}


def lines_match(expected, got):
    if expected == got:
        return True
    both_messages = expected.startswith("message ") and got.startswith("message ")
    return both_messages and expected not in FIXED_MESSAGES and got not in FIXED_MESSAGES


def around_difference(want, have):
    """Both lines from a little before their first differing character."""
    at = next((i for i, (a, b) in enumerate(zip(want, have)) if a != b), min(len(want), len(have)))
    start = max(0, at - 40)
    cut = lambda line: ("..." if start else "") + line[start:at + 80] + ("..." if len(line) > at + 80 else "")
    return cut(want), cut(have)


def first_difference(expected, got):
    for number in range(max(len(expected), len(got))):
        want = expected[number] if number < len(expected) else "(no line)"
        have = got[number] if number < len(got) else "(no line)"
        if number >= len(expected) or number >= len(got) or not lines_match(want, have):
            return "line %d: expected %r, got %r" % ((number + 1,) + around_difference(want, have))
    return None


def split_lines(text):
    lines = text.split("\n")
    return lines[:-1] if lines and lines[-1] == "" else lines


def folder_files(folder, keep):
    return {str(path.relative_to(folder)): path.read_bytes()
            for path in sorted(folder.rglob("*")) if path.is_file() and keep(path)}


def cases(conformance, examples):
    for scenario in sorted(p for p in conformance.iterdir() if p.is_dir()):
        status = int((scenario / "expected-status").read_text().strip() or 0)
        files = folder_files(scenario, lambda p, s=scenario: str(p.relative_to(s)) not in NOT_INPUT)
        yield (scenario.name, (scenario / "script").read_bytes(), files,
               (scenario / "expected").read_text("latin-1"), status)
    inputs = folder_files(examples, lambda p: p.suffix in (".ctl", ".mem"))
    for session in sorted(examples.glob("*.session")):
        yield ("examples/" + session.name, session.read_bytes(), inputs,
               session.with_suffix(".transcript").read_text("latin-1"), 0)


def main(site, conformance, examples):
    failed = 0
    count = 0
    with served(site) as url, browser() as driver:
        open_page(driver, url)
        for name, script, files, expected, status in cases(pathlib.Path(conformance), pathlib.Path(examples)):
            count += 1
            result = run_session(driver, script, files)
            problem = first_difference(split_lines(expected), split_lines(result["transcript"]))
            if problem is None and result["status"] != status:
                problem = "exit status %d (%s), expected %d" % (result["status"], result["error"], status)
            if problem:
                failed += 1
                print("FAIL %s: %s" % (name, problem))
            else:
                print("ok   %s" % name)
    print("%d of %d sessions match on the page" % (count - failed, count))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
