#!/usr/bin/env python3
"""The programs as they ship, read with tools independent of the project's
code (icoutils' wrestool, binutils' objdump) and Python's XML parser.
   program_test.py BUILD_DIR [FOLDER ...]
BUILD_DIR: the manifests of its bin/Setup.exe and bin/Uninstall.exe, element
by element, and the language every resource is tagged with. Each FOLDER
(default: the build's test medium): every program in it is stripped of its
debug sections, keeps DEP and ASLR, imports system DLLs only, and still
carries the manifest and the resources the build gave it.
Exit status: the number of failed checks (capped at 100)."""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
import xml.parsers.expat

ASM_V1 = 'urn:schemas-microsoft-com:asm.v1'
ASM_V3 = 'urn:schemas-microsoft-com:asm.v3'
COMPAT = 'urn:schemas-microsoft-com:compatibility.v1'
SUPPORTED_OS = {
    '{e2011457-1546-43c5-a5fe-008deee3d3f0}',  # Vista
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',  # 7
    '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',  # 8
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',  # 8.1
    '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}',  # 10 and 11
}
IDENTITY = {
    'Setup.exe': ('Kelvarin.Terrasum.Setup', '8.0.0.0'),
    'Uninstall.exe': ('Halvgard.Gravo.Uninstall', '6.0.0.0'),
}
# What a program on the medium may import: DLLs of every Windows from XP on.
SYSTEM_DLLS = {
    'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
    'oleaut32.dll', 'comctl32.dll', 'comdlg32.dll', 'shlwapi.dll', 'version.dll', 'msvcrt.dll',
}
LANG_NEUTRAL = 0
LANG_ZH_CN = 0x0804

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print(f'FAIL: {what}')
    return ok


def run(*args):
    return subprocess.run(args, capture_output=True, check=False).stdout


def manifest_of(path):
    return run('wrestool', '-x', '--raw', '-t', '24', path)


def check_manifest(path, name, version, arch):
    raw = manifest_of(path)
    if not check(raw, f'{path}: no manifest (resource type 24)'):
        return
    check(not raw.startswith(b'\xef\xbb\xbf'), f'{path}: manifest starts with a byte order mark')
    check(raw.startswith(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'),
          f'{path}: manifest does not start with the XML declaration')

    # Windows XP SP2 restarts on an element that declares one namespace twice
    # (KB921337); the non-namespace-aware parser sees the declarations.
    def no_double_declaration(tag, attributes):
        values = [v for k, v in attributes.items() if k == 'xmlns' or k.startswith('xmlns:')]
        check(len(values) == len(set(values)), f'{path}: <{tag}> declares a namespace twice: {values}')

    parser = xml.parsers.expat.ParserCreate()
    parser.StartElementHandler = no_double_declaration
    parser.Parse(raw, True)

    root = ET.fromstring(raw)
    check(root.tag == f'{{{ASM_V1}}}assembly', f'{path}: root element {root.tag}')
    check(root.get('manifestVersion') == '1.0', f'{path}: manifestVersion {root.get("manifestVersion")}')
    known = {ASM_V1, ASM_V3, COMPAT}
    for element in root.iter():
        ns = element.tag[1:].split('}')[0] if element.tag.startswith('{') else ''
        check(ns in known, f'{path}: element {element.tag} of an unknown namespace')
        local = element.tag.split('}')[-1]
        check(local not in ('dependency', 'dependentAssembly'), f'{path}: a dependency (Common Controls 6?)')
        check(local not in ('dpiAware', 'dpiAwareness'), f'{path}: a DPI declaration')

    identity = root.findall(f'{{{ASM_V1}}}assemblyIdentity')
    if check(len(identity) == 1, f'{path}: {len(identity)} assemblyIdentity elements'):
        got = {k: identity[0].get(k) for k in ('type', 'name', 'version', 'processorArchitecture')}
        want = {'type': 'win32', 'name': name, 'version': version, 'processorArchitecture': arch}
        check(got == want, f'{path}: assemblyIdentity {got}, expected {want}')

    # XP rejects a trustInfo in the assembly's own namespace.
    check(root.find(f'{{{ASM_V1}}}trustInfo') is None, f'{path}: trustInfo in the asm.v1 namespace')
    levels = root.findall(f'{{{ASM_V3}}}trustInfo/{{{ASM_V3}}}security/{{{ASM_V3}}}requestedPrivileges/'
                          f'{{{ASM_V3}}}requestedExecutionLevel')
    if check(len(levels) == 1, f'{path}: {len(levels)} requestedExecutionLevel elements under asm.v3 trustInfo'):
        check(levels[0].get('level') == 'requireAdministrator', f'{path}: level {levels[0].get("level")}')
        check(levels[0].get('uiAccess') == 'false', f'{path}: uiAccess {levels[0].get("uiAccess")}')

    ids = [e.get('Id') for e in root.findall(f'{{{COMPAT}}}compatibility/{{{COMPAT}}}application/'
                                             f'{{{COMPAT}}}supportedOS')]
    check(sorted(ids) == sorted(SUPPORTED_OS), f'{path}: supportedOS {ids}')


def resources(path):
    """(type, name, language) of every resource, as wrestool lists them."""
    out = []
    for line in run('wrestool', '-l', path).decode().splitlines():
        m = re.match(r'--type=(\S+) --name=(\S+) --language=(\d+)', line)
        if m:
            out.append((m.group(1), m.group(2), int(m.group(3))))
    return out


def check_languages(path):
    listed = resources(path)
    if not check(listed, f'{path}: no resources'):
        return
    for kind, name, lang in listed:
        want = LANG_NEUTRAL if kind == '24' else LANG_ZH_CN
        check(lang == want, f'{path}: resource type {kind} name {name} has language {lang}, expected {want}')


def objdump(build):
    with open(os.path.join(build, 'CMakeCache.txt'), encoding='utf-8') as cache:
        for line in cache:
            if line.startswith('CMAKE_OBJDUMP:'):
                return line.split('=', 1)[1].strip()
    return 'objdump'


def programs_in(folder):
    for dirpath, _, names in os.walk(folder):
        for n in sorted(names):
            p = os.path.join(dirpath, n)
            if n.lower().endswith(('.exe', '.ocx', '.dll')):
                with open(p, 'rb') as f:
                    if f.read(2) == b'MZ':
                        yield p


def check_release_program(dump, path):
    headers = run(dump, '-h', path).decode()
    sections = re.findall(r'^\s*\d+\s+(\S+)', headers, re.M)
    check(sections, f'{path}: objdump lists no sections')
    debug = [s for s in sections if s.startswith('.debug')]
    check(not debug, f'{path}: debug sections {debug}')
    private = run(dump, '-p', path).decode()
    m = re.search(r'^DllCharacteristics\s+([0-9a-fA-F]+)', private, re.M)
    flags = int(m.group(1), 16) if m else 0
    check(flags & 0x0040, f'{path}: no DYNAMIC_BASE (ASLR) in DllCharacteristics {flags:#06x}')
    check(flags & 0x0100, f'{path}: no NX_COMPAT (DEP) in DllCharacteristics {flags:#06x}')
    dlls = {d.lower() for d in re.findall(r'DLL Name: (\S+)', private)}
    check(dlls, f'{path}: no imports found')
    check(dlls <= SYSTEM_DLLS, f'{path}: imports from {sorted(dlls - SYSTEM_DLLS)}')


def debuglink(dump, path):
    """The file name a program's .gnu_debuglink section names, or None."""
    data = bytearray()
    for line in run(dump, '-s', '-j', '.gnu_debuglink', path).decode().splitlines():
        m = re.match(r'^ [0-9a-f]+ ((?:[0-9a-f]{2,8} ){1,4})', line)
        if m:
            data += bytes.fromhex(''.join(m.group(1).split()))
    return data.split(b'\0')[0].decode() if data else None


def check_debug_file(dump, build, path):
    """The debug sections stripped from a program are kept in BUILD/debug."""
    name = debuglink(dump, path)
    if not check(name, f'{path}: no .gnu_debuglink naming its debug file'):
        return
    debug = os.path.join(build, 'debug', name)
    if check(os.path.isfile(debug), f'{path}: its debug file {debug} is missing'):
        check('.debug_info' in run(dump, '-h', debug).decode(), f'{debug}: no .debug_info')


def main():
    build = os.path.abspath(sys.argv[1])
    folders = sys.argv[2:] or [os.path.join(build, 'testmedia', 'medium')]
    with open(os.path.join(build, 'wine-arch'), encoding='utf-8') as f:
        arch = 'amd64' if f.read().strip() == 'win64' else 'x86'
    bin_dir = os.path.join(build, 'bin')
    for program, (name, version) in IDENTITY.items():
        check_manifest(os.path.join(bin_dir, program), name, version, arch)
        check_languages(os.path.join(bin_dir, program))
    for sample in ('TerrasumSample.exe', 'TerrasumGrid.ocx'):
        check_languages(os.path.join(bin_dir, sample))

    dump = objdump(build)
    for folder in folders:
        found = list(programs_in(folder))
        names = {os.path.relpath(p, folder).lower() for p in found}
        check({'setup.exe', 'uninstall.exe'} <= names, f'{folder}: setup.exe or Uninstall.exe missing: {names}')
        for path in found:
            check_release_program(dump, path)
            check_debug_file(dump, build, path)
            rel = os.path.relpath(path, folder).lower()
            if rel in ('setup.exe', 'uninstall.exe'):
                program = 'Setup.exe' if rel == 'setup.exe' else 'Uninstall.exe'
                check(manifest_of(path) == manifest_of(os.path.join(bin_dir, program)),
                      f'{path}: not the manifest of bin/{program}')
                check(resources(path) and [r[:2] for r in resources(path)] ==
                      [r[:2] for r in resources(os.path.join(bin_dir, program))],
                      f'{path}: not the resources of bin/{program}')
            check_languages(path)
        print(f'{folder}: {len(found)} programs checked')

    print(f'program_test: {len(failures)} failure(s)')
    return min(len(failures), 100)


if __name__ == '__main__':
    sys.exit(main())
