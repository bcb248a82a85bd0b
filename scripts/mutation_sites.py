"""Finds the places in a C++ source file where a standard fault can be
planted, and the fault planted at each.

A careful tokenizer, not a parser: it leaves out comments, string and
character literals, preprocessor lines, static_assert and logging calls, and
it tells binary operators from template brackets, pointers, references and
unary signs by their spacing, which .clang-format makes regular (a binary
operator has a blank on both sides). A fault that does not compile all the
same is reported as build-failed, never as caught.
"""

import re
from dataclasses import dataclass

TOKEN = re.compile(
    r"""(?P<space>\s+)
      | (?P<comment>//[^\n]*|/\*.*?\*/)
      | (?P<string>(?:u8|[uUL])?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"
                  |(?:u8|[uUL])?"(?:\\.|[^"\\\n])*"
                  |(?:u8|[uUL])?'(?:\\.|[^'\\\n])+')
      | (?P<number>(?:0[xX][0-9a-fA-F']+|\d[\d']*\.?[\d']*(?:[eE][+-]?\d+)?
                  |\.\d+(?:[eE][+-]?\d+)?)[uUlLfF]*)
      | (?P<word>[A-Za-z_]\w*)
      | (?P<punct>->\*?|<=>|<<=|>>=|::|\+\+|--|&&|\|\||[<>=!+\-*/%&|^]=|<<|>>|.)
    """, re.VERBOSE | re.DOTALL)

SKIPPED_CALLS = {"static_assert", "qDebug", "qInfo", "qWarning", "qCritical", "Q_ASSERT",
                 "assert"}
NOT_CALLS = {"return", "throw", "delete", "new", "sizeof", "alignof", "decltype", "if",
             "while", "for", "switch", "catch", "else", "do", "case", "co_return",
             "co_await", "co_yield", "Q_OBJECT", "Q_EMIT", "emit"}
RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "+=": "-=", "-=": "+=",
              "*=": "/=", "/=": "*="}
LOGICAL = {"&&": "||", "||": "&&"}
INCREMENT = {"++": "--", "--": "++"}
SYMMETRIC_CALLS = {"min", "max", "fmin", "fmax", "hypot", "swap"}  # swapping changes nothing


@dataclass
class Token:
    kind: str
    text: str
    start: int
    end: int
    spaced_before: bool
    spaced_after: bool = False


@dataclass
class Mutant:
    path: str  # relative to the source tree
    line: int
    start: int  # character offsets of the replaced text
    end: int
    replace: str
    operator: str  # the kind of fault, e.g. "relational"
    original: str

    def name(self):
        return f"{self.path}:{self.line}:{self.operator}:{self.original}->{self.replace}"


def tokens(source):
    """The code tokens of `source`, without comments, literals' insides or
    preprocessor lines; string literals stay as single 'string' tokens."""
    found = []
    spaced = True
    at_line_start = True
    position = 0
    while position < len(source):
        match = TOKEN.match(source, position)
        kind, text = match.lastgroup, match.group(0)
        if kind == "delim":
            kind = "string"
        position = match.end()
        if kind == "space" or kind == "comment":
            spaced = True
            at_line_start = at_line_start or "\n" in text
            continue
        if at_line_start and text == "#":
            position = preprocessor_end(source, position)
            at_line_start = True
            continue
        if found:
            found[-1].spaced_after = spaced
        found.append(Token(kind, text, match.start(), match.end(), spaced))
        spaced = False
        at_line_start = False
    return found


def preprocessor_end(source, position):
    """Where a preprocessor line ends, continuation lines included."""
    while True:
        newline = source.find("\n", position)
        if newline < 0:
            return len(source)
        if source[newline - 1] != "\\":
            return newline
        position = newline + 1


def matching(toks, index, opening, closing):
    """The index of the bracket that closes toks[index]."""
    depth = 0
    for later in range(index, len(toks)):
        if toks[later].text == opening:
            depth += 1
        elif toks[later].text == closing:
            depth -= 1
            if depth == 0:
                return later
    return len(toks) - 1


def skipped_spans(toks):
    """Index ranges whose faults would change nothing a test can see:
    static_assert, logging, assertions."""
    spans = []
    for index, tok in enumerate(toks):
        if tok.kind == "word" and tok.text in SKIPPED_CALLS and index + 1 < len(toks) \
                and toks[index + 1].text == "(":
            spans.append((index, matching(toks, index + 1, "(", ")")))
    return spans


def binary(toks, index):
    """An operator with a blank on each side and an operand before it."""
    tok = toks[index]
    return (tok.spaced_before and tok.spaced_after and index > 0
            and toks[index - 1].text not in ("operator", "(", ",", "=", "return"))


def number_faults(text):
    """Replacements for a numeric literal: off by one for integers, scaled
    by a tenth for fractions, zero and one swapped."""
    body = text.rstrip("uUlLfF")
    suffix = text[len(body):]
    if body.startswith(("0x", "0X")) or "'" in body or re.fullmatch(r"0\d+", body):
        return []  # hexadecimal, grouped and octal figures are bit patterns and modes
    if re.fullmatch(r"\d+", body):
        value = int(body)
        replacements = {str(value + 1)} | ({str(value - 1)} if value > 0 else set())
        return [r + suffix for r in sorted(replacements)]
    value = float(body)
    if value == 0.0:
        return ["1.0" + suffix]
    scaled = f"{value * 1.1:.6g}"
    return [scaled + ("" if "." in scaled or "e" in scaled else ".0") + suffix]


EXIT_STATUSES = ("kExitDone", "kExitUsage", "kExitFileError", "kExitSlotStopped")
OPERAND_END = ("word", "number", "string")


def operand_before(toks, index):
    before = toks[index - 1] if index > 0 else None
    return before is not None and (before.kind in OPERAND_END or before.text in (")", "]"))


def operator_faults(toks, index):
    """Faults of the operator at toks[index]: (replacement, kind)."""
    text = toks[index].text
    if text in RELATIONAL and binary(toks, index):
        return [(RELATIONAL[text], "relational")]
    if text in LOGICAL and binary(toks, index):
        return [(LOGICAL[text], "logical")]
    if text in ARITHMETIC and binary(toks, index) and operand_before(toks, index):
        return [(ARITHMETIC[text], "arithmetic")]
    if text in INCREMENT:
        return [(INCREMENT[text], "arithmetic")]
    if toks[index].kind == "number":
        return [(replacement, "constant") for replacement in number_faults(text)]
    return []


def condition_fault(toks, index):
    """`if (c)` and `while (c)` made `!(c)`: (start, end, replacement)."""
    if not (toks[index].text in ("if", "while") and index + 1 < len(toks)
            and toks[index + 1].text == "("):
        return None
    close = matching(toks, index + 1, "(", ")")
    if close - index < 3 or any(tok.text in (";", "=") for tok in toks[index + 2:close]):
        return None  # an empty condition, or one that declares a variable
    return toks[index + 2].start, toks[close - 1].end, None


def removed_call(toks, index):
    """A statement that is only a call, result unused: (first, last) index."""
    if index == 0 or toks[index - 1].text not in (";", "{", "}"):
        return None
    if toks[index].kind != "word" or toks[index].text in NOT_CALLS:
        return None
    at = index + 1
    while at + 1 < len(toks) and toks[at].text in ("::", ".", "->") \
            and toks[at + 1].kind == "word":
        at += 2
    if at >= len(toks) or toks[at].text != "(":
        return None
    close = matching(toks, at, "(", ")")
    if close + 1 < len(toks) and toks[close + 1].text == ";":
        return index, close + 1
    return None


def return_fault(toks, index):
    """The value a `return` gives replaced: (first, last, replacement)."""
    if toks[index].text != "return" or toks[index + 1].text == ";":
        return None
    last = index + 1
    depth = 0
    while last < len(toks) and not (depth == 0 and toks[last].text == ";"):
        depth += toks[last].text in "([{" and toks[last].kind == "punct"
        depth -= toks[last].text in ")]}" and toks[last].kind == "punct"
        last += 1
    value = toks[index + 1:last]
    if len(value) == 1 and value[0].kind == "number":
        return None  # the constant fault covers it
    if len(value) == 1 and value[0].text in ("true", "false"):
        return index + 1, last - 1, "false" if value[0].text == "true" else "true"
    if len(value) == 1 and value[0].text in EXIT_STATUSES:
        others = [status for status in EXIT_STATUSES if status != value[0].text]
        return index + 1, last - 1, others[0] if value[0].text != "kExitDone" else others[1]
    if value[0].text == "!" and not value[0].spaced_after:
        return index + 1, index + 1, ""
    if "".join(tok.text for tok in value) in ("std::nullopt", "nullptr", "{}", "*this"):
        return None  # already what `{}` gives, or a reference
    return index + 1, last - 1, "{}"


def argument_swaps(toks, index):
    """Neighbouring arguments of a call swapped, when both are one plain
    word or one number of the same kind: [(first, second)] token indices."""
    if not (toks[index].text == "(" and index > 0 and toks[index - 1].kind == "word"
            and toks[index - 1].text not in NOT_CALLS | SYMMETRIC_CALLS):
        return []
    close = matching(toks, index, "(", ")")
    inner = toks[index + 1:close]
    if len(inner) < 3 or len(inner) % 2 == 0 or any(tok.text != "," for tok in inner[1::2]):
        return []
    arguments = inner[0::2]
    swaps = []
    for first, second in zip(arguments, arguments[1:]):
        if first.kind == second.kind and first.kind in ("word", "number") \
                and first.text != second.text:
            swaps.append((first, second))
    return swaps


def mutants(path, source):
    """Every fault this module plants in one file, in the order of the text."""
    toks = tokens(source)
    skipped = skipped_spans(toks)
    found = []

    def add(start, end, replace, operator):
        line = source.count("\n", 0, start) + 1
        found.append(Mutant(path, line, start, end, replace, operator, source[start:end]))

    for index, tok in enumerate(toks):
        if any(first <= index <= last for first, last in skipped):
            continue
        for replace, operator in operator_faults(toks, index):
            add(tok.start, tok.end, replace, operator)
        condition = condition_fault(toks, index)
        if condition:
            start, end, _ = condition
            add(start, end, "!(" + source[start:end] + ")", "negated")
        call = removed_call(toks, index)
        if call:
            add(toks[call[0]].start, toks[call[1]].end, "", "removed-call")
        returned = return_fault(toks, index)
        if returned:
            first, last, replace = returned
            add(toks[first].start, toks[last].end, replace, "returned")
        for first, second in argument_swaps(toks, index):
            add(first.start, second.end,
                second.text + source[first.end:second.start] + first.text, "swapped")
    return found


def planted(source, mutant):
    """`source` with the fault in it."""
    return source[:mutant.start] + mutant.replace + source[mutant.end:]


def site_line(source, mutant):
    """The line the fault sits on, as it stands, for the report and for
    tests/mutations/equivalent.txt."""
    begin = source.rfind("\n", 0, mutant.start) + 1
    end = source.find("\n", mutant.start)
    return source[begin:end if end >= 0 else len(source)].strip()
