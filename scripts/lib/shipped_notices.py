#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What each file of a Windows download is and under which terms it comes, made from one record:
the Qt build's qt-build.json, the files the build installed with where each came from, and the
Debian packages that hold those.

  shipped_notices.py notices RECORD ORIGINS SHIPPED VERSION PARTS
      writes COPYING, LICENSES/ and THIRD-PARTY-NOTICES.txt into the folder SHIPPED and what it
      found into the JSON file PARTS; fails for a file it cannot place
  shipped_notices.py check NOTICES [FILE...]
      fails unless THIRD-PARTY-NOTICES.txt NOTICES has an entry for each FILE (paths relative to
      the program's folder, / or \\ between folders)
  shipped_notices.py bom PARTS SHIPPED DOWNLOAD OUT
      writes the CycloneDX bill of materials of the Windows download DOWNLOAD into OUT
  shipped_notices.py deb-bom DEB VERSION OUT
      the same for the Debian package DEB, whose every file is Zeluvar's
  shipped_notices.py source PARTS DIST
      copies the source the shipped Qt was built from, and the script that built it, into DIST;
      fails, naming the Qt version, when a file is missing or not the one the record names
"""
import shutil
import datetime
import hashlib
import io
import json
import os
import pathlib
import re
import subprocess
import sys
import tarfile
import urllib.parse
import uuid

ROOT = pathlib.Path(__file__).resolve().parents[2]
COMMON_LICENSES = pathlib.Path("/usr/share/common-licenses")
NOTICES = "THIRD-PARTY-NOTICES.txt"
# Written by the installer beside the program; no file of the build.
UNINSTALLER = "Uninstall.exe"


def fail(message):
    sys.exit(f"shipped_notices: {message}")


def sha256(path):
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


def deb_purl(source, version):
    return f"pkg:deb/debian/{source}@{urllib.parse.quote(version, safe='~')}?arch=source"


def dpkg_owner(path):
    """The Debian package holding path: binary package, its version, source package and version."""
    for name in dict.fromkeys([os.path.normpath(path), os.path.realpath(path)]):
        owner = subprocess.run(["dpkg", "-S", name], capture_output=True, text=True)
        if owner.returncode == 0:
            break
    else:
        fail(f"no Debian package holds {path}")
    package = owner.stdout.split(":", 1)[0]
    fields = subprocess.run(["dpkg-query", "-W", "-f=${Version}\t${source:Package}\t${source:Version}", package],
                            capture_output=True, text=True, check=True).stdout.split("\t")
    return package, *fields


def dep5_paragraphs(copyright_file, selected):
    """The Files paragraphs of a DEP-5 copyright file that selected(files) accepts, verbatim, and
    after them each stand-alone License paragraph they name."""
    text = pathlib.Path(copyright_file).read_text()
    paragraphs = [p.strip("\n") for p in re.split(r"\n[ \t]*\n", text) if p.strip()]
    chosen, licenses = [], []
    for paragraph in paragraphs:
        files = re.match(r"Files:((?:.*\n?)(?:[ \t].*\n?)*)", paragraph)
        if files and selected(files[1].split()):
            chosen.append(paragraph.strip("\n"))
            name = re.search(r"^License: (.*)$", paragraph, re.M)[1].strip()
            if not re.search(r"^License: .*\n[ \t]", paragraph, re.M) and name not in licenses:
                licenses.append(name)
    for name in licenses:
        text = next((p.strip("\n") for p in paragraphs if p.startswith(f"License: {name}\n")), None)
        if text is None:
            fail(f"{copyright_file} names the license {name} but has no paragraph with its text")
        chosen.append(text)
    if not chosen:
        fail(f"{copyright_file} has none of the paragraphs looked for")
    return "\n\n".join(chosen) + "\n"


def gcc_exception(copyright_file):
    text = pathlib.Path(copyright_file).read_text()
    match = re.search(r"^GCC RUNTIME LIBRARY EXCEPTION\n.*?requirements of the license of GCC\.\n", text, re.M | re.S)
    if not match:
        fail(f"{copyright_file} holds no GCC Runtime Library Exception")
    return match[0]


# The runtime parts that come from Debian's mingw-w64 and NSIS, by Debian source package: their
# component, license and the notice each asks for, taken from the binary package's copyright file.
DEBIAN_PARTS = {
    "gcc-mingw-w64": {
        "component": "GCC runtime libraries (libstdc++, libgcc)",
        "license": "GPL-3.0-or-later WITH GCC-exception-3.1",
        "texts": ["COPYING", "LICENSES/GCC-exception-3.1.txt"],
        "license_file": lambda copyright_file: ("LICENSES/GCC-exception-3.1.txt", gcc_exception(copyright_file)),
    },
    "mingw-w64": {
        "component": "winpthreads (mingw-w64)",
        "license": "MIT AND BSD-3-Clause",
        "notice": lambda copyright_file: dep5_paragraphs(copyright_file, lambda files: any(
            f.startswith("mingw-w64-libraries/winpthreads/") and "/tests_pthread/" not in f for f in files)),
    },
    "nsis": {
        "component": "NSIS installer stub",
        "license": "Zlib AND CPL-1.0",
        "notice": lambda copyright_file: dep5_paragraphs(copyright_file,
                                                         lambda files: files in (["*"], ["Source/7zip/*"])),
    },
}


def qt_component(record):
    source = record["debian_source"]
    return {
        "component": "Qt", "version": record["qt_version"],
        "source": f"{source['package']} {source['version']}", "license": "LGPL-3.0-only",
        "purl": deb_purl(source["package"], source["version"]),
        "texts": ["LICENSES/LGPL-3.0.txt", "COPYING"],
    }


def place_files(record, origins, version):
    """Each shipped file with its part; the parts with the texts they ask to ship."""
    prefix = str(pathlib.Path(record).resolve().parent)
    record = json.loads(pathlib.Path(record).read_text())
    zeluvar = {"component": "Zeluvar", "version": version, "source": "this release's source (Git commit)",
               "license": "GPL-3.0-or-later", "purl": f"pkg:generic/zeluvar@{version}", "texts": ["COPYING"]}
    qt = qt_component(record)
    wintab = record["wintab"]
    headers = {"component": "Wintab headers of Wine", "version": wintab["version"],
               "source": f"wine {wintab['debian_version']}", "license": wintab["license"],
               "purl": deb_purl("wine", wintab["debian_version"]), "texts": ["LICENSES/LGPL-2.1.txt"],
               "notice": wintab["notice"], "library": wintab["library"]}
    parts = {"zeluvar": zeluvar, "qt": qt, "wintab": headers}
    files = {NOTICES: "zeluvar"}
    license_files = {"LICENSES/LGPL-3.0.txt": (COMMON_LICENSES / "LGPL-3").read_text(),
                     "LICENSES/LGPL-2.1.txt": (COMMON_LICENSES / "LGPL-2.1").read_text()}
    for line in pathlib.Path(origins).read_text().splitlines():
        name, origin = line.split("\t")
        if origin == "zeluvar":
            files[name] = "zeluvar"
        elif origin.startswith(prefix + "/"):
            files[name] = "qt"
        else:
            files[name] = debian_part(parts, license_files, origin)
    files[UNINSTALLER] = debian_part(parts, license_files, "/usr/share/nsis/Stubs/uninst")
    # Each license text belongs to the first part that asks for it: COPYING to Zeluvar.
    for key, part in parts.items():
        for name in part.get("texts", []):
            files.setdefault(name, key)
    third_party = record["third_party"]
    shipped_stems = {pathlib.PurePosixPath(name).stem for name, part in files.items() if part == "qt"}
    qt["third_party"] = [entry for entry in third_party if entry["library"] in shipped_stems]
    return {"parts": parts, "files": dict(sorted(files.items())), "license_files": license_files,
            "record": {"qt_version": record["qt_version"], "source_files": record["source_files"],
                       "build_script": record["build_script"]}}


def debian_part(parts, license_files, path):
    package, binary_version, source, source_version = dpkg_owner(path)
    if source not in DEBIAN_PARTS:
        fail(f"{path} comes from Debian's {source}, whose license scripts/lib/shipped_notices.py does not know")
    if source not in parts:
        known = DEBIAN_PARTS[source]
        copyright_file = f"/usr/share/doc/{package}/copyright"
        part = {"component": known["component"], "version": binary_version, "source": f"{source} {source_version}",
                "license": known["license"], "purl": deb_purl(source, source_version),
                "texts": known.get("texts", [])}
        if "notice" in known:
            part["notice"] = known["notice"](copyright_file)
        if "license_file" in known:
            name, text = known["license_file"](copyright_file)
            license_files[name] = text
        parts[source] = part
    return source


def named(part):
    """A part's name with its version, where it has one."""
    name = part.get("name") or part["component"]
    return f"{name} {part['version']}" if part.get("version") else name


def notices_text(placed, version):
    parts, files = placed["parts"], placed["files"]
    qt = parts["qt"]
    out = io.StringIO()
    w = out.write
    w(f"Zeluvar {version} for Windows: the parts of this download and their terms\n"
      f"Zeluvar {version} Windows 版：本下载所含的各部分及其许可条款\n\n")
    w("Zeluvar is free software under the GNU General Public License, version 3 or (at your option)\n"
      "any later version: see COPYING.\n\n"
      f"The Qt libraries and plugins are Qt {qt['version']} under the GNU Lesser General Public License,\n"
      "version 3 (LICENSES/LGPL-3.0.txt, which adds to the GNU GPL version 3 in COPYING). You may\n"
      f"replace them with your own build of Qt {qt['version']}: Zeluvar loads them from its folder.\n"
      f"This Qt was built from Debian's source package {qt['source']} with its patches applied, and\n"
      "the Wintab headers of Wine; that source, and the script that built it (which holds every\n"
      "change it made to the source), are published beside this download:\n")
    for file in placed["record"]["source_files"] + [placed["record"]["build_script"]]:
        w(f"    {file['name']}  (SHA-256 {file['sha256']})\n")
    w("\nFILES\n\nEach file of the download (the installer also writes Uninstall.exe):\n\n")
    for name, key in files.items():
        part = parts[key]
        w(f"{name}\n    component: {named(part)}\n"
          f"    Debian source package: {part['source']}\n    license: {part['license']}")
        texts = part.get("texts", []) + (["NOTICES below"] if "notice" in part else [])
        w(f" ({', '.join(texts)})\n" if texts else "\n")
        for entry in part.get("third_party", []):
            if entry["library"] == pathlib.PurePosixPath(name).stem:
                w(f"    compiled in: {named(entry)} ({entry['license'] or 'see NOTICES below'})\n")
        if key == "qt" and pathlib.PurePosixPath(name).stem == parts["wintab"]["library"]:
            wintab = parts["wintab"]
            w(f"    compiled in: {named(wintab)} ({wintab['license']}, LICENSES/LGPL-2.1.txt, NOTICES below)\n")
    w("\nNOTICES\n")
    for key, part in parts.items():
        if "notice" in part:
            w(f"\n==== {named(part)} ({part['source']}) ====\n\n{part['notice'].rstrip()}\n")
    for entry in qt["third_party"]:
        w(f"\n==== {named(entry)}, in {entry['library']}.dll of Qt {qt['version']} ====\n"
          f"Used: {entry['usage']}\nLicense: {entry['license'] or 'see the notice'}\n\n")
        if entry["copyright"]:
            w(entry["copyright"].rstrip() + "\n\n")
        for text in entry["license_texts"]:
            w(text.rstrip() + "\n\n")
    return out.getvalue().rstrip() + "\n"


def notices(record, origins, shipped, version, parts_out):
    shipped = pathlib.Path(shipped)
    placed = place_files(record, origins, version)
    (shipped / "LICENSES").mkdir(exist_ok=True)
    (shipped / "COPYING").write_bytes((ROOT / "COPYING").read_bytes())
    for name, text in placed["license_files"].items():
        (shipped / name).write_text(text)
    (shipped / NOTICES).write_text(notices_text(placed, version))
    check(shipped / NOTICES, *[str(p.relative_to(shipped)) for p in shipped.rglob("*") if p.is_file()])
    del placed["license_files"]
    pathlib.Path(parts_out).write_text(json.dumps(placed, indent=1, sort_keys=True, ensure_ascii=False) + "\n")


def listed(notices_file):
    text = pathlib.Path(notices_file).read_text()
    table = text.split("\nFILES\n", 1)[1].split("\nNOTICES\n", 1)[0]
    return set(re.findall(r"^(\S+)$", table, re.M))


def check(notices_file, *names):
    entries = listed(notices_file)
    missing = sorted(name.replace("\\", "/") for name in names if name.replace("\\", "/") not in entries)
    if missing:
        fail(f"{notices_file} has no entry for: {', '.join(missing)}")


def source_date():
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    return datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def license_choice(expression):
    """A CycloneDX license: an SPDX expression where it is one, else the name as written."""
    from license_expression import get_spdx_licensing
    info = get_spdx_licensing().validate(expression, strict=True)
    return {"expression": info.normalized_expression} if not info.errors else {"license": {"name": expression}}


def hashes(path):
    return [{"alg": "SHA-256", "content": sha256(path)}]


def bom(components, download, version, license):
    digest = sha256(download)
    return {
        "bomFormat": "CycloneDX", "specVersion": "1.6",
        # The same download gives the same serial number, so that a rebuild gives the same bytes.
        "serialNumber": uuid.uuid5(uuid.NAMESPACE_URL, f"zeluvar:{pathlib.Path(download).name}:{digest}").urn,
        "version": 1,
        "metadata": {
            "timestamp": source_date(),
            "tools": {"components": [{"type": "application", "name": "shipped_notices.py",
                                      "version": version}]},
            "component": {"type": "application", "bom-ref": "download", "name": pathlib.Path(download).name,
                          "version": version, "hashes": [{"alg": "SHA-256", "content": digest}],
                          "licenses": [license_choice(license)]},
        },
        "components": components,
    }


def file_component(name, part, path):
    component = {"type": "file", "bom-ref": f"file:{name}", "name": name, "version": part["version"],
                 "licenses": [license_choice(part["license"])], "purl": part["purl"],
                 "properties": [{"name": "zeluvar:component", "value": part["component"]},
                                {"name": "zeluvar:debian-source", "value": part["source"]}]}
    if path is not None:
        component["hashes"] = hashes(path)
    else:
        component["properties"].append({"name": "zeluvar:written-by", "value": "the installer"})
    return component


def windows_bom(parts_file, shipped, download, out):
    placed = json.loads(pathlib.Path(parts_file).read_text())
    shipped, parts = pathlib.Path(shipped), placed["parts"]
    in_download = sorted(str(p.relative_to(shipped)) for p in shipped.rglob("*") if p.is_file())
    names = in_download + ([UNINSTALLER] if download.endswith("-setup.exe") else [])
    components = []
    for name in names:
        part = parts[placed["files"][name]]
        component = file_component(name, part, shipped / name if name in in_download else None)
        for entry in part.get("third_party", []) if part is parts["qt"] else []:
            if entry["library"] == pathlib.PurePosixPath(name).stem:
                component.setdefault("components", []).append(third_party_component(name, entry))
        if pathlib.PurePosixPath(name).stem == parts["wintab"]["library"]:
            wintab = parts["wintab"]
            component.setdefault("components", []).append({
                "type": "library", "bom-ref": f"{name}:wintab", "name": wintab["component"],
                "version": wintab["version"], "licenses": [license_choice(wintab["license"])],
                "purl": wintab["purl"]})
        components.append(component)
    version = parts["zeluvar"]["version"]
    write_json(out, bom(components, download, version, "GPL-3.0-or-later"))


def third_party_component(name, entry):
    component = {"type": "library", "bom-ref": f"{name}:{entry['id']}", "name": entry["name"]}
    if entry["version"]:
        component["version"] = entry["version"]
    if entry["license"]:
        component["licenses"] = [license_choice(entry["license"])]
    return component


def deb_bom(deb, version, out):
    data = subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], capture_output=True, check=True).stdout
    zeluvar = {"component": "Zeluvar", "version": version, "source": "this release's source (Git commit)",
               "license": "GPL-3.0-or-later", "purl": f"pkg:generic/zeluvar@{version}"}
    components = []
    with tarfile.open(fileobj=io.BytesIO(data)) as tar:
        for member in sorted((m for m in tar if m.isfile()), key=lambda m: m.name):
            component = file_component(member.name.lstrip("."), zeluvar, None)
            component["properties"] = component["properties"][:2]
            component["hashes"] = [{"alg": "SHA-256",
                                    "content": hashlib.sha256(tar.extractfile(member).read()).hexdigest()}]
            components.append(component)
    write_json(out, bom(components, deb, version, "GPL-3.0-or-later"))


def source(parts_file, dist):
    record = json.loads(pathlib.Path(parts_file).read_text())["record"]
    for file in record["source_files"] + [record["build_script"]]:
        path = pathlib.Path(file["path"])
        if not path.is_file() or sha256(path) != file["sha256"]:
            fail(f"the exact source of Qt {record['qt_version']} is not at hand: {path} is "
                 f"{'not the file that Qt was built from' if path.is_file() else 'missing'}")
        shutil.copyfile(path, pathlib.Path(dist) / file["name"])


def write_json(path, data):
    pathlib.Path(path).write_text(json.dumps(data, indent=1, sort_keys=True, ensure_ascii=False) + "\n")


COMMANDS = {"notices": (notices, 5), "bom": (windows_bom, 4), "deb-bom": (deb_bom, 3), "source": (source, 2)}

if __name__ == "__main__":
    command, arguments = (sys.argv[1:2] or [""])[0], sys.argv[2:]
    if command == "check":
        check(*arguments)
    elif command in COMMANDS and len(arguments) == COMMANDS[command][1]:
        COMMANDS[command][0](*arguments)
    else:
        sys.exit(__doc__)
