"""KeyboardInterrupt during a long run, and runs from several threads."""

import _thread
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import kyanalysis as ky


def long_graph(nodes=1000):
    """A graph whose all-pairs run takes seconds (1500 nodes: about 4 s)."""
    rng = np.random.default_rng(1)
    edges = 4 * nodes
    return ky.Graph.from_arrays(rng.integers(0, nodes, edges), rng.integers(0, nodes, edges),
                                nodes)


def test_interrupt_ends_the_wait_and_the_graph_serves_the_next_run():
    graph = long_graph(1500)
    timer = threading.Timer(0.2, _thread.interrupt_main)
    started = time.monotonic()
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            ky.run("allPairsShortestPaths", graph)
    finally:
        timer.cancel()
    # raised while the engine still works, not once it is done
    assert time.monotonic() - started < 2
    # the abandoned run finishes in the background; the next one on the
    # same graph waits for it and answers as usual
    answer = ky.run("shortestPaths", graph, startNode=0, finishNode=0)
    assert answer.total_cost == 0


def test_runs_from_several_threads_share_a_graph():
    graph = long_graph()
    expected = ky.run("stronglyConnectedComponents", graph).component_number
    answers = []

    def work():
        answers.append(ky.run("stronglyConnectedComponents", graph).component_number)

    threads = [threading.Thread(target=work) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(60)
    assert answers == [expected] * 4


def test_the_interpreter_exits_cleanly_after_an_abandoned_run():
    script = """
import _thread, threading, numpy as np, kyanalysis as ky
rng = np.random.default_rng(1)
graph = ky.Graph.from_arrays(rng.integers(0, 1200, 4800), rng.integers(0, 1200, 4800), 1200)
threading.Timer(0.2, _thread.interrupt_main).start()
try:
    ky.run("allPairsShortestPaths", graph)
except KeyboardInterrupt:
    print("interrupted")
"""
    finished = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                              timeout=120)
    assert finished.returncode == 0, finished.stderr
    assert finished.stdout == "interrupted\n"
