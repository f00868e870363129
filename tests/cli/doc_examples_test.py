#!/usr/bin/env python3
"""The examples of docs/driver-scripts.md run as written: the script block saved as the file the
text names, the shell lines run with the built harbor, the success line and the sample failure
exactly as the text shows them.

    doc_examples_test.py HARBOR MODULE CONTENT DOC
"""
import os
import re
import subprocess
import sys
import tempfile

harbor, module, content, doc = (os.path.abspath(a) for a in sys.argv[1:5])
text = open(doc, encoding="utf-8").read()
blocks = re.findall(r"^```(\w*)\n(.*?)^```", text, re.S | re.M)
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def run(command, cwd, env):
    # `harbor` in the text is the built program, on the built module and the source content.
    wrapper = (f'harbor() {{ case $1 in --*) "{harbor}" --module "{module}" --content "{content}" "$@" ;;'
               f' *) "{harbor}" "$@" ;; esac; }}\n')
    return subprocess.run(["bash", "-c", wrapper + command], cwd=cwd, env=env, capture_output=True, text=True)


scripts = [body for kind, body in blocks if kind == "harbor"]
shells = [body for kind, body in blocks if kind == "sh" and "--script signin.harbor" in body]
check(len(scripts) >= 1 and len(shells) == 1, "the text has a script block and the shell lines that run it")
if failures:
    sys.exit(1)
script = scripts[0]
with tempfile.TemporaryDirectory() as home:
    env = dict(os.environ, HOME=home, HARBOR_PASSWORD_COST="fast")
    with open(os.path.join(home, "signin.harbor"), "w", encoding="utf-8") as f:
        f.write(script)
    outputs = []
    for line in shells[0].strip().splitlines():
        command = line.split("  #")[0].strip()
        result = run(command, home, env)
        outputs.append(result.stdout)
        check(result.returncode == 0,
              f"{command} exits 0" + ("" if result.returncode == 0 else f" (it gave {result.returncode}: {result.stderr[-300:]})"))

    held = re.search(r"^signin\.harbor: \d+ lines held$", text, re.M)
    check(held is not None and held.group(0) + "\n" == outputs[1],
          f"the success line is as the text shows it (harbor printed {outputs[1]!r})")

    # The sample failure: the line the text names, changed as it says.
    sample = re.search(r'With `"(\w+)"` on line (\d+) of the example above:\n\n```\n(.*?)\n```', text)
    check(sample is not None, "the text shows a sample failure")
    if sample:
        name, number, expected = sample.group(1), int(sample.group(2)), sample.group(3)
        lines = script.splitlines()
        lines[number - 1] = re.sub(r'"[^"]*"', f'"{name}"', lines[number - 1])
        with open(os.path.join(home, "signin.harbor"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        result = run(shells[0].strip().splitlines()[1].split("  #")[0], home, env)
        check(result.returncode == 1 and result.stderr.strip() == expected,
              f"the sample failure is what harbor prints (it gave {result.returncode}: {result.stderr.strip()!r})")
sys.exit(1 if failures else 0)
