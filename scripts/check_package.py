#!/usr/bin/env python3
"""Checks the player's zip: exactly setloom.exe and README.txt, the very files of the build and
the sources, a 32-bit GUI program whose version block carries the version of CMakeLists.txt."""
import re
import struct
import sys
import zipfile


def main(zip_path, exe_path, root):
    version = re.search(r"project\(setloom VERSION (\d+)\.(\d+)\.(\d+)",
                        open(f"{root}/CMakeLists.txt").read()).groups()
    major, minor, patch = (int(part) for part in version)
    problems = []
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(archive.namelist())
        if names != ["README.txt", "setloom.exe"]:
            problems.append(f"the zip holds {names}")
            return problems
        exe = archive.read("setloom.exe")
        readme = archive.read("README.txt")
    if exe != open(exe_path, "rb").read():
        problems.append("setloom.exe is not the shipped build")
    if readme != open(f"{root}/docs/player/README.txt", "rb").read():
        problems.append("README.txt is not docs/player/README.txt")
    text = readme.decode("utf-8-sig")
    for needed in ("save\\qr6_win3.ini", "设定没有保存成功", "When storing fails", "画面", "声音", "输入"):
        if needed not in text:
            problems.append(f"the readme does not mention {needed}")

    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    machine = struct.unpack_from("<H", exe, pe + 4)[0]
    subsystem = struct.unpack_from("<H", exe, pe + 24 + 68)[0]
    if exe[pe:pe + 4] != b"PE\0\0" or machine != 0x14C or subsystem != 2:
        problems.append(f"not a 32-bit GUI program (machine {machine:#x}, subsystem {subsystem})")
    fixed = exe.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        problems.append("no version block")
    else:
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", exe, fixed + 8)
        wanted = ((major << 16) | minor, patch << 16)
        if (file_ms, file_ls) != wanted or (product_ms, product_ls) != wanted:
            problems.append("the version numbers differ from CMakeLists.txt")
    if f"{major}.{minor}.{patch}.0".encode("utf-16-le") not in exe:
        problems.append("the version text differs from CMakeLists.txt")
    return problems


if __name__ == "__main__":
    found = main(*sys.argv[1:4])
    for problem in found:
        print(f"check_package: {problem}", file=sys.stderr)
    sys.exit(1 if found else 0)
