#!/usr/bin/env python3
"""Writes the WiX source of Tovrin's installer and builds it with wixl.

The x86 package installs Veskar, its read-me, the support libraries and the
32-bit Ormelin0105 under Program Files; the x64 package adds the 64-bit
Ormelin0105 with 64-bit support libraries under the 64-bit Program Files,
so that 64-bit script hosts create the same classes. The classes, program
identifiers, interfaces and type library are written through the package's
own registry table, with the values self-registration writes
(registry_table.exe), and removed with the package.

  make_msi.py --arch x86|x64 --bin32 DIR --table32 FILE [--bin64 DIR --table64 FILE] --out MSI
"""
import argparse
import os
import subprocess
import sys
import uuid
from pathlib import Path
from xml.sax.saxutils import quoteattr

VERSION = (Path(__file__).resolve().parent.parent / "VERSION").read_text().strip()
UPGRADE_CODE = "6F3C2B1A-8D4E-4F6A-9B2C-1E5D7A9C3B48"
# The platform's Collection interface belongs to the Visual Basic runtime:
# the installer never writes it, so that uninstalling never removes it.
PLATFORM_COLLECTION = "Interface\\{A4C46780-499F-101B-BB78-00AA00383CBB}"
NAMESPACE = uuid.UUID("0B3E5C7A-1D2F-4E6B-8A9C-2F4D6E8A0C1B")


def guid(*identity):
    # A component's code follows from what it is: its name, its bitness, its
    # folder, its files and registry values. Windows Installer counts
    # references to a component by this code alone, so the same code must
    # always mean the same resources at the same bitness, in every package;
    # any change to them makes a new code, and equal components in the two
    # packages share theirs.
    return str(uuid.uuid5(NAMESPACE, repr(identity))).upper()


def is_shared(key):
    # On 64-bit Windows the class and interface keys are kept per registry
    # view; program identifiers and the type library's key (all but its
    # per-architecture entry) are one for both views.
    if key.startswith("CLSID\\") or key.startswith("Interface\\"):
        return False
    return not ("\\0\\win32" in key or "\\0\\win64" in key)


def registry_values(table, file_id, folder_id, shared=None):
    """The values of the table: shared=None all of them, True only those
    both architectures share, False only this architecture's own."""
    values = []
    with open(table, encoding="utf-8") as lines:
        for line in lines:
            key, name, value, owner = line.rstrip("\r\n").split("\t")
            if owner == PLATFORM_COLLECTION:
                continue
            if shared is not None and is_shared(key) != shared:
                continue
            if key.endswith("\\HELPDIR"):
                value = f"[{folder_id}]"
            value = value.replace("[#PATH]", f"[#{file_id}]")
            attributes = f"Root=\"HKCR\" Key={quoteattr(key)} Type=\"string\" Value={quoteattr(value)}"
            if name:
                attributes += f" Name={quoteattr(name)}"
            values.append(f"          <RegistryValue {attributes}/>")
    return "\n".join(values)


def component(name, files=(), win64=False, registry="", directory="INSTALLDIR"):
    """A component of files (the first is its key path) and registry values;
    a component without files names its key path among the values."""
    key_path = ' KeyPath="yes"'
    entries = "\n".join(
        f"          <File Id={quoteattr(file_id)} Name={quoteattr(os.path.basename(path))} "
        f"Source={quoteattr(os.path.relpath(path, SOURCE_ROOT))}{key_path if i == 0 else ''}/>"
        for i, (file_id, path) in enumerate(files))
    code = guid(name, win64, directory, [(file_id, os.path.basename(path)) for file_id, path in files], registry)
    win = ' Win64="yes"' if win64 else ""
    body = "\n".join(part for part in (entries, registry) if part)
    return f"        <Component Id={quoteattr(name)} Guid=\"{code}\"{win}>\n{body}\n        </Component>"


def with_key_path(registry):
    """The values with the first one as the component's key path."""
    return registry.replace("/>", " KeyPath=\"yes\"/>", 1)


SOURCE_ROOT = "."


def main():
    global SOURCE_ROOT
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", choices=["x86", "x64"], required=True)
    parser.add_argument("--bin32", required=True)
    parser.add_argument("--table32", required=True)
    parser.add_argument("--bin64")
    parser.add_argument("--table64")
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", default=VERSION, help="the package's version (tests build newer ones)")
    args = parser.parse_args()
    SOURCE_ROOT = os.path.dirname(os.path.abspath(args.out))
    b32 = lambda name: os.path.join(args.bin32, name)
    open_with = "\n".join([
        '          <RegistryValue Root="HKCR" Key="Applications\\Veskar.exe\\shell\\open\\command" Type="string" '
        'Value="&quot;[#Veskar.exe]&quot; &quot;%1&quot;"/>',
        '          <RegistryValue Root="HKCR" Key="Applications\\Veskar.exe\\SupportedTypes" Name=".png" '
        'Type="string" Value=""/>',
        '          <RegistryValue Root="HKCR" Key=".png\\OpenWithList\\Veskar.exe" Type="string" Value="" '
        'KeyPath="yes"/>',
    ])
    x64 = args.arch == "x64"
    # Veskar, the 32-bit libraries and the 32-bit library's own registry
    # view are the same in both packages. The values both views share (the
    # program identifiers, the type library's key) and Explorer's Open with
    # entries are written at the package's bitness: Explorer reads the
    # system's view, and Windows keeps the shared keys once for both views,
    # while Wine's installer puts a 32-bit component's class keys in the
    # 32-bit view alone. Their components differ in bitness between the
    # packages, and so in code.
    components32 = [
        component("Veskar", [("Veskar.exe", b32("Veskar.exe")), ("Veskar.ReadMe.txt", b32("Veskar.ReadMe.txt"))]),
        component("Support32", [("tovrinsupport0100.dll", b32("tovrinsupport0100.dll")),
                                ("tovrinsupportfbe0100.dll", b32("tovrinsupportfbe0100.dll"))]),
        component("Ormelin32", [("Ormelin0105.dll", b32("Ormelin0105.dll"))],
                  registry=registry_values(args.table32, "Ormelin0105.dll", "INSTALLDIR", False)),
        component("OrmelinShared", win64=x64,
                  registry=with_key_path(registry_values(args.table32, "Ormelin0105.dll", "INSTALLDIR", True))),
        component("OpenWith", win64=x64, registry=open_with),
    ]
    folders64 = ""
    refs = ["Veskar", "OpenWith", "Support32", "Ormelin32", "OrmelinShared"]
    if x64:
        b64 = lambda name: os.path.join(args.bin64, name)
        components64 = [
            component("Support64", [("tovrinsupport0100.dll.x64", b64("tovrinsupport0100.dll")),
                                    ("tovrinsupportfbe0100.dll.x64", b64("tovrinsupportfbe0100.dll"))], win64=True,
                      directory="INSTALLDIR64"),
            component("Ormelin64", [("Ormelin0105.dll.x64", b64("Ormelin0105.dll"))], win64=True,
                      registry=registry_values(args.table64, "Ormelin0105.dll.x64", "INSTALLDIR64", False),
                      directory="INSTALLDIR64"),
        ]
        refs += ["Support64", "Ormelin64"]
        folders64 = ("      <Directory Id=\"ProgramFiles64Folder\">\n"
                     "        <Directory Id=\"INSTALLDIR64\" Name=\"Tovrin\">\n"
                     + "\n".join(components64) + "\n        </Directory>\n      </Directory>\n")
    platform = ""  # wixl takes the architecture from -a
    source = f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Tovrin Veskar and Ormelin" Language="1033" Version="{args.version}" Manufacturer="Tovrin"
           UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"{platform}
             Description="Veskar, the PNG chunk viewer, and Ormelin0105, file work for scripts"/>
    <!-- A newer package removes the installed one first; an older one is refused. -->
    <MajorUpgrade DowngradeErrorMessage="A newer version of Tovrin Veskar and Ormelin is already installed. Remove it first to install this older one."/>
    <Media Id="1" Cabinet="tovrin.cab" EmbedCab="yes"/>
    <Property Id="ARPCOMMENTS" Value="Veskar and the Ormelin0105 scripting library"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Tovrin">
{chr(10).join(components32)}
        </Directory>
      </Directory>
{folders64}    </Directory>
    <Feature Id="Complete" Level="1">
{chr(10).join(f'      <ComponentRef Id="{r}"/>' for r in refs)}
    </Feature>
  </Product>
</Wix>
"""
    wxs = os.path.splitext(os.path.abspath(args.out))[0] + ".wxs"
    with open(wxs, "w", encoding="utf-8") as out:
        out.write(source)
    # wixl takes file sources relative to where it runs.
    command = ["wixl", "-a", args.arch, "-o", os.path.abspath(args.out), wxs]
    status = subprocess.call(command, cwd=os.path.dirname(wxs))
    if status != 0:
        sys.exit(status)
    sys.exit(include_same_version(os.path.abspath(args.out), os.path.dirname(wxs)))


def include_same_version(package, work):
    """One product on a machine, whichever architecture: a package replaces
    an installed one of the same version too, which is the other
    architecture's (the same package again is a repair, which looks for no
    related product). wixl's MajorUpgrade bounds the range exclusively and
    has no switch for it, so its upgrade row is made inclusive
    (msidbUpgradeAttributesVersionMaxInclusive); the row's attributes are
    part of its key, so the table is written anew."""
    rows = subprocess.run(["msiinfo", "export", package, "Upgrade"], capture_output=True, text=True,
                          check=True).stdout.splitlines()
    fixed = []
    for row in rows:
        fields = row.split("\t")
        if fields[-1] == "WIX_UPGRADE_DETECTED":
            fields[4] = str(int(fields[4]) | 0x200)
        fixed.append("\t".join(fields))
    table = os.path.join(work, "Upgrade.idt")
    with open(table, "w", encoding="utf-8", newline="\r\n") as out:
        out.write("\n".join(fixed) + "\n")
    return subprocess.call(["msibuild", package, "-i", table])


if __name__ == "__main__":
    main()
