#!/usr/bin/env python3
"""Fails on any include that runs up the layer order, and on QtWidgets outside ui/.

Usage: check_layers.py IOMIRA_SOURCE_DIR QTWIDGETS_INCLUDE_DIR
"""
import os
import re
import sys

LAYERS = ["core", "monitor", "notify", "app", "ui"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def layer_of(path):
    top = path.split("/", 1)[0]
    return top if top in LAYERS else None


def sources(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    full = os.path.join(folder, name)
                    yield layer, os.path.relpath(full, root), full


def widget_headers(qtwidgets_dir):
    names = set()
    for name in os.listdir(qtwidgets_dir):
        if name.startswith("Q") and "." not in name:
            names.add(name)
        names.add("QtWidgets/" + name)
    names.add("QtWidgets")
    return names


def violations(root, widgets):
    rank = {layer: i for i, layer in enumerate(LAYERS)}
    for layer, rel, full in sources(root):
        with open(full, encoding="utf-8") as f:
            text = f.read()
        for match in INCLUDE.finditer(text):
            kind, target = match.groups()
            line = text.count("\n", 0, match.start()) + 1
            if kind == '"':
                if "/" not in target and os.path.exists(os.path.join(os.path.dirname(full), target)):
                    yield f'{rel}:{line}: "{target}" must name its folder'
                    continue
                other = layer_of(target)
                if other and rank[other] > rank[layer]:
                    yield f"{rel}:{line}: {layer} includes {target} from the later layer {other}"
            elif layer != "ui" and target in widgets:
                yield f"{rel}:{line}: <{target}> is QtWidgets, which only ui/ may include"


def main():
    root, qtwidgets_dir = sys.argv[1], sys.argv[2]
    found = list(violations(root, widget_headers(qtwidgets_dir)))
    for line in found:
        print(line)
    print(f"{len(found)} layer violation(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
