#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Keeps the folders, the libraries and the layers one and the same.

Reads the libraries and their link dependencies from src/CMakeLists.txt (and the test
programs from tests/CMakeLists.txt), then fails when
  - the graph of libraries has a cycle, or
  - a file includes one of our headers that belongs to a library outside the closure of
    what its own library links.
A header belongs to the library of the folder it sits in directly (folders are not
recursive: src/annotation/widgets is a library of its own, not part of src/annotation).

Usage: check-includes.py [SOURCE_DIR]   (exit 0 when clean, 1 with a line per fault)
"""
import os
import re
import sys

CALL = re.compile(r'^\s*(pictrove_library|pictrove_test)\s*\((.*?)\)\s*$', re.S | re.M)
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]+"([^"]+)"', re.M)


def parse_calls(path, kind):
    """Yields (name, folder relative to the source dir, [deps]) for each call of `kind`."""
    with open(path, encoding='utf-8') as f:
        text = re.sub(r'#[^\n]*', '', f.read())
    base = os.path.relpath(os.path.dirname(path), ROOT)
    for m in CALL.finditer(text):
        if m.group(1) != kind:
            continue
        words = m.group(2).split()
        name, folder = words[0], words[1]
        deps, in_deps = [], False
        for w in words[2:]:
            if w in ('DEPS', 'EXCLUDE', 'LABELS', 'WIDGETS'):
                in_deps = w == 'DEPS'
            elif in_deps:
                deps.append(w)
        if kind == 'pictrove_test':
            folder = os.path.normpath(os.path.join(base, folder))
        yield name, folder, deps


def closure(lib, graph):
    seen, stack = set(), [lib]
    while stack:
        for d in graph.get(stack.pop(), ()):
            if d not in seen:
                seen.add(d)
                stack.append(d)
    return seen


def find_cycle(graph):
    state = {}

    def visit(node, path):
        state[node] = 'open'
        for d in graph.get(node, ()):
            if state.get(d) == 'open':
                return path[path.index(d):] + [d] if d in path else path + [d]
            if d not in state:
                found = visit(d, path + [d])
                if found:
                    return found
        state[node] = 'done'
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def sources(folder):
    full = os.path.join(ROOT, folder)
    if not os.path.isdir(full):
        return []
    return sorted(os.path.join(folder, n) for n in os.listdir(full)
                  if n.endswith(('.cpp', '.h')) and os.path.isfile(os.path.join(full, n)))


def main():
    libraries = {name: (folder, deps) for name, folder, deps
                 in parse_calls(os.path.join(ROOT, 'src', 'CMakeLists.txt'), 'pictrove_library')}
    # Only our own libraries count; Qt6::Core, ICU::uc and the like are not checked.
    graph = {name: [d for d in deps if d in libraries] for name, (_, deps) in libraries.items()}
    folder_of_header = {}
    for name, (folder, _) in libraries.items():
        for src in sources(folder):
            folder_of_header[os.path.relpath(src, 'src')] = name

    faults = []
    cycle = find_cycle(graph)
    if cycle:
        faults.append('cycle: ' + ' -> '.join(cycle))

    users = [(name, folder, graph[name]) for name, (folder, _) in libraries.items()]
    tests_cmake = os.path.join(ROOT, 'tests', 'CMakeLists.txt')
    if os.path.exists(tests_cmake):
        for name, folder, deps in parse_calls(tests_cmake, 'pictrove_test'):
            users.append(('test_' + name, folder, [d for d in deps if d in libraries]))

    checked = 0
    for name, folder, deps in users:
        allowed = {name} | set(deps)
        for d in deps:
            allowed |= closure(d, graph)
        for src in sources(folder):
            with open(os.path.join(ROOT, src), encoding='utf-8') as f:
                text = f.read()
            for line_no, header in ((text[:m.start()].count('\n') + 1, m.group(1))
                                    for m in INCLUDE.finditer(text)):
                owner = folder_of_header.get(header)
                if owner is None:
                    continue  # a header of the test's own folder or of tests/common
                checked += 1
                if owner not in allowed:
                    faults.append(f'{src}:{line_no}: includes "{header}" of library {owner}, '
                                  f'which {name} does not link')

    for fault in faults:
        print(fault)
    print(f'{len(libraries)} libraries, {len(users) - len(libraries)} test programs, '
          f'{checked} includes checked: {len(faults)} ' + ('fault' if len(faults) == 1 else 'faults'))
    return 1 if faults else 0


ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(__file__), '..'))
if __name__ == '__main__':
    sys.exit(main())
