#!/usr/bin/env python3
"""Keeps resources/translations/*.ts in step with the sources.

    scripts/update-translations.py          run lupdate over src/, then fill untranslated Russian
                                            entries from resources/translations/pending-*.tsv
                                            (context<TAB>English<TAB>Russian; plural forms
                                            separated by " | "; delete a pending file once
                                            merged); optional arguments name the
                                            source folders (default src/)
    scripts/update-translations.py --check  exit 1 when any text lacks its Russian translation
"""
import glob
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TS = os.path.join(ROOT, "resources", "translations", "tavlin_ru.ts")
PENDING = os.path.join(ROOT, "resources", "translations", "pending-*.tsv")
LUPDATE = "/usr/lib/qt6/bin/lupdate"
SOURCES = [a for a in sys.argv[1:] if not a.startswith("--")] or [os.path.join(ROOT, "src")]


def lupdate(ts_path):
    subprocess.run([LUPDATE, "-silent", "-no-obsolete", "-locations", "none", "-target-language", "ru_RU",
                    *SOURCES, "-ts", ts_path], check=True)


def untranslated(tree):
    missing = []
    for context in tree.getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            texts = [t.text for t in translation.iter("numerusform")] if message.get("numerus") == "yes" \
                else [translation.text]
            if translation.get("type") in ("unfinished", "vanished", "obsolete") or not all(texts):
                missing.append((name, message.findtext("source"), message, translation))
    return missing


def load_pending():
    table = {}
    for path in sorted(glob.glob(PENDING)):
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line.strip():
                    continue
                context, english, russian = line.split("\t")
                table[(context, english)] = russian
    return table


def check():
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "check_ru.ts")
        with open(TS, "rb") as src, open(copy, "wb") as dst:
            dst.write(src.read())
        lupdate(copy)
        missing = untranslated(ET.parse(copy))
    for context, source, _, _ in missing:
        print(f"untranslated ({context}): {source}")
    if missing:
        print(f"{len(missing)} text(s) lack a Russian translation: run scripts/update-translations.py")
        return 1
    print("every text has its Russian translation")
    return 0


def update():
    lupdate(TS)
    tree = ET.parse(TS)
    table = load_pending()
    left = []
    for context, source, message, translation in untranslated(tree):
        russian = table.get((context, source))
        if russian is None:
            left.append((context, source))
            continue
        translation.attrib.pop("type", None)
        if message.get("numerus") == "yes":
            for form in list(translation):
                translation.remove(form)
            for text in russian.split(" | "):
                ET.SubElement(translation, "numerusform").text = text
        else:
            translation.text = russian
    ET.indent(tree, space="    ")
    with open(TS, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(f, encoding="utf-8", xml_declaration=False)
        f.write(b"\n")
    for context, source in left:
        print(f"still untranslated ({context}): {source}")
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(check() if "--check" in sys.argv[1:] else update())
