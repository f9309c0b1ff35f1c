#!/usr/bin/env python3
"""Keeps resources/translations/*.ts in step with the sources.

    scripts/update-translations.py [DIR...]          run lupdate over src/ (or the folders given),
        then fill untranslated entries from resources/translations/pending-*.tsv
        (context<TAB>English<TAB>translation; plural forms separated by " | ", a line break written
        as \\n): Russian from
        pending-<area>.tsv, the English plural forms of counted texts from pending-<area>-en.tsv.
        Delete a pending file once it is merged.
    scripts/update-translations.py --check [DIR...]  exit 1 when any text lacks its Russian
        translation, or a counted text lacks its English plural forms
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDER = os.path.join(ROOT, "resources", "translations")
LUPDATE = "/usr/lib/qt6/bin/lupdate"
SOURCES = [a for a in sys.argv[1:] if not a.startswith("--")] or [os.path.join(ROOT, "src")]

# (ts file, target language, extra lupdate options, pending files)
LANGUAGES = [
    ("tavlin_ru.ts", "ru_RU", [], lambda p: not p.endswith("-en.tsv")),
    ("tavlin_en.ts", "en_US", ["-pluralonly"], lambda p: p.endswith("-en.tsv")),
]


def lupdate(ts_path, language, options):
    subprocess.run([LUPDATE, "-silent", "-no-obsolete", "-locations", "none", "-target-language", language,
                    *options, *SOURCES, "-ts", ts_path], check=True, timeout=600)


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


def load_pending(accept):
    table = {}
    for path in sorted(glob.glob(os.path.join(FOLDER, "pending-*.tsv"))):
        if not accept(path):
            continue
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.strip():
                    # A line break inside a text is written as the two characters \n.
                    context, english, translated = (field.replace("\\n", "\n") for field in line.split("\t"))
                    table[(context, english)] = translated
    return table


def write(tree, path):
    ET.indent(tree, space="    ")
    with open(path, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(f, encoding="utf-8", xml_declaration=False)
        f.write(b"\n")


def check():
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for name, language, options, _ in LANGUAGES:
            copy = os.path.join(folder, name)
            shutil.copy(os.path.join(FOLDER, name), copy)
            lupdate(copy, language, options)
            for context, source, _, _ in untranslated(ET.parse(copy)):
                print(f"untranslated in {name} ({context}): {source}")
                failures += 1
    if failures:
        print(f"{failures} text(s) lack a translation: run scripts/update-translations.py")
        return 1
    print("every text has its translations")
    return 0


def update():
    left = []
    for name, language, options, accept in LANGUAGES:
        path = os.path.join(FOLDER, name)
        lupdate(path, language, options)
        tree = ET.parse(path)
        table = load_pending(accept)
        for context, source, message, translation in untranslated(tree):
            translated = table.get((context, source))
            if translated is None:
                left.append((name, context, source))
                continue
            translation.attrib.pop("type", None)
            if message.get("numerus") == "yes":
                for form in list(translation):
                    translation.remove(form)
                for text in translated.split(" | "):
                    ET.SubElement(translation, "numerusform").text = text
            else:
                translation.text = translated
        write(tree, path)
    for name, context, source in left:
        print(f"still untranslated in {name} ({context}): {source}")
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(check() if "--check" in sys.argv[1:] else update())
