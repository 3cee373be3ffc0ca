#!/usr/bin/env python3
"""Writes the Windows Package Manager's manifests of a release: the
version, default locale and installer files of manifest version 1.10.0 in
<out>/<Publisher>.Ombrelay/<version>/, describing the Windows Installer
package (for the user and for the machine) and the setup program, each with
the SHA-256 of the file given and its download address.
  scripts/winget_manifests.py --version 1.02 --setup Ombrelay-1.02-setup.exe
      --msi Ombrelay-1.02.msi --out dist/winget [--msiinfo msiinfo]
The download address of a file is the release address with the file's name
after it; the release address comes from the environment variable
OMBRELAY_RELEASE_URL (http:// or https://; "{version}" in it stands for the
version), by default https://example.invalid/ombrelay/releases/{version}/.
The product code, upgrade code and publisher are read from the package's own
Property table (msiinfo, Debian's msitools), so the manifest says what the
package is."""
import argparse
import hashlib
import os
import re
import subprocess
import sys

import yaml

MANIFEST_VERSION = "1.10.0"
DEFAULT_RELEASE_URL = "https://example.invalid/ombrelay/releases/{version}/"
SHORT_DESCRIPTION = ("A small Windows desktop tool that deletes a chosen set of files and folders "
                     "at the press of a button.")
# The setup program's Installed apps entry: Uninstall\Ombrelay under HKCU.
SETUP_ENTRY = "Ombrelay"


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest().upper()


def msi_properties(msi, msiinfo):
    """The package's Property table: name -> value."""
    out = subprocess.run([msiinfo, "export", msi, "Property"], capture_output=True, text=True, check=True).stdout
    # Three header lines (names, types, table), then one tab-separated row each.
    return dict(line.split("\t", 1) for line in out.splitlines()[3:] if "\t" in line)


def release_url(version):
    base = os.environ.get("OMBRELAY_RELEASE_URL") or DEFAULT_RELEASE_URL
    base = base.replace("{version}", version)
    if not re.match(r"^https?://[^/\s]+", base, re.IGNORECASE) or re.search(r"\s", base):
        raise SystemExit("OMBRELAY_RELEASE_URL must be an http:// or https:// address without blanks: %r" % base)
    return base if base.endswith("/") else base + "/"


def manifests(version, setup, msi, properties, base):
    publisher = properties["Manufacturer"]
    package = {"PackageIdentifier": publisher + ".Ombrelay", "PackageVersion": version}
    entry = {"DisplayName": "Ombrelay", "Publisher": publisher, "DisplayVersion": version}

    def package_installer(scope):
        found = {"Architecture": "x86", "InstallerType": "msi", "Scope": scope,
                 "InstallerUrl": base + os.path.basename(msi), "InstallerSha256": sha256_of(msi),
                 "ProductCode": properties["ProductCode"],
                 "AppsAndFeaturesEntries": [dict(entry, ProductCode=properties["ProductCode"],
                                                 UpgradeCode=properties["UpgradeCode"])]}
        if scope == "machine":
            # The package installs per user unless told otherwise.
            found["InstallerSwitches"] = {"Custom": "ALLUSERS=1"}
            found["ElevationRequirement"] = "elevationRequired"
        return found

    setup_installer = {"Architecture": "x86", "InstallerType": "nullsoft", "Scope": "user",
                       "InstallerUrl": base + os.path.basename(setup), "InstallerSha256": sha256_of(setup),
                       "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S"},
                       "ProductCode": SETUP_ENTRY, "AppsAndFeaturesEntries": [entry]}
    return {
        "version": dict(package, DefaultLocale="en-US"),
        "defaultLocale": dict(package, PackageLocale="en-US", Publisher=publisher, PackageName="Ombrelay",
                              License="MIT", ShortDescription=SHORT_DESCRIPTION),
        "installer": dict(package, InstallModes=["interactive", "silent", "silentWithProgress"],
                          UpgradeBehavior="install",
                          Installers=[package_installer("user"), package_installer("machine"), setup_installer]),
    }


# Each manifest's file name after the package identifier.
FILE_ENDINGS = {"version": ".yaml", "defaultLocale": ".locale.en-US.yaml", "installer": ".installer.yaml"}


def write(out, found):
    identifier = found["version"]["PackageIdentifier"]
    folder = os.path.join(out, identifier, found["version"]["PackageVersion"])
    os.makedirs(folder, exist_ok=True)
    for kind, manifest in found.items():
        manifest = dict(manifest, ManifestType=kind, ManifestVersion=MANIFEST_VERSION)
        path = os.path.join(folder, identifier + FILE_ENDINGS[kind])
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write("# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n\n"
                    % (kind, MANIFEST_VERSION))
            yaml.safe_dump(manifest, f, sort_keys=False, allow_unicode=True)
    return folder


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--setup", required=True)
    parser.add_argument("--msi", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--msiinfo", default="msiinfo")
    args = parser.parse_args()
    base = release_url(args.version)
    properties = msi_properties(args.msi, args.msiinfo)
    # A manifest of one version around another version's package would
    # install what it does not name.
    if properties.get("ProductVersion") != args.version:
        raise SystemExit("%s is version %r, not %s" % (args.msi, properties.get("ProductVersion"), args.version))
    found = manifests(args.version, args.setup, args.msi, properties, base)
    print(write(args.out, found))


if __name__ == "__main__":
    sys.exit(main())
