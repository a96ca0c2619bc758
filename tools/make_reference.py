#!/usr/bin/env python3
"""Writes the script reference of Ormelin0105 (docs/reference/*.md).

Each page is its class's hand-written text (docs/reference/src/CLASS.md)
with the table of members, made from the type library's source, in place
of the line "<!-- members -->"; the enumerations page is made whole.
  make_reference.py IDL SRC_DIR OUT_DIR     writes the pages
  make_reference.py --check IDL SRC_DIR OUT_DIR   fails when a page differs
"""
import os
import re
import sys

TYPES = {"BSTR": "String", "VARIANT_BOOL": "Boolean", "long": "Long", "short": "Integer", "double": "Double",
         "DATE": "Date", "VARIANT": "Variant", "SAFEARRAY(unsigned char)": "Byte()", "IUnknown": "enumerator",
         "IPictureDisp": "picture (IPictureDisp)", "Collection": "Collection"}


def type_name(raw):
    raw = raw.replace("*", "").strip()
    if raw in TYPES:
        return TYPES[raw]
    return f"`{raw[1:] if raw.startswith('_') else raw}`"


def split_parameters(text):
    parts, depth, current = [], 0, ""
    for c in text:
        if c in "[(":
            depth += 1
        elif c in "])":
            depth -= 1
        if c == "," and depth == 0:
            parts.append(current)
            current = ""
        else:
            current += c
    if current.strip():
        parts.append(current)
    return [p.strip() for p in parts]


def parse(idl):
    text = open(idl, encoding="utf-8").read()
    enums = [(m.group(1), re.findall(r"(\w+)\s*=\s*([-\w]+)", m.group(2)))
             for m in re.finditer(r"enum (\w+) \{(.*?)\}", text, re.S)]
    interfaces = {}
    for m in re.finditer(r"interface (_\w+) : IDispatch\s*\{(.*?)\n    \};", text, re.S):
        members = []
        for member in re.finditer(r"\[([^\]]*)\]\s*HRESULT (\w+)\((.*?)\);", m.group(2), re.S):
            attributes, name, params = member.groups()
            kind = "property (read)" if "propget" in attributes else (
                "property (write)" if "propput" in attributes else "method")
            inputs, result = [], ""
            for p in split_parameters(" ".join(params.split())):
                pm = re.match(r"\[([^\]]*)\]\s*(.+?)\s*(\w+)$", p)
                flags, ptype, pname = pm.groups()
                if "retval" in flags:
                    result = type_name(ptype)
                    continue
                default = re.search(r"defaultvalue\(([^)]*)\)", flags)
                shown = type_name(ptype)
                notes = []
                if "out" in flags:
                    notes.append("in/out" if "in" in flags.split(",")[0] else "out")
                if "optional" in flags and not default:
                    notes.append("optional")
                description = f"{pname} {shown}" + (f" ({', '.join(notes)})" if notes else "")
                if default:
                    value = default.group(1)
                    if shown == "Boolean":
                        value = {"0": "False", "-1": "True"}.get(value, value)
                    description += f" = {value}"
                inputs.append(description)
            members.append((name, kind, inputs, result))
        interfaces[m.group(1)] = members
    classes = []
    for m in re.finditer(r"\[([^\]]*)\]\s*coclass (\w+)\s*\{\s*\[default\] interface (_\w+);", text, re.S):
        classes.append((m.group(2), m.group(3), "noncreatable" not in m.group(1)))
    return enums, interfaces, classes


def member_table(members):
    rows = ["| Member | Kind | Parameters | Result |", "|---|---|---|---|"]
    for name, kind, inputs, result in members:
        rows.append(f"| `{name}` | {kind} | {'; '.join(inputs) or '—'} | {result or '—'} |")
    return "\n".join(rows)


def pages(idl, src):
    enums, interfaces, classes = parse(idl)
    out = {}
    for name, interface, creatable in classes:
        source = os.path.join(src, name + ".md")
        if not os.path.exists(source):
            continue
        text = open(source, encoding="utf-8").read()
        heading = (f"Created with `CreateObject(\"Ormelin0105.{name}\")`." if creatable
                   else "Made by the library only: scripts get it from another object's member.")
        table = f"{heading}\n\n{member_table(interfaces[interface])}"
        out[name + ".md"] = text.replace("<!-- members -->", table)
    lines = ["# Enumerations", "", "Values scripts pass as numbers; the names are the type library's.", ""]
    for name, values in enums:
        lines += [f"## `{name}`", "", "| Name | Value |", "|---|---|"]
        lines += [f"| `{n}` | {v} |" for n, v in values] + [""]
    out["Enumerations.md"] = "\n".join(lines)
    return out


def main():
    check = sys.argv[1] == "--check"
    idl, src, out_dir = sys.argv[2:] if check else sys.argv[1:]
    stale = []
    for name, text in pages(idl, src).items():
        path = os.path.join(out_dir, name)
        if check:
            if not os.path.exists(path) or open(path, encoding="utf-8").read() != text:
                stale.append(name)
        else:
            open(path, "w", encoding="utf-8").write(text)
    if stale:
        print("reference: out of date, run tools/make_reference.py:", " ".join(stale))
        sys.exit(1)


if __name__ == "__main__":
    main()
