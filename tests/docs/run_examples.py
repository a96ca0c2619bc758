#!/usr/bin/env python3
"""Runs every example of the script reference under Wine's cscript and
compares what it prints with the output the page shows, and checks that the
pages' member tables are those the type library gives.
  run_examples.py BUILD_TREE
"""
import os
import re
import subprocess
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
tree = os.path.abspath(sys.argv[1])
reference = os.path.join(root, "docs", "reference")

failures = 0  # examples whose output differs
stale = subprocess.run([sys.executable, os.path.join(root, "tools", "make_reference.py"), "--check",
                        os.path.join(root, "library", "Ormelin0105.idl"), os.path.join(reference, "src"), reference])

examples = 0
with tempfile.TemporaryDirectory() as folder:
    for page in sorted(os.listdir(reference)):
        if not page.endswith(".md"):
            continue
        text = open(os.path.join(reference, page), encoding="utf-8").read()
        pattern = r"```(vbscript|jscript)\n(.*?)```\s*\nOutput:\s*\n\s*```text\n(.*?)```"
        for number, (language, code, expected) in enumerate(re.findall(pattern, text, re.S), 1):
            examples += 1
            script = os.path.join(folder, f"{page[:-3]}-{number}.{'vbs' if language == 'vbscript' else 'js'}")
            with open(script, "w", encoding="utf-8", newline="\r\n") as out:
                out.write(code)
            windows = "Z:" + script.replace("/", "\\")
            run = subprocess.run([os.path.join(tree, "wine-run"), "cscript", "//nologo", windows],
                                 capture_output=True, text=True, timeout=120)
            got = run.stdout.replace("\r\n", "\n").strip()
            if got != expected.strip():
                failures += 1
                print(f"FAIL: {page} example {number} printed:\n{got}\n--- the page shows:\n{expected.strip()}\n")
            else:
                print(f"ok: {page} example {number}")
print(f"reference: {examples - failures} passed, {failures} failed")
sys.exit(1 if failures or examples == 0 or stale.returncode != 0 else 0)
