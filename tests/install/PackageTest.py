#!/usr/bin/env python3
"""Builds the Debian package with `cpack` into a temporary folder and checks
it without installing anything: its control fields, that its dependencies
name the package of every library the program links or opens and a General
MIDI soundfont, and that its file list is exactly the installed layout.

    PackageTest.py --build-dir build

Exit status: 0 passed, 1 failed, 77 skipped (dpkg-deb or cpack missing)."""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import InstallLayout  # noqa: E402
from InstallLayout import LayoutError  # noqa: E402

SOUNDFONT_ALTERNATIVES = "timgm6mb-soundfont | fluid-soundfont-gm"
# Libraries the program opens itself when it first needs them, out of sight
# of dpkg-shlibdeps.
OPENED_PACKAGES = ("libfluidsynth3",)


def Run(*args, timeout=300):
    result = subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise LayoutError("%s failed:\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def BuildPackage(buildDir, outputDir):
    Run("cpack", "-G", "DEB", "--config", os.path.join(buildDir, "CPackConfig.cmake"), "-B", outputDir)
    packages = glob.glob(os.path.join(outputDir, "*.deb"))
    if len(packages) != 1:
        raise LayoutError("cpack made %d packages: %s" % (len(packages), packages))
    return packages[0]


def DependencyNames(depends):
    """Package names of a Depends field, alternatives kept as groups."""
    groups = []
    for group in depends.split(","):
        names = [re.sub(r"\s*\(.*\)", "", alternative).strip().split(":")[0] for alternative in group.split("|")]
        groups.append(names)
    return groups


def OwningPackage(path):
    # Debian's merged /usr: the loader may name /lib where dpkg knows /usr/lib.
    candidates = [path, os.path.realpath(path)]
    for candidate in list(candidates):
        if candidate.startswith("/lib"):
            candidates.append("/usr" + candidate)
    for candidate in candidates:
        result = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":")[0].strip()
    return None


def LinkedPackages(program):
    """The packages holding the libraries the program names itself."""
    needed = re.findall(r"NEEDED\s+(\S+)", Run("objdump", "-p", program))
    listing = Run("ldd", program)
    resolved = dict(re.findall(r"^\s*(\S+) => (/\S+)", listing, re.MULTILINE))
    # The dynamic loader is listed by its path alone.
    for path in re.findall(r"^\s*(/\S+) \(", listing, re.MULTILINE):
        resolved.setdefault(os.path.basename(path), path)
    packages = {}
    for soname in needed:
        if soname not in resolved:
            raise LayoutError("the loader does not find %s" % soname)
        owner = OwningPackage(resolved[soname])
        if owner:
            packages[soname] = owner
    return packages


def CheckControl(package, buildDir):
    fields = {name: Run("dpkg-deb", "-f", package, name).strip()
              for name in ("Package", "Version", "Architecture", "Section", "Maintainer", "Depends", "Description")}
    architecture = Run("dpkg", "--print-architecture").strip()
    if fields["Package"] != "zelvon" or fields["Architecture"] != architecture or fields["Section"] != "games":
        raise LayoutError("control fields: %s" % fields)
    if not fields["Maintainer"] or not fields["Description"] or not fields["Version"]:
        raise LayoutError("a control field is empty: %s" % fields)
    groups = DependencyNames(fields["Depends"])
    if SOUNDFONT_ALTERNATIVES.split(" | ") not in groups:
        raise LayoutError('Depends lacks "%s": %s' % (SOUNDFONT_ALTERNATIVES, fields["Depends"]))
    plain = {names[0] for names in groups if len(names) == 1}
    linked = LinkedPackages(os.path.join(buildDir, "bin", "zelvon"))
    missing = sorted("%s (%s)" % (owner, soname) for soname, owner in linked.items() if owner not in plain)
    if missing:
        raise LayoutError("Depends lacks the packages of linked libraries %s: %s" % (missing, fields["Depends"]))
    for qt in ("libqt6core6", "libqt6gui6", "libqt6widgets6") + OPENED_PACKAGES:
        if qt not in plain:
            raise LayoutError("Depends lacks %s: %s" % (qt, fields["Depends"]))
    print("ok - %s %s for %s depends on %s" % (fields["Package"], fields["Version"], architecture, fields["Depends"]))


def CheckFiles(package, buildDir):
    entries = {}
    for line in Run("dpkg-deb", "-c", package).splitlines():
        # mode owner/group size date time ./path
        parts = line.split(None, 5)
        mode, owner, path = parts[0], parts[1], parts[5]
        if owner != "root/root":
            raise LayoutError("%s belongs to %s" % (path, owner))
        if not mode.startswith("d"):
            entries[path] = mode
    expected = {"./usr/" + path for path in InstallLayout.ExpectedFiles(buildDir)}
    if set(entries) != expected:
        raise LayoutError("package files differ; missing %s, unexpected %s"
                          % (sorted(expected - set(entries)), sorted(set(entries) - expected)))
    for path, mode in entries.items():
        wanted = "-rwxr-xr-x" if path == "./usr/" + InstallLayout.PROGRAM else "-rw-r--r--"
        if mode != wanted:
            raise LayoutError("%s has mode %s, not %s" % (path, mode, wanted))
    print("ok - the package holds the %d files of the installed layout under /usr" % len(entries))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", required=True)
    args = parser.parse_args()
    buildDir = os.path.abspath(args.build_dir)
    missing = [tool for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps", "objdump", "ldd") if not shutil.which(tool)]
    if missing:
        print("skipped: missing %s" % ", ".join(missing))
        return 77
    with tempfile.TemporaryDirectory(prefix="zelvon-package-") as outputDir:
        try:
            package = BuildPackage(buildDir, outputDir)
            CheckControl(package, buildDir)
            CheckFiles(package, buildDir)
        except LayoutError as error:
            print("FAILED: %s" % error)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
