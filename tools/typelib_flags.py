#!/usr/bin/env python3
"""Sets TYPEFLAGS bits on one type of a compiled type library (MSFT format).

widl accepts `appobject` but refuses `predeclid`, and the tovFSO coclass must
carry both (plus `cancreate`) so that hosts create its global instance. The
build therefore compiles the IDL with widl and then ORs the missing bits into
the typeinfo whose GUID is given:

    typelib_flags.py IN.tlb OUT.tlb --guid {1C795C50-4D5A-4160-9B5C-8AC07EC3A47E} --set 0x8
                     [--fix-variant-defaults]

Exactly one typeinfo must carry the GUID; anything else is an error, as is a
file that is not an MSFT type library.

--fix-variant-defaults repairs a second widl shortcoming: it stores the
defaultvalue() of a by-reference VARIANT parameter with the type VT_VARIANT,
which no VARIANT value can have (the platform then fails to copy the default).
Such defaults are rewritten as VT_I4, the type widl itself gives a number
default of a by-value VARIANT. Standard library only.
"""

import argparse
import struct
import sys
import uuid

MSFT_MAGIC = b"MSFT"
MSFT_VERSION = 0x00010002
HEADER_SIZE = 0x54          # fixed part of the library header
HELPDLL_FLAG = 0x100        # header varflags: an extra help-DLL offset follows
SEGMENT_COUNT = 15          # entries of the segment directory
SEGMENT_SIZE = 16           # offset, length, two reserved fields
SEG_TYPEINFO = 0            # segment of the 0x64-byte typeinfo records
SEG_GUID = 5                # segment of the 24-byte GUID entries
TYPEINFO_SIZE = 0x64
TYPEINFO_GUID_OFFSET = 0x2C  # posguid: byte offset into the GUID segment, or -1
TYPEINFO_FLAGS_OFFSET = 0x30  # TYPEFLAGS
TYPEINFO_NAME_OFFSET = 0x34  # offset into the name segment
SEG_NAME = 7
SEG_CUSTDATA = 11
TYPEINFO_MEMBERS_OFFSET = 0x04  # absolute offset of the member records
TYPEINFO_COUNTS_OFFSET = 0x18   # low word: functions, high word: variables
FUNC_FKCCIC_OFFSET = 0x10
FUNC_NRARGS_OFFSET = 0x14
FUNC_HAS_DEFAULTS = 0x1000
PARAM_INFO_SIZE = 12
VT_I4 = 3
VT_VARIANT = 12
INLINE_VALUE = 0x80000000       # default stored in the offset itself: vt in bits 26-30
INLINE_VT_SHIFT = 26
INLINE_VT_MASK = 0x7C000000
GUID_ENTRY_SIZE = 24
TKIND_NAMES = ["enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"]


class TypeLibError(Exception):
    pass


def read_int(data, offset):
    if offset < 0 or offset + 4 > len(data):
        raise TypeLibError("read past the end of the file at 0x%x" % offset)
    return struct.unpack_from("<i", data, offset)[0]


def segments(data):
    if data[0:4] != MSFT_MAGIC:
        raise TypeLibError("not an MSFT type library (magic %r)" % bytes(data[0:4]))
    if read_int(data, 4) != MSFT_VERSION:
        raise TypeLibError("unknown MSFT version 0x%08x" % (read_int(data, 4) & 0xFFFFFFFF))
    varflags = read_int(data, 0x14)
    count = read_int(data, 0x20)
    if count < 0 or count > 0xFFFF:
        raise TypeLibError("implausible typeinfo count %d" % count)
    offsets_at = HEADER_SIZE + (4 if varflags & HELPDLL_FLAG else 0)
    offsets = [read_int(data, offsets_at + 4 * i) for i in range(count)]
    segdir_at = offsets_at + 4 * count
    segs = []
    for i in range(SEGMENT_COUNT):
        at = segdir_at + SEGMENT_SIZE * i
        seg_offset, seg_length = read_int(data, at), read_int(data, at + 4)
        if seg_offset != -1 and (seg_offset < 0 or seg_offset + seg_length > len(data)):
            raise TypeLibError("segment %d lies outside the file" % i)
        segs.append((seg_offset, seg_length))
    return offsets, segs


def type_name(data, segs, record):
    name_offset = read_int(data, record + TYPEINFO_NAME_OFFSET)
    names_at, names_length = segs[SEG_NAME]
    if name_offset < 0 or names_at < 0 or name_offset + 12 > names_length:
        return "?"
    length = data[names_at + name_offset + 8]
    start = names_at + name_offset + 12
    return data[start:start + length].decode("latin-1")


def find_typeinfos(data, guid):
    """Offsets of the typeinfo records whose GUID is `guid`, with their names and kinds."""
    offsets, segs = segments(data)
    typeinfo_at, typeinfo_length = segs[SEG_TYPEINFO]
    guids_at, guids_length = segs[SEG_GUID]
    if typeinfo_at < 0 or guids_at < 0:
        raise TypeLibError("the typeinfo or GUID segment is missing")
    wanted = guid.bytes_le
    found = []
    for index, offset in enumerate(offsets):
        if offset < 0 or offset + TYPEINFO_SIZE > typeinfo_length:
            raise TypeLibError("typeinfo %d lies outside its segment" % index)
        record = typeinfo_at + offset
        posguid = read_int(data, record + TYPEINFO_GUID_OFFSET)
        if posguid < 0:
            continue
        if posguid + GUID_ENTRY_SIZE > guids_length:
            raise TypeLibError("typeinfo %d names a GUID outside the GUID segment" % index)
        if data[guids_at + posguid:guids_at + posguid + 16] == wanted:
            kind = read_int(data, record) & 0xF
            kind_name = TKIND_NAMES[kind] if kind < len(TKIND_NAMES) else str(kind)
            found.append((record, type_name(data, segs, record), kind_name))
    return found


def fix_variant_defaults(data):
    """Rewrites VT_VARIANT parameter defaults as VT_I4; returns how many were changed."""
    offsets, segs = segments(data)
    typeinfo_at = segs[SEG_TYPEINFO][0]
    custdata_at, custdata_length = segs[SEG_CUSTDATA]
    fixed = 0
    for offset in offsets:
        record = typeinfo_at + offset
        func_count = read_int(data, record + TYPEINFO_COUNTS_OFFSET) & 0xFFFF
        if func_count == 0:
            continue
        at = read_int(data, record + TYPEINFO_MEMBERS_OFFSET) + 4
        for _ in range(func_count):
            size = read_int(data, at) & 0xFFFF
            args = struct.unpack_from("<h", data, at + FUNC_NRARGS_OFFSET)[0]
            if size == 0 or args < 0 or args * (PARAM_INFO_SIZE + 4) > size:
                raise TypeLibError("malformed function record at 0x%x" % at)
            if read_int(data, at + FUNC_FKCCIC_OFFSET) & FUNC_HAS_DEFAULTS:
                defaults_at = at + size - args * (PARAM_INFO_SIZE + 4)
                for arg in range(args):
                    slot = defaults_at + 4 * arg
                    value = read_int(data, slot) & 0xFFFFFFFF
                    if value == 0xFFFFFFFF:
                        continue
                    if value & INLINE_VALUE:
                        if (value & INLINE_VT_MASK) >> INLINE_VT_SHIFT == VT_VARIANT:
                            value = (value & ~INLINE_VT_MASK) | (VT_I4 << INLINE_VT_SHIFT)
                            struct.pack_into("<I", data, slot, value)
                            fixed += 1
                    else:
                        if custdata_at < 0 or value + 6 > custdata_length:
                            raise TypeLibError("default value outside the data segment at 0x%x" % slot)
                        vt_at = custdata_at + value
                        if struct.unpack_from("<H", data, vt_at)[0] == VT_VARIANT:
                            struct.pack_into("<H", data, vt_at, VT_I4)
                            fixed += 1
            at += size
    return fixed


def parse_args(argv):
    parser = argparse.ArgumentParser(description="OR TYPEFLAGS into one typeinfo of an MSFT .tlb")
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--guid", required=True, help="GUID of the typeinfo, braces optional")
    parser.add_argument("--set", required=True, help="TYPEFLAGS bits to OR in, e.g. 0x8 (predeclid)")
    parser.add_argument("--fix-variant-defaults", action="store_true",
                        help="store defaults of VARIANT* parameters as VT_I4 instead of VT_VARIANT")
    args = parser.parse_args(argv)
    try:
        args.guid = uuid.UUID(args.guid.strip("{}"))
        args.set = int(args.set, 0)
    except ValueError as error:
        parser.error(str(error))
    if not 0 < args.set <= 0xFFFF:
        parser.error("--set must be a non-zero 16-bit TYPEFLAGS value")
    return args


def main(argv):
    args = parse_args(argv)
    with open(args.input, "rb") as f:
        data = bytearray(f.read())
    try:
        found = find_typeinfos(data, args.guid)
        if len(found) != 1:
            raise TypeLibError("%d typeinfos carry {%s}, expected exactly one"
                               % (len(found), str(args.guid).upper()))
        record, name, kind = found[0]
        at = record + TYPEINFO_FLAGS_OFFSET
        old = read_int(data, at)
        struct.pack_into("<i", data, at, old | args.set)
        fixed = fix_variant_defaults(data) if args.fix_variant_defaults else 0
    except TypeLibError as error:
        print("typelib_flags.py: %s: %s" % (args.input, error), file=sys.stderr)
        return 1
    with open(args.output, "wb") as f:
        f.write(data)
    print("typelib_flags.py: %s %s: TYPEFLAGS 0x%x -> 0x%x" % (kind, name, old, old | args.set))
    if args.fix_variant_defaults:
        print("typelib_flags.py: %d VARIANT default(s) stored as VT_I4" % fixed)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
