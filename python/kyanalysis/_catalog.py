"""The analyses, their options and results, read once from the descriptions."""

import json
import re

from . import _kyanalysis

_SCOPES = {"KyGraph": "graph", "KyNode": "node", "KyEdge": "edge"}


def snake(word):
    """``startNode`` as ``start_node``."""
    return re.sub(r"(?<=[a-z0-9])([A-Z])", r"_\1", word).lower()


class Option:
    """One option of an analysis: its key, scope (graph, node or edge),
    value type, default and enumeration names to codes."""

    def __init__(self, item):
        self.key = item["key"]
        self.word = self.key.rsplit(":", 1)[-1]
        self.scope = _SCOPES[item["ownerType"]]
        self.type = item["valueType"]
        self.default = item["default"]
        self.meaning = item["meaning"]
        self.codes = {}
        for entry in item["enumeration"] or ():
            name = entry["name"]
            self.codes[name] = entry["code"]
            self.codes[name.rsplit("_", 1)[-1].lower()] = entry["code"]


class Analysis:
    """One analysis: its word, code, options and results.

    ``options`` maps every name a caller may use to an Option: the key's
    own word (``startNode``) and its snake-case form (``start_node``), each
    also after its scope (``edgeCost``, ``edge_cost``). A bare word that
    several scopes share names the graph option, else the edge option.
    ``name_of`` gives by key one name per option, the shortest that is
    unambiguous.
    """

    def __init__(self, item):
        self.word = item["word"]
        self.code = item["code"]
        self.results = item["results"]
        self.described = item
        self.options = {}
        self.name_of = {}
        order = {"graph": 0, "edge": 1, "node": 2}
        items = sorted((Option(o) for o in item["options"]), key=lambda o: order[o.scope])
        for option in items:
            scoped = option.scope + option.word[0].upper() + option.word[1:]
            for name in (scoped, snake(scoped)):
                self.options[name] = option
            for name in (option.word, snake(option.word)):
                self.options.setdefault(name, option)
            self.name_of[option.key] = (option.word if self.options[option.word] is option
                                        else scoped)
        if "constraintManager" in self.options:
            # The clustering constraints, by what they are rather than by
            # what holds them.
            self.options["constraints"] = self.options["constraintManager"]

    def member_options(self, scope):
        """The options of `scope` (node or edge), by their own words."""
        return {o.word: o for o in self.options.values() if o.scope == scope}


def _load():
    document = json.loads(_kyanalysis.catalog(-1))
    return {item["word"]: Analysis(item) for item in document["analyses"]}, document


ANALYSES, DOCUMENT = _load()


def analysis(name):
    """The Analysis called `name` (its word, ``shortestPaths``, or the
    snake-case form, ``shortest_paths``)."""
    if not isinstance(name, str):
        raise TypeError(f"an analysis is named by a string, not {type(name).__name__}")
    found = ANALYSES.get(name)
    if found is None:
        for each in ANALYSES.values():
            if snake(each.word) == name:
                return each
        raise ValueError(f"unknown analysis {name!r}; the analyses: " + ", ".join(ANALYSES))
    return found
