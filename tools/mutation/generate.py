"""Mutants made mechanically from operator rules, anchored on clang's syntax tree.

Every rule works on a node of the tree, so nothing inside a comment or a string literal is ever
touched. A file is parsed once for each target it is built for (the host, the browser, Windows),
so code under an #ifdef for another target gets its mutants too; which build compiles a mutant
is found later by the campaign, from the object files.
"""

import dataclasses
import hashlib
import pathlib
import re

from clang import cindex

SOURCE_FOLDERS = ("code", "tests/support")
SUFFIXES = (".cpp", ".h")

# The targets a file is parsed for: the host (the dev build) and the two whose code the host
# skips. Headers that only another target has are missing; clang recovers and keeps the rest.
TARGETS = {
    "host": ["-fsanitize=address"],
    "web": ["-D__EMSCRIPTEN__", "-D__wasm_simd128__", "-U__SSE2__", "-U__x86_64__"],
    "windows": ["-D_WIN32", "-D_MSC_VER=1930", "-U__GNUC__"],
}

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
LOGICAL = {"&&": "||", "||": "&&"}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "<<": ">>", ">>": "<<",
              "&": "|", "|": "&", "^": "|"}
COMPOUND = {"+=": "-=", "-=": "+=", "*=": "/=", "/=": "*=", "<<=": ">>=", ">>=": "<<=",
            "&=": "|=", "|=": "&=", "^=": "|="}
K = cindex.CursorKind
STATEMENT_PARENTS = (K.COMPOUND_STMT,)
INTEGER_TYPES = {
    cindex.TypeKind.INT, cindex.TypeKind.UINT, cindex.TypeKind.LONG, cindex.TypeKind.ULONG,
    cindex.TypeKind.LONGLONG, cindex.TypeKind.ULONGLONG, cindex.TypeKind.SHORT,
    cindex.TypeKind.USHORT, cindex.TypeKind.CHAR_S, cindex.TypeKind.UCHAR, cindex.TypeKind.SCHAR,
}
FLOAT_TYPES = {cindex.TypeKind.FLOAT, cindex.TypeKind.DOUBLE}


@dataclasses.dataclass(frozen=True)
class Mutant:
    file: str  # relative to the root
    start: int  # byte offsets of the replaced text
    end: int
    original: str
    replacement: str
    rule: str
    line: int
    targets: frozenset = dataclasses.field(default=frozenset({"host"}), compare=False)

    @property
    def id(self):
        key = f"{self.file}:{self.start}:{self.end}:{self.replacement}"
        return hashlib.sha1(key.encode()).hexdigest()[:8]

    def describe(self):
        return f"{self.rule}: {squeeze(self.original)} -> {squeeze(self.replacement)}"


def squeeze(text, limit=60):
    text = " ".join(text.split())
    return text if len(text) <= limit else text[: limit - 3] + "..."


def source_files(root):
    for folder in SOURCE_FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in SUFFIXES and path.is_file():
                yield path


class FileRules:
    """Collects the mutants of one file from one parse of it."""

    def __init__(self, root, path, content, target):
        self.root = root
        self.path = path
        self.relative = str(path.relative_to(root))
        self.content = content
        self.target = target
        self.found = set()

    def text(self, start, end):
        return self.content[start:end].decode("utf-8", "replace")

    def add(self, start, end, replacement, rule):
        if start >= end or end > len(self.content):
            return
        original = self.text(start, end)
        if original == replacement:
            return
        line = self.content.count(b"\n", 0, start) + 1
        self.found.add(Mutant(self.relative, start, end, original, replacement, rule, line,
                              frozenset({self.target})))

    def mine(self, cursor):
        """Whether the whole node is spelt in this file, outside any macro expansion."""
        extent = cursor.extent
        if extent.start.file is None or extent.end.file is None:
            return False
        if extent.start.file.name != str(self.path) or extent.end.file.name != str(self.path):
            return False
        return extent.start.offset < extent.end.offset

    def walk(self, cursor, parent=None, inert=False):
        if cursor.kind == K.STATIC_ASSERT or cursor.kind == K.ENUM_DECL:
            inert = True  # a change there only stops the build
        if not inert and self.mine(cursor):
            self.visit(cursor, parent)
        for child in cursor.get_children():
            self.walk(child, cursor, inert)

    def tokens(self, cursor):
        return list(cursor.get_tokens())

    def visit(self, cursor, parent):
        kind = cursor.kind
        if kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR):
            self.binary(cursor)
        elif kind == K.UNARY_OPERATOR:
            self.unary(cursor)
        elif kind in (K.INTEGER_LITERAL, K.FLOATING_LITERAL):
            self.constant(cursor)
        elif kind == K.CXX_BOOL_LITERAL_EXPR:
            spelling = self.text(cursor.extent.start.offset, cursor.extent.end.offset)
            flipped = {"true": "false", "false": "true"}.get(spelling)
            if flipped:
                self.add(cursor.extent.start.offset, cursor.extent.end.offset, flipped, "constant")
        elif kind in (K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.CONDITIONAL_OPERATOR):
            self.condition(cursor)
        elif kind == K.FOR_STMT:
            self.for_condition(cursor)
        elif kind == K.RETURN_STMT:
            self.return_value(cursor)
        if parent is not None and parent.kind in STATEMENT_PARENTS:
            self.statement(cursor)

    def operator_token(self, cursor):
        children = list(cursor.get_children())
        if len(children) != 2:
            return None
        after = children[0].extent.end.offset
        for token in self.tokens(cursor):
            if token.extent.start.offset >= after:
                return token
        return None

    def binary(self, cursor):
        token = self.operator_token(cursor)
        if token is None or token.kind != cindex.TokenKind.PUNCTUATION:
            return
        spelling = token.spelling
        start, end = token.extent.start.offset, token.extent.end.offset
        if self.text(start, end) != spelling:
            return
        for table, rule in ((RELATIONAL, "relational"), (LOGICAL, "logical"),
                            (ARITHMETIC, "arithmetic"), (COMPOUND, "arithmetic")):
            if spelling in table:
                self.add(start, end, table[spelling], rule)

    def unary(self, cursor):
        tokens = self.tokens(cursor)
        if not tokens:
            return
        first, last = tokens[0], tokens[-1]
        if first.spelling == "!":
            operand = list(cursor.get_children())
            if operand:
                o = operand[0].extent
                self.add(cursor.extent.start.offset, cursor.extent.end.offset,
                         self.text(o.start.offset, o.end.offset), "negation")
        elif first.spelling in ("++", "--") or last.spelling in ("++", "--"):
            token = first if first.spelling in ("++", "--") else last
            swapped = "--" if token.spelling == "++" else "++"
            self.add(token.extent.start.offset, token.extent.end.offset, swapped, "arithmetic")

    def constant(self, cursor):
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        spelling = self.text(start, end)
        if not re.fullmatch(r"[0-9][0-9A-Za-z.'+-]*", spelling):
            return
        for delta, sign in ((1, "+"), (-1, "-")):
            self.add(start, end, shifted(spelling, delta) or f"({spelling} {sign} 1)", "constant")

    def condition(self, cursor):
        children = list(cursor.get_children())
        expressions = [c for c in children if c.kind.is_expression()]
        if not expressions:
            return
        if cursor.kind == K.DO_STMT:
            condition = expressions[-1]
        else:
            condition = expressions[0]
            # if (T x = ...) and if (init; cond) have declarations before: leave them.
            if children.index(condition) != 0 and cursor.kind != K.IF_STMT:
                return
            if any(c.kind == K.VAR_DECL for c in children[: children.index(condition)]):
                return
        e = condition.extent
        if not self.mine(condition) or self.text(e.start.offset, e.end.offset).startswith("!"):
            return  # a negated condition loses its "!" by the negation rule of "!"
        self.add(e.start.offset, e.end.offset, f"!({self.text(e.start.offset, e.end.offset)})",
                 "negation")

    def for_condition(self, cursor):
        tokens = self.tokens(cursor)
        depth = 0
        semicolons = []
        for token in tokens:
            if token.spelling == "(":
                depth += 1
            elif token.spelling == ")":
                depth -= 1
                if depth == 0:
                    break
            elif token.spelling == ";" and depth == 1:
                semicolons.append(token)
        if len(semicolons) != 2:
            return
        start = semicolons[0].extent.end.offset
        end = semicolons[1].extent.start.offset
        text = self.text(start, end).strip()
        if not text:
            return
        start = self.content.index(text.encode(), start)
        self.add(start, start + len(text.encode()), f"!({text})", "negation")

    def return_value(self, cursor):
        children = list(cursor.get_children())
        if len(children) != 1:
            return
        value = children[0]
        if not self.mine(value):
            return
        e = value.extent
        text = self.text(e.start.offset, e.end.offset)
        kind = value.type.get_canonical().kind
        if kind == cindex.TypeKind.BOOL:
            replacement = {"true": "false", "false": "true"}.get(text, f"!({text})")
        elif kind == cindex.TypeKind.POINTER:
            replacement = "nullptr"
        elif kind in INTEGER_TYPES:
            replacement = "1" if text == "0" else "0"
        elif kind in FLOAT_TYPES:
            replacement = "1.0f" if text in ("0.0f", "0.0", "0") else "0.0f"
        else:
            return
        self.add(e.start.offset, e.end.offset, replacement, "return")

    def statement(self, cursor):
        kind = cursor.kind
        e = cursor.extent
        text = self.text(e.start.offset, e.end.offset)
        if kind in (K.BREAK_STMT, K.CONTINUE_STMT):
            self.add(e.start.offset, e.end.offset, "(void)0", "statement")
        elif kind.is_expression() and not text.startswith(("(void)", "static_cast<void>")):
            self.add(e.start.offset, e.end.offset, "(void)0", "statement")


def shifted(spelling, delta):
    """The literal moved by delta in its own base and suffix, or None to write it as a sum."""
    match = re.fullmatch(r"(0[xX][0-9A-Fa-f]+|[1-9][0-9]*|0)([uUlL]*)", spelling)
    if match:
        digits, suffix = match.groups()
        value = int(digits, 0) + delta
        if value < 0:
            return None
        body = f"0x{value:X}" if digits.lower().startswith("0x") else str(value)
        return body + suffix
    match = re.fullmatch(r"([0-9]+\.[0-9]*|\.[0-9]+)([fF]?)", spelling)
    if match:
        digits, suffix = match.groups()
        value = float(digits) + delta
        if value < 0:
            return None
        return repr(value) + suffix
    return None


def flags(root, target):
    return ["-x", "c++", "-std=c++17", f"-I{root / 'code'}", f"-I{root / 'tests'}",
            "-isystem", "/usr/include/SDL2", '-DTASPO_VERSION="0"', "-Wno-pragma-once-outside-header",
            *TARGETS[target]]


def generate(root, paths=None):
    """Every mutant of the tree (or of those files), in a fixed order: by file, then by position,
    then by text."""
    root = pathlib.Path(root).resolve()
    index = cindex.Index.create()
    found = {}
    for path in paths or source_files(root):
        content = path.read_bytes()
        # Without an #if the file reads the same for every target.
        for target in TARGETS if b"#if" in content else ("host",):
            unit = index.parse(str(path), args=flags(root, target),
                               options=cindex.TranslationUnit.PARSE_INCOMPLETE)
            rules = FileRules(root, path, content, target)
            for child in unit.cursor.get_children():
                if child.location.file is not None and child.location.file.name == str(path):
                    rules.walk(child)
            # One mutant per change: "return 0" to "return 1" is a constant and a return value.
            for mutant in sorted(rules.found, key=lambda m: m.rule):
                known = found.get(mutant.id, mutant)
                found[mutant.id] = dataclasses.replace(known, targets=known.targets | {target})
    return sorted(found.values(), key=lambda m: (m.file, m.start, m.end, m.replacement))


def apply(root, mutant):
    """The file's bytes with the mutant planted."""
    content = (pathlib.Path(root) / mutant.file).read_bytes()
    original = mutant.original.encode()
    if content[mutant.start:mutant.end] != original:
        raise ValueError(f"{mutant.file}:{mutant.line}: the text to mutate has changed")
    return content[: mutant.start] + mutant.replacement.encode() + content[mutant.end:]
