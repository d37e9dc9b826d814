"""kyanalysis: graph analyses on the caller's own graphs, in-process or on a
service.

    import networkx as nx
    import kyanalysis as ky

    answer = ky.run("shortestPaths", nx.karate_club_graph(), startNode=0, finishNode=33)
    answer.total_cost, answer.edge_list

See ``describe()`` for the analyses, their options and their results.
"""

import atexit as _atexit
import copy as _copy

from . import _catalog, _kyanalysis
from ._answer import Answer, Walk
from ._graph import Graph, read_graph
from ._run import run, shortest_walks
from .errors import (AnalysisError, CostOverflowError, InvalidOptionError, NegativeCycleError,
                     ServiceError, ServiceTimeoutError)

# Runs abandoned on KeyboardInterrupt go on in the background; the
# interpreter waits for them before it unloads the libraries they use.
_atexit.register(_kyanalysis.wait_for_runs)

__all__ = ["AnalysisError", "Answer", "CostOverflowError", "Graph", "InvalidOptionError",
           "NegativeCycleError", "RemoteService", "ServiceError", "ServiceTimeoutError", "Walk",
           "analyses", "describe", "read_graph", "run", "shortest_walks"]


def analyses():
    """The words of the 23 analyses, in code order."""
    return list(_catalog.ANALYSES)


def describe(analysis=None):
    """An analysis's description: {"word", "code", "options", "results"};
    each option {"key", "name", "scope", "valueType", "default", "meaning",
    "enumeration"}, each result {"key", "name", "ownerType", "valueType",
    "meaning"}, where "name" is what run() and Answer call it. Without an
    argument, every analysis by word."""
    if analysis is None:
        return {word: describe(word) for word in _catalog.ANALYSES}
    spec = _catalog.analysis(analysis)
    item = _copy.deepcopy(spec.described)
    for option in item["options"]:
        option["name"] = spec.name_of[option["key"]]
        option["scope"] = {"KyGraph": "graph", "KyNode": "node", "KyEdge": "edge"}[
            option["ownerType"]]
    for result in item["results"]:
        result["name"] = _catalog.snake(result["key"].rsplit(":", 1)[-1])
    return item


class RemoteService:
    """An analysis service (``kyanalyze serve``) at `url`
    (``http://host:port`` or ``https://...``) that answers run() instead of
    the local engine: ``RemoteService(url).run("shortestPaths", graph,
    ...)``, or ``run(..., service=remote)``.

    `token` is sent as a bearer token; `ca_file` names a PEM file of the
    authorities to trust for https instead of the system's; `timeout` bounds
    in seconds the connection and each wait for bytes (an analysis running
    longer on the service times out); `verify` False accepts any
    certificate (testing only). Transport failures raise ServiceError (and
    ServiceTimeoutError) with the code's name. Holds no connection.
    """

    def __init__(self, url, token=None, ca_file=None, timeout=300.0, verify=True):
        if not isinstance(url, str):
            raise TypeError("the url is a string")
        self._core = _kyanalysis.Remote(url, token or "", str(ca_file or ""), float(timeout),
                                        bool(verify))
        self.url = url

    def run(self, analysis, graph, **options):
        """run() on this service."""
        return run(analysis, graph, service=self, **options)

    def shortest_walks(self, graph, start, finish, **options):
        """shortest_walks() on this service."""
        return shortest_walks(graph, start, finish, service=self, **options)

    def __repr__(self):
        return f"RemoteService({self.url!r})"
