#!/usr/bin/python3
"""Fails when an object name, a settings key or an id of the written pages
used in src/ is missing from docs/names.md, which must list every name that
saved settings, published sets, scripts and tests rely on.

    tools/check-names.py <source root>

Object names are the name-shaped string literals of the windows (src/ui,
src/app): a capital or an underscore in a word of letters and digits. A
name the code builds ("Frame" + k, "Option%1_%2") is found by the names it
can make ("Frame1", "Optionk_0")."""

import pathlib
import re
import sys

# Name-shaped literals of the windows that name no object.
NOT_NAMES = {
    'Shift_JIS': 'the caption of OptMoji_0',
    'qt_ja': "Qt's own Japanese texts",
    'qtbase_ja': "Qt's own Japanese texts",
}

FINDERS = {
    'object name': (('src/ui', 'src/app'),
                    re.compile(r'"([A-Za-z][A-Za-z0-9]*(?:_[A-Za-z0-9%]*)*)"')),
    'settings key': (('src/core/settings', 'src/core/publish'), re.compile(r'const QString kKey\w+ = QStringLiteral\("([^"]+)"\)')),
    'page id': (('src/core',), re.compile(r'id=\\"([A-Za-z][\w-]*)\\"')),
}


def is_object_name(name):
    return (name not in NOT_NAMES and not name.isupper()
            and (any(c.isupper() for c in name) or '_' in name))


def pattern(name):
    """A name, or the start of one the code completes, over the names listed."""
    parts = [re.escape(p) for p in re.split(r'%\d', name)]
    return re.compile('[0-9k]+'.join(parts) + '[0-9kpw_]*')


def main(root):
    root = pathlib.Path(root)
    listed = set(re.findall(r'`([^`]+)`', (root / 'docs/names.md').read_text(encoding='utf-8')))
    missing = []
    seen = set()
    for kind, (folders, finder) in FINDERS.items():
        for folder in folders:
            for path in sorted((root / folder).rglob('*.[ch]*')):
                text = path.read_text(encoding='utf-8')
                for match in finder.finditer(text):
                    name = match.group(1)
                    start = text.rfind('\n', 0, match.start()) + 1
                    if text[start:match.start()].lstrip().startswith('//') or name in seen:
                        continue
                    seen.add(name)
                    if kind == 'object name' and not is_object_name(name):
                        continue
                    if not any(pattern(name).fullmatch(n) for n in listed):
                        line = text.count('\n', 0, match.start(1)) + 1
                        missing.append(f'{path.relative_to(root)}:{line}: {kind} "{name}"')
    for entry in missing:
        print(f'{entry} is not in docs/names.md', file=sys.stderr)
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
