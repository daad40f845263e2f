"""What an installation of the game must hold, worked out from the build
folder (every data file the build put beside the program) and from the
names the program and the desktop ask for."""

import os
import struct
import xml.etree.ElementTree as ElementTree

APP_ID = "cz.brantek.Zelvon"

# Files the program opens by name; the build must have made them all.
NAMED_DATA = (
    "ding.wav", "pop.wav", "laser.wav", "explode.wav", "applause.wav",
    "evita.mid", "axel'f.mid", "behappy.mid", "relax.mid",
    "logo.jpg", "Zelvon.hlp", "zelvon.png", "zelvon-256.png", "zelvon.svg",
)

ICONS = {
    "share/icons/hicolor/48x48/apps/%s.png" % APP_ID: (48, 48),
    "share/icons/hicolor/256x256/apps/%s.png" % APP_ID: (256, 256),
}
SCALABLE_ICON = "share/icons/hicolor/scalable/apps/%s.svg" % APP_ID
DESKTOP_ENTRY = "share/applications/%s.desktop" % APP_ID
METAINFO = "share/metainfo/%s.metainfo.xml" % APP_ID
PROGRAM = "bin/zelvon"
# Opened by the program when it first needs them.
MODULES = ("lib/zelvon/libzelvon-sound.so",)


class LayoutError(AssertionError):
    pass


def IsProgram(path):
    with open(path, "rb") as file:
        return file.read(4) == b"\x7fELF"


def BuiltDataFiles(buildDir):
    """The data files beside the built program."""
    outputDir = os.path.join(buildDir, "bin")
    names = sorted(name for name in os.listdir(outputDir)
                   if os.path.isfile(os.path.join(outputDir, name)) and not IsProgram(os.path.join(outputDir, name)))
    missing = [name for name in NAMED_DATA if name not in names]
    if missing:
        raise LayoutError("the build made no %s in %s" % (", ".join(missing), outputDir))
    return names


def ExpectedFiles(buildDir):
    """Every file of an installation, relative to its prefix."""
    files = {PROGRAM, DESKTOP_ENTRY, METAINFO, SCALABLE_ICON}
    files.update(MODULES)
    files.update(ICONS)
    files.update("share/zelvon/" + name for name in BuiltDataFiles(buildDir))
    return files


def PngSize(path):
    with open(path, "rb") as file:
        header = file.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        raise LayoutError("%s is not a PNG picture" % path)
    return struct.unpack(">II", header[16:24])


def InstalledFiles(prefix):
    found = set()
    for directory, _, names in os.walk(prefix):
        for name in names:
            found.add(os.path.relpath(os.path.join(directory, name), prefix))
    return found


def CheckTree(prefix, buildDir):
    """Compares an installed tree with the build; returns what it checked."""
    expected = ExpectedFiles(buildDir)
    found = InstalledFiles(prefix)
    problems = []
    if expected - found:
        problems.append("not installed: %s" % sorted(expected - found))
    if found - expected:
        problems.append("installed but not expected: %s" % sorted(found - expected))
    if problems:
        raise LayoutError("; ".join(problems))
    if not os.access(os.path.join(prefix, PROGRAM), os.X_OK):
        raise LayoutError("%s is not executable" % PROGRAM)
    for name in BuiltDataFiles(buildDir):
        with open(os.path.join(buildDir, "bin", name), "rb") as built, \
                open(os.path.join(prefix, "share/zelvon", name), "rb") as installed:
            if built.read() != installed.read():
                raise LayoutError("share/zelvon/%s differs from the built file" % name)
    for path, size in ICONS.items():
        if PngSize(os.path.join(prefix, path)) != size:
            raise LayoutError("%s is %d x %d, not %d x %d" % ((path,) + PngSize(os.path.join(prefix, path)) + size))
    with open(os.path.join(prefix, SCALABLE_ICON), "rb") as svg:
        if b"<svg" not in svg.read(4096):
            raise LayoutError("%s is not an SVG picture" % SCALABLE_ICON)
    return sorted(expected)


def DesktopEntry(path):
    """The keys of the [Desktop Entry] group."""
    entry = {}
    group = None
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.strip()
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line:
                key, _, value = line.partition("=")
                entry[key.strip()] = value.strip()
    return entry


def CheckDesktopEntry(prefix):
    entry = DesktopEntry(os.path.join(prefix, DESKTOP_ENTRY))
    problems = []
    if entry.get("Exec", "").split()[:1] != [os.path.basename(PROGRAM)]:
        problems.append("Exec=%s does not start the installed program" % entry.get("Exec"))
    if entry.get("Icon") != APP_ID:
        problems.append("Icon=%s is not the installed icon's name" % entry.get("Icon"))
    categories = [c for c in entry.get("Categories", "").split(";") if c]
    if categories[:2] != ["Game", "BoardGame"]:
        problems.append("Categories=%s" % entry.get("Categories"))
    for key in ("Name[cs]", "Comment[cs]"):
        if not entry.get(key):
            problems.append("no Czech %s" % key)
    if problems:
        raise LayoutError("desktop entry: " + "; ".join(problems))


def CheckMetainfo(prefix, screenshot):
    """The AppStream description points at the installed entry and program,
    rates its content and describes the screenshot kept in the sources."""
    root = ElementTree.parse(os.path.join(prefix, METAINFO)).getroot()
    problems = []
    if root.findtext("id") != APP_ID:
        problems.append("id %s" % root.findtext("id"))
    if root.findtext("launchable") != os.path.basename(DESKTOP_ENTRY):
        problems.append("launchable %s" % root.findtext("launchable"))
    if root.findtext("provides/binary") != os.path.basename(PROGRAM):
        problems.append("binary %s" % root.findtext("provides/binary"))
    if root.find("content_rating") is None:
        problems.append("no content rating")
    image = root.find("screenshots/screenshot/image")
    if image is None or not (image.text or "").startswith("https://"):
        problems.append("no screenshot address")
    elif (int(image.get("width", 0)), int(image.get("height", 0))) != PngSize(screenshot):
        problems.append("screenshot %sx%s, the picture is %d x %d"
                        % ((image.get("width"), image.get("height")) + PngSize(screenshot)))
    if problems:
        raise LayoutError("AppStream description: " + "; ".join(problems))
