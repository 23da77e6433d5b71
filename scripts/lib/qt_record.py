#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes qt-build.json into a Qt for Windows prefix: what that Qt was built from (Debian's
qt6-base source package, the Wintab headers' archive, the build script, each with its SHA-256)
and which third-party code its configuration compiled into which library, with the notices
Qt's qt_attribution.json files give for it. The Windows downloads' notices and bills of
materials are made from this record, and a release ships the source it names.

usage: qt_record.py PREFIX SOURCE_DIR BUILD_SCRIPT WINE_DEBIAN_VERSION
"""
import hashlib
import json
import pathlib
import re
import sys
import tarfile

# Where each piece of third-party code in qtbase ends up in a Windows build, and on which
# configured features it depends ("!x": feature x off). Every attribution in the source must be
# named here: a new one in a newer Qt stops the record instead of going unnoticed.
ALWAYS = ()
PLACEMENT = {
    # Qt Core
    "blake2": ("Qt6Core", ("!system_libb2",)),
    "doubleconversion": ("Qt6Core", ("doubleconversion", "!system_doubleconversion")),
    "easing": ("Qt6Core", ("easingcurve",)),
    "md4": ("Qt6Core", ALWAYS),
    "md5": ("Qt6Core", ALWAYS),
    "sha1": ("Qt6Core", ALWAYS),
    "rfc6234": ("Qt6Core", ALWAYS),
    "sha3_endian": ("Qt6Core", ALWAYS),
    "sha3_keccak": ("Qt6Core", ALWAYS),
    "siphash": ("Qt6Core", ALWAYS),
    "pcre2": ("Qt6Core", ("regularexpression", "!system_pcre2")),
    "pcre2-sljit": ("Qt6Core", ("regularexpression", "!system_pcre2")),
    "zlib": ("Qt6Core", ("!system_zlib",)),
    "tinycbor": ("Qt6Core", ("cborstreamreader",)),
    "unicode-character-database": ("Qt6Core", ALWAYS),
    "unicode-cldr": ("Qt6Core", ALWAYS),
    "tika-mimetypes": ("Qt6Core", ("mimetype", "mimetype_database")),
    # Qt GUI
    "freetype": ("Qt6Gui", ("freetype", "!system_freetype")),
    "freetype-zlib": ("Qt6Gui", ("freetype", "!system_freetype")),
    "freetype-bdf": ("Qt6Gui", ("freetype", "!system_freetype")),
    "freetype-pcf": ("Qt6Gui", ("freetype", "!system_freetype")),
    "harfbuzz-ng": ("Qt6Gui", ("harfbuzz", "!system_harfbuzz")),
    "libpng": ("Qt6Gui", ("png", "!system_png")),
    "md4c": ("Qt6Gui", ("textmarkdownreader", "!system_textmarkdownreader")),
    "grayraster": ("Qt6Gui", ALWAYS),
    "smooth-scaling-algorithm": ("Qt6Gui", ALWAYS),
    "xserverhelper": ("Qt6Gui", ALWAYS),
    "webgradients": ("Qt6Gui", ALWAYS),
    "aglfn": ("Qt6Gui", ALWAYS),
    "icc-sRGB-color-profile": ("Qt6Gui", ("pdf",)),
    "icc-srgb-color-profile": ("Qt6Gui", ("pdf",)),
    "d3d12memoryallocator": ("Qt6Gui", ALWAYS),
    "rhi-miniengine-d3d12-mipmap": ("Qt6Gui", ALWAYS),
    "opengl-headers": ("Qt6Gui", ("opengl",)),
    "opengl-es2-headers": ("Qt6Gui", ("opengl",)),
    "vulkan-xml-spec": ("Qt6Gui", ("vulkan",)),
    "VulkanMemoryAllocator": ("Qt6Gui", ("vulkan",)),
    "vulkanmemoryallocator": ("Qt6Gui", ("vulkan",)),
    # Libraries and plugins no Windows download carries.
    "libjpeg": ("qjpeg", ("jpeg", "!system_jpeg")),
    "cycle": ("Qt6Test", ALWAYS),
    "valgrind": ("Qt6Test", ("never",)),
    "linuxperf": ("Qt6Test", ("never",)),
    "catch2": ("tests", ("never",)),
    "libpsl": ("Qt6Network", ("network",)),
    "psl": ("Qt6Network", ("network",)),
    "psl-data": ("Qt6Network", ("network",)),
    "libdbus-1-headers": ("Qt6DBus", ("dbus",)),
    # Other platforms, and the build system.
    "forkfd": ("unix", ("never",)),
    "xcb-xinput": ("xcb", ("never",)),
    "pixman": ("neon", ("never",)),
    "qeventdispatcher_cf": ("macos", ("never",)),
    "cocoa-platform-plugin": ("macos", ("never",)),
    "android-native-style": ("android", ("never",)),
    "android-gradle-wrapper": ("android", ("never",)),
    "vera_font": ("wasm", ("never",)),
    "dejayvu": ("wasm", ("never",)),
    "extra-cmake-modules": ("build", ("never",)),
    "kwin": ("build", ("never",)),
}

# The Qt libraries and plugins a download may carry, by the name of their DLL.
QT_BINARIES = {"Qt6Core", "Qt6Gui", "Qt6Widgets", "qwindows", "qwindowsvistastyle",
               "qmodernwindowsstyle"}


def fail(message):
    sys.exit(f"qt_record: {message}")


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def features(prefix):
    """QT_FEATURE_x of the configuration the prefix was built with, from its config headers."""
    found = {}
    for header in sorted(prefix.glob("include/**/*config*.h")):
        for name, value in re.findall(r"^#define QT_FEATURE_(\w+) (-?1)$", header.read_text(), re.M):
            found[name] = value == "1"
    if not found:
        fail(f"no QT_FEATURE_ lines in the config headers of {prefix}")
    return found


def built(condition, configured):
    return all(configured.get(term[1:]) is False if term.startswith("!") else configured.get(term) is True
               for term in condition)


def debian_source(prefix):
    text = (prefix / "qt-source.txt").read_text()
    match = re.search(r"Debian's (\S+) (\S+) with its patch series applied \(\d+ patches\):\n((?:  \S+\n)*)", text)
    if not match:
        fail(f"{prefix}/qt-source.txt does not say which Debian source Qt was built from")
    return match[1], match[2], match[3].split()


def dsc_files(dsc):
    """The files a .dsc names, with their SHA-256 sums."""
    block = re.search(r"^Checksums-Sha256:\n((?: .*\n)+)", dsc.read_text(), re.M)
    if not block:
        fail(f"{dsc} has no Checksums-Sha256")
    return [(name, digest) for digest, _, name in (line.split() for line in block[1].splitlines())]


def source_file(folder, name, qt_version, digest=None):
    path = folder / name
    if not path.is_file():
        fail(f"the source of Qt {qt_version} is incomplete: {path} is missing")
    actual = sha256(path)
    if digest and actual != digest:
        fail(f"{path} is not the file its .dsc names (SHA-256 {actual}, not {digest})")
    return {"name": name, "path": str(path), "sha256": actual}


def members(orig, wanted):
    """The contents of the files of the source tarball that wanted(name) accepts, read in one pass
    (an xz tarball cannot seek)."""
    found = {}
    with tarfile.open(orig, "r|*") as tar:
        for member in tar:
            if member.isfile() and wanted(member.name):
                found[member.name] = tar.extractfile(member).read()
    return found


def attributions(orig):
    """Each qt_attribution.json entry of the source, with the texts of its license files."""
    entries = []
    # The attributions, and the texts of the licenses in the source's LICENSES/, in one pass.
    first = members(orig, lambda n: n.endswith("/qt_attribution.json") or n.split("/")[1:2] == ["LICENSES"])
    for name, content in sorted(first.items()):
        if not name.endswith("/qt_attribution.json"):
            continue
        folder = name.rsplit("/", 1)[0]
        data = json.loads(content.decode(), strict=False)
        for entry in data if isinstance(data, list) else [data]:
            files = entry.get("LicenseFiles") or ([entry["LicenseFile"]] if entry.get("LicenseFile") else [])
            paths = [str(pathlib.PurePosixPath(folder, file)) for file in files]
            for i, path in enumerate(paths):
                while "/../" in path:
                    path = re.sub(r"[^/]+/\.\./", "", path, count=1)
                paths[i] = path
            entries.append((folder, entry, paths))
    # An entry that names no license file has its license's text in the source's LICENSES/.
    top = entries[0][0].split("/", 1)[0]
    wanted = {path for _, _, paths in entries for path in paths} - first.keys()
    texts = first | members(orig, wanted.__contains__)
    result = []
    for folder, entry, paths in entries:
        for path in paths:
            if path not in texts:
                fail(f"{folder}/qt_attribution.json names the license file {path}, which {orig.name} lacks")
        if not paths:
            ids = re.findall(r"[\w.+-]+", entry.get("LicenseId", ""))
            paths = [f"{top}/LICENSES/{id}.txt" for id in ids if f"{top}/LICENSES/{id}.txt" in texts]
        result.append((folder.split("/", 1)[1], entry, [texts[path].decode("utf-8", "replace") for path in paths]))
    return result


def text(value):
    """A field of qt_attribution.json, which may be a string or a list of lines."""
    return "\n".join(value).strip() if isinstance(value, list) else value.strip()


def third_party(orig, configured):
    compiled = []
    for folder, entry, texts in attributions(orig):
        if entry["Id"] not in PLACEMENT:
            fail(f"{folder}/qt_attribution.json names {entry['Id']}, which scripts/lib/qt_record.py does "
                 "not place: say in PLACEMENT which library it is compiled into, and when")
        library, condition = PLACEMENT[entry["Id"]]
        if library in QT_BINARIES and built(condition, configured):
            compiled.append({
                "id": entry["Id"], "name": entry["Name"], "library": library,
                "version": entry.get("Version", ""), "license": entry.get("LicenseId") or entry.get("License", ""),
                "copyright": text(entry.get("Copyright", "")), "usage": text(entry.get("QtUsage", "")),
                "source_folder": folder, "license_texts": texts,
            })
    return compiled


def wintab(folder, wine_version, qt_version):
    """The archive of Wine's Wintab headers, which the Windows platform plugin is compiled with."""
    upstream = re.sub(r"[~+-].*", "", wine_version)
    archive = source_file(folder, f"wintab-headers-wine-{upstream}.tar.xz", qt_version)
    with tarfile.open(archive["path"]) as tar:
        notice = tar.extractfile(f"wine-{upstream}/LICENSE").read().decode()
    return archive, {"version": upstream, "debian_version": wine_version, "license": "LGPL-2.1-or-later",
                     "library": "qwindows", "notice": notice}


def main(prefix, folder, build_script, wine_version):
    prefix, folder, build_script = pathlib.Path(prefix), pathlib.Path(folder), pathlib.Path(build_script)
    qt_version = re.search(r'set\(PACKAGE_VERSION "([0-9.]+)"\)',
                           (prefix / "lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake").read_text())[1]
    package, version, patches = debian_source(prefix)
    dsc = source_file(folder, f"{package}_{version}.dsc", qt_version)
    files = [dsc] + [source_file(folder, name, qt_version, digest)
                     for name, digest in dsc_files(pathlib.Path(dsc["path"]))]
    orig = next(pathlib.Path(f["path"]) for f in files if ".orig.tar." in f["name"])
    wintab_archive, wintab_headers = wintab(folder, wine_version, qt_version)
    if not build_script.is_file():
        fail(f"the script that built Qt {qt_version}, {build_script}, is missing")
    record = {
        "qt_version": qt_version,
        "debian_source": {"package": package, "version": version, "patches": patches},
        "source_files": files + [wintab_archive],
        "build_script": {"name": build_script.name, "path": str(build_script), "sha256": sha256(build_script)},
        "wintab": wintab_headers,
        "third_party": third_party(orig, features(prefix)),
    }
    (prefix / "qt-build.json").write_text(json.dumps(record, indent=1, sort_keys=True, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__.strip().splitlines()[-1])
    main(*sys.argv[1:])
