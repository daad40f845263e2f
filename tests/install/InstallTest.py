#!/usr/bin/env python3
"""Installs the build into a temporary prefix with `cmake --install` and
checks the result.

    InstallTest.py --build-dir build layout    the files, the desktop entry, AppStream's view of the tree
    InstallTest.py --build-dir build program   the installed program plays and quits in a private X server

Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing)."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))

import InstallLayout  # noqa: E402


def Install(buildDir, prefix):
    result = subprocess.run(["cmake", "--install", buildDir, "--prefix", prefix],
                            capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        raise InstallLayout.LayoutError("cmake --install failed:\n" + result.stdout + result.stderr)


def CheckLayout(buildDir, root):
    # Under <root>/usr, so that AppStream can look at <root> as a system.
    prefix = os.path.join(root, "usr")
    Install(buildDir, prefix)
    files = InstallLayout.CheckTree(prefix, buildDir)
    print("ok - %d files installed where they belong" % len(files))
    InstallLayout.CheckDesktopEntry(prefix)
    print("ok - the desktop entry starts the installed program with the installed icon")
    InstallLayout.CheckMetainfo(prefix, os.path.join(os.path.dirname(os.path.dirname(HERE)), "docs", "screenshot.png"))
    print("ok - the AppStream description names the entry, the program and the screenshot's size")
    appstream = shutil.which("appstreamcli")
    if not appstream:
        print("skipped: appstreamcli is missing (Debian package appstream)")
        return 77
    result = subprocess.run([appstream, "validate-tree", "--no-net", "--strict", root],
                            capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise InstallLayout.LayoutError("appstreamcli validate-tree:\n" + result.stdout + result.stderr)
    print("ok - AppStream accepts the installed tree")
    return 0


def CheckProgram(buildDir, root):
    import EndToEndTest
    from X11Session import Failure, SetupError, X11Session

    prefix = os.path.join(root, "prefix")
    Install(buildDir, prefix)
    program = os.path.join(prefix, InstallLayout.PROGRAM)
    workdir = os.path.join(root, "work")
    os.makedirs(workdir)
    try:
        with X11Session() as session:
            EndToEndTest.RunTest(session, program, workdir, os.getcwd())
    except SetupError as error:
        print("skipped: %s" % error)
        return 77
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    print("ok - the installed program finds its files, plays and quits")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("check", choices=("layout", "program"))
    args = parser.parse_args()
    buildDir = os.path.abspath(args.build_dir)
    with tempfile.TemporaryDirectory(prefix="zelvon-install-") as root:
        try:
            if args.check == "layout":
                return CheckLayout(buildDir, root)
            return CheckProgram(buildDir, root)
        except InstallLayout.LayoutError as error:
            print("FAILED: %s" % error)
            return 1


if __name__ == "__main__":
    sys.exit(main())
