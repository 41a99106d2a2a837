#!/usr/bin/env python3
"""Checks the built Amicord.exe of each Windows configuration as Windows will
load it: it imports only DLLs that are part of Windows, it asks for DEP and
ASLR, it is linked for Windows 6.0 or later, and its manifest names the right
processor, common controls 6 and DPI awareness.

    pe_check.py EXE ARCH [EXE ARCH ...]     ARCH: x86 or amd64
"""
import struct
import sys
import xml.etree.ElementTree as ET

# What Windows itself brings; the C runtime is the system's msvcrt.dll. The
# universal C runtime's api-ms-win-crt-* forwarders, MinGW's libwinpthread,
# libstdc++ and libgcc are not in it: a program needing them does not start
# on a clean machine.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "dwmapi.dll", "gdi32.dll", "gdiplus.dll",
    "imm32.dll", "kernel32.dll", "msimg32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "rpcrt4.dll",
    "secur32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll", "winhttp.dll",
    "winmm.dll", "ws2_32.dll", "wtsapi32.dll", "bcrypt.dll", "ntdll.dll",
}
MACHINES = {"x86": 0x14C, "amd64": 0x8664}
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header 0x%x" % magic)
        self.pe32_plus = magic == 0x20B
        (self.os_version, self.image_version, self.subsystem_version) = (
            struct.unpack_from("<HH", data, opt + 40), struct.unpack_from("<HH", data, opt + 44),
            struct.unpack_from("<HH", data, opt + 48))
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        directories = opt + (112 if self.pe32_plus else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        at = opt + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, at + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raw
        raise ValueError("address 0x%x is in no section" % rva)

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii", "replace")

    def imports(self):
        rva, size = self.directories[1]
        names = []
        at = self.offset(rva) if size else None
        while at is not None:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name or thunks):
                break
            names.append(self.string(name))
            at += 20
        rva, size = self.directories[13]  # delay-loaded imports count too
        at = self.offset(rva) if size else None
        while at is not None:
            fields = struct.unpack_from("<8I", self.data, at)
            if not any(fields):
                break
            names.append(self.string(fields[1]))
            at += 32
        return names

    def resources(self, kind):
        """The data of every resource of one type."""
        rva, size = self.directories[2]
        if not size:
            return []
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield ident, target

        found = []

        def walk(target):
            if target & 0x80000000:
                for _, inner in entries(target & 0x7FFFFFFF):
                    walk(inner)
            else:
                data_rva, data_size = struct.unpack_from("<II", self.data, base + target)
                at = self.offset(data_rva)
                found.append(self.data[at:at + data_size])

        for ident, target in entries(0):
            if ident == kind:
                walk(target)
        return found


def check(path, arch):
    """The failures of one program, as sentences; prints what it saw."""
    failures = []
    try:
        with open(path, "rb") as f:
            pe = PeFile(f.read())
    except OSError as e:
        return ["%s cannot be read (%s): build the %s configuration first" % (path, e.strerror,
                                                                             "win32" if arch == "x86" else "win64")]
    except (ValueError, struct.error) as e:
        return ["%s is no Windows program: %s" % (path, e)]
    print("%s (%s)" % (path, arch))
    if pe.machine != MACHINES[arch]:
        failures.append("machine 0x%x, not %s" % (pe.machine, arch))
    if pe.pe32_plus != (arch == "amd64"):
        failures.append("the optional header is %s" % ("PE32+" if pe.pe32_plus else "PE32"))
    dlls = pe.imports()
    print("  imports: %s" % ", ".join(dlls))
    for dll in dlls:
        if dll.lower() not in SYSTEM_DLLS:
            failures.append("imports %s, which is not part of Windows" % dll)
    flags = [name for bit, name in ((DYNAMIC_BASE, "DYNAMIC_BASE"), (NX_COMPAT, "NX_COMPAT"))
             if pe.dll_characteristics & bit]
    print("  DllCharacteristics: 0x%04x (%s)" % (pe.dll_characteristics, ", ".join(flags) or "none"))
    if not pe.dll_characteristics & NX_COMPAT:
        failures.append("NX_COMPAT (DEP) is not set")
    if not pe.dll_characteristics & DYNAMIC_BASE:
        failures.append("DYNAMIC_BASE (ASLR) is not set")
    print("  subsystem %d, version %d.%d; operating system version %d.%d" % (
        (pe.subsystem,) + pe.subsystem_version + pe.os_version))
    if pe.subsystem != 2:
        failures.append("subsystem %d is not the Windows GUI (2)" % pe.subsystem)
    if pe.subsystem_version < (6, 0):
        failures.append("linked for subsystem version %d.%d, older than Windows 6.0" % pe.subsystem_version)
    if pe.os_version < (6, 0):
        failures.append("linked for operating system version %d.%d, older than 6.0" % pe.os_version)
    manifests = pe.resources(RT_MANIFEST)
    if len(manifests) != 1:
        failures.append("%d manifests instead of one" % len(manifests))
        return failures
    failures += check_manifest(manifests[0], arch)
    return failures


def check_manifest(data, arch):
    failures = []
    try:
        root = ET.fromstring(data)
    except ET.ParseError as e:
        return ["the manifest is not well-formed XML: %s" % e]
    identity = root.find(ASM_V1 + "assemblyIdentity")
    own = identity.get("processorArchitecture") if identity is not None else None
    print("  manifest: processorArchitecture=%s" % own)
    if own != arch:
        failures.append("the manifest's processorArchitecture is %s, not %s" % (own, arch))
    controls = [d for d in root.iter(ASM_V1 + "assemblyIdentity")
                if d.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or not controls[0].get("version", "").startswith("6."):
        failures.append("the manifest does not ask for common controls 6")
    else:
        print("  manifest: Microsoft.Windows.Common-Controls %s (%s)" % (
            controls[0].get("version"), controls[0].get("processorArchitecture")))
        if controls[0].get("processorArchitecture") not in (arch, "*"):
            failures.append("common controls are asked for %s" % controls[0].get("processorArchitecture"))
    awareness = {el.tag.split("}")[-1]: (el.text or "").strip() for el in root.iter()
                 if el.tag.endswith("}dpiAware") or el.tag.endswith("}dpiAwareness")}
    print("  manifest: %s" % ", ".join("%s=%s" % item for item in sorted(awareness.items())))
    aware = awareness.get("dpiAware", "").lower() in ("true", "true/pm", "per monitor") or \
        any(word.strip().lower() in ("permonitorv2", "permonitor", "system")
            for word in awareness.get("dpiAwareness", "").split(","))
    if not aware:
        failures.append("the manifest does not declare DPI awareness")
    return failures


def main(argv):
    if len(argv) < 3 or len(argv) % 2 != 1 or any(a not in MACHINES for a in argv[2::2]):
        print(__doc__)
        return 2
    failed = False
    for path, arch in zip(argv[1::2], argv[2::2]):
        failures = check(path, arch)
        for failure in failures:
            print("  FAIL %s: %s" % (path, failure))
        print("  %s" % ("FAIL" if failures else "ok"))
        failed = failed or bool(failures)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
