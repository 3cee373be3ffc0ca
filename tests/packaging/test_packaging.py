"""What a release carries besides the program, checked without Wine: the
Group Policy template against the published ADMX schemas (xmllint) with every
text and field it names defined in its English resources, and the winget
manifests made from the build's own setup program and package against the
package manager's 1.10.0 schemas, with each installer's digest and address."""
import glob
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import jsonschema
import yaml

SOURCE_DIR = os.environ.get("OMBRELAY_SOURCE_DIR") or os.path.join(os.path.dirname(__file__), "..", "..")
SETUP = os.environ.get("OMBRELAY_SETUP", "")
MSI = os.environ.get("OMBRELAY_MSI", "")
MSIINFO = os.environ.get("OMBRELAY_MSIINFO", "msiinfo")
VERSION = os.environ.get("OMBRELAY_VERSION", "")
POLICY = os.path.join(SOURCE_DIR, "installer", "policy")
ADMX, ADML = os.path.join(POLICY, "ombrelay.admx"), os.path.join(POLICY, "en-US", "ombrelay.adml")
NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}


class PolicyTemplateTest(unittest.TestCase):
    def test_the_template_and_its_texts_follow_the_schema_and_each_other(self):
        schema = os.path.join(SOURCE_DIR, "tests", "data", "admx-schemas", "PolicyDefinitionFiles.xsd")
        proc = subprocess.run(["xmllint", "--noout", "--schema", schema, ADMX, ADML], capture_output=True, text=True)
        self.assertEqual(proc.returncode, 0, proc.stderr)
        with open(ADMX, encoding="utf-8") as f:
            admx_text = f.read()
        admx, adml = ET.parse(ADMX).getroot(), ET.parse(ADML).getroot()
        strings = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
        presentations = {p.get("id"): {c.get("refId") for c in p if c.get("refId")}
                         for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
        self.assertEqual(set(re.findall(r"\$\(string\.([^)]+)\)", admx_text)), strings)
        self.assertEqual(set(re.findall(r"\$\(presentation\.([^)]+)\)", admx_text)), set(presentations))
        for policy in admx.iterfind(".//p:policy", NS):
            fields = {e.get("id") for e in policy.iterfind("p:elements/*", NS)}
            shown = re.fullmatch(r"\$\(presentation\.(.+)\)", policy.get("presentation", "")) if fields else None
            self.assertEqual(presentations[shown.group(1)] if shown else set(), fields, policy.get("name"))
            self.assertTrue(policy.get("key").startswith("Software\\Policies\\Ombrelay"), policy.get("name"))
        # An approval is the computer's alone: a user's own value must never approve a list.
        classes = {p.get("name"): p.get("class") for p in admx.iterfind(".//p:policy", NS)}
        self.assertEqual(classes, {"UpdateCheck": "Both", "RoutinesURL": "Both", "RoutinesFile": "Both",
                                   "RunByItself": "Both", "ApprovedLists": "Machine"})


def sha256_of(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest().upper()


class WingetManifestsTest(unittest.TestCase):
    def generate(self, out, release_url=None, version=VERSION):
        env = dict(os.environ)
        env.pop("OMBRELAY_RELEASE_URL", None)
        if release_url is not None:
            env["OMBRELAY_RELEASE_URL"] = release_url
        return subprocess.run([sys.executable, os.path.join(SOURCE_DIR, "scripts", "winget_manifests.py"),
                               "--version", version, "--setup", SETUP, "--msi", MSI, "--out", out,
                               "--msiinfo", MSIINFO], capture_output=True, text=True, env=env)

    def setUp(self):
        self.assertTrue(os.path.exists(SETUP) and os.path.exists(MSI), "no installers were built: %r" % [SETUP, MSI])
        self.out = tempfile.mkdtemp(prefix="winget-")
        self.addCleanup(subprocess.run, ["rm", "-rf", self.out])

    def test_the_manifests_follow_the_schemas_and_name_the_built_files(self):
        proc = self.generate(self.out, "https://downloads.example.com/ombrelay/{version}")
        self.assertEqual(proc.returncode, 0, proc.stderr)
        folder = os.path.join(self.out, "Farrowdene.Ombrelay", VERSION)
        found = {}
        for path in sorted(glob.glob(os.path.join(folder, "*.yaml"))):
            with open(path, encoding="utf-8") as f:
                manifest = yaml.safe_load(f)
            kind = manifest["ManifestType"]
            with open(os.path.join(SOURCE_DIR, "tests", "data", "winget-1.10.0",
                                   "manifest.%s.1.10.0.json" % kind)) as f:
                jsonschema.Draft7Validator(json.load(f)).validate(manifest)
            self.assertEqual((manifest["PackageIdentifier"], manifest["PackageVersion"]),
                             ("Farrowdene.Ombrelay", VERSION), path)
            found[os.path.basename(path)] = manifest
        self.assertEqual(sorted(found), ["Farrowdene.Ombrelay.installer.yaml", "Farrowdene.Ombrelay.locale.en-US.yaml",
                                         "Farrowdene.Ombrelay.yaml"])
        installers = found["Farrowdene.Ombrelay.installer.yaml"]["Installers"]
        base = "https://downloads.example.com/ombrelay/%s/" % VERSION
        self.assertEqual([(i["InstallerType"], i["Scope"], i["InstallerUrl"], i["InstallerSha256"])
                          for i in installers],
                         [("msi", "user", base + os.path.basename(MSI), sha256_of(MSI)),
                          ("msi", "machine", base + os.path.basename(MSI), sha256_of(MSI)),
                          ("nullsoft", "user", base + os.path.basename(SETUP), sha256_of(SETUP))])
        self.assertEqual(installers[1]["InstallerSwitches"], {"Custom": "ALLUSERS=1"})
        self.assertEqual(installers[2]["InstallerSwitches"]["Silent"], "/S")
        self.assertEqual(installers[0]["AppsAndFeaturesEntries"][0]["UpgradeCode"],
                         "{B88CB1DC-F8A3-40CA-AEBB-36DCA9E81C7D}")

    def test_an_address_that_is_no_download_or_another_version_writes_nothing(self):
        for url, version in (("ftp://mirror/ombrelay/", VERSION), ("https://mirror/a b/", VERSION),
                             (None, VERSION + "9")):
            proc = self.generate(self.out, url, version)
            self.assertNotEqual(proc.returncode, 0, (url, version))
            self.assertEqual(os.listdir(self.out), [], (url, version))


if __name__ == "__main__":
    unittest.main()
