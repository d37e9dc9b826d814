"""The exceptions of kyanalysis.

Mistakes in a call raise Python's own exceptions (TypeError for an unknown
option or a value of the wrong type, ValueError for a value that does not
fit, a node or edge the graph lacks); an answer code other than 0 raises
an AnalysisError subclass that carries the code and its name.
"""

from . import _kyanalysis


class AnalysisError(Exception):
    """The engine or the service answered with a code other than 0.

    ``code`` is the number, ``name`` its name (``ANALYSIS_ERROR_...``).
    """

    def __init__(self, code, message=None):
        text = _kyanalysis.code_text(code)
        self.code = code
        self.name = text.split(" ", 1)[0]
        super().__init__(message or text)


class NegativeCycleError(AnalysisError):
    """Code 10: a cycle of negative cost lies on a walk the request asks about."""


class CostOverflowError(AnalysisError, OverflowError):
    """Code 11: a cost of the answer does not fit in 32 bits."""


class InvalidOptionError(AnalysisError, ValueError):
    """Code 13: an option holds a value the analysis cannot work with.

    ``option`` is the option's name (``capacity``), ``key`` its full key,
    ``owner`` the caller's node or edge whose value it was, or None for a
    graph option.
    """

    def __init__(self, code, key, owner, message):
        self.key = key
        self.option = key.rsplit(":", 1)[-1] if key else None
        self.owner = owner
        super().__init__(code, message)


class ServiceError(AnalysisError, ConnectionError):
    """Codes 14 to 20: the request did not reach the service, or its answer
    did not come back."""


class ServiceTimeoutError(ServiceError, TimeoutError):
    """Code 15: the connection or the answer took longer than the timeout."""


def _error_for(code, key=None, owner=None, where=None):
    """The exception for an answer code; `key` and `owner` for code 13."""
    text = _kyanalysis.code_text(code)
    if code == 13:
        what = key.rsplit(":", 1)[-1] if key else "an option"
        place = "" if where is None else " on " + where
        return InvalidOptionError(code, key, owner, f"{text}: {what}{place}")
    if code == 10:
        return NegativeCycleError(code)
    if code == 11:
        return CostOverflowError(code)
    if code == 15:
        return ServiceTimeoutError(code)
    if code >= 14:
        return ServiceError(code)
    return AnalysisError(code)
