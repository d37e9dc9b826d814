"""The same run() against a service the tests start on 127.0.0.1, and the
transport failures as exceptions."""

import itertools
import os
import pathlib
import re
import socket
import subprocess
import threading
import time

import networkx as nx
import pytest
from conftest import random_dag

import kyanalysis as ky

TOKEN = "python-test-token"


def kyanalyze():
    path = os.environ.get("KYANALYZE")
    if not path:
        pytest.skip("KYANALYZE names no kyanalyze to serve with (ctest sets it)")
    return path


class Service:
    """`kyanalyze serve` on a free loopback port, stopped by stop()."""

    def __init__(self, tmp_path, token=None):
        command = [kyanalyze(), "serve", "--listen", "127.0.0.1:0", "--threads", "2"]
        if token:
            token_file = tmp_path / "token"
            token_file.write_text(token + "\n")
            command += ["--token-file", str(token_file)]
        self.log = tmp_path / "serve.log"
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=log)
        deadline = time.monotonic() + 10
        self.url = None
        while self.url is None and time.monotonic() < deadline:
            found = re.search(r"http://[0-9.:]+", pathlib.Path(self.log).read_text())
            if found:
                self.url = found.group(0)
            elif self.process.poll() is not None:
                break
            else:
                time.sleep(0.05)
        if self.url is None:
            self.stop()
            pytest.fail("kyanalyze serve did not start: " + pathlib.Path(self.log).read_text())

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


@pytest.fixture(scope="module")
def service(tmp_path_factory):
    started = Service(tmp_path_factory.mktemp("serve"), TOKEN)
    yield started
    started.stop()


@pytest.fixture
def remote(service):
    return ky.RemoteService(service.url, token=TOKEN, timeout=30)


@pytest.mark.parametrize("analysis, options", [
    ("shortestPaths", dict(startNode=0, finishNode=33, cost="weight")),
    ("maximumFlow", dict(sourceNode=0, sinkNode=33, capacity="weight")),
    ("biconnectedComponents", {}),
    ("allPairsShortestPaths", dict(cost="weight")),
    ("clustering", dict(constraints=[("sameCluster", [0, 33])], maxNumberOfClusters=4)),
])
def test_remote_answers_as_the_local_engine(remote, analysis, options):
    graph = nx.karate_club_graph()
    local = ky.run(analysis, graph, **options)
    far = remote.run(analysis, graph, **options)
    assert far.as_dict() == local.as_dict()


def test_remote_walks_are_the_local_walks(remote):
    dag = random_dag(nodes=25, edges=90, seed=9)
    local = list(itertools.islice(ky.shortest_walks(dag, 0, 24, cost="weight"), 30))
    far = list(itertools.islice(remote.shortest_walks(dag, 0, 24, cost="weight"), 30))
    assert far == local and len(far) == 30


def test_remote_answer_codes_name_the_callers_member(remote):
    graph = nx.DiGraph()
    graph.add_edge("s", "a", capacity=2)
    graph.add_edge("a", "t", capacity=-1)
    with pytest.raises(ky.InvalidOptionError) as error:
        ky.run("maximumFlow", graph, service=remote, sourceNode="s", sinkNode="t")
    assert error.value.owner == ("a", "t", None) and error.value.option == "capacity"
    with pytest.raises(ky.AnalysisError, match="ANALYSIS_ERROR_NO_START_NODE"):
        remote.run("shortestPaths", graph, finishNode="t")


def test_wrong_token_is_refused(service):
    for token in ("wrong", None):
        with pytest.raises(ky.ServiceError) as error:
            ky.RemoteService(service.url, token=token).run("acyclicTest", nx.DiGraph([(0, 1)]))
        assert error.value.code == 16 and error.value.name == "ANALYSIS_ERROR_UNAUTHORIZED"
        assert isinstance(error.value, ConnectionError)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def test_nobody_listening_cannot_connect():
    remote = ky.RemoteService(f"http://127.0.0.1:{free_port()}", timeout=5)
    with pytest.raises(ky.ServiceError) as error:
        remote.run("acyclicTest", nx.DiGraph([(0, 1)]))
    assert error.value.name == "ANALYSIS_ERROR_CANNOT_CONNECT" and error.value.code == 14


def test_a_silent_service_times_out():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    accepted = []

    def accept():
        try:
            accepted.append(listener.accept()[0])
        except OSError:
            pass

    thread = threading.Thread(target=accept)
    thread.start()
    try:
        url = "http://127.0.0.1:%d" % listener.getsockname()[1]
        remote = ky.RemoteService(url, timeout=0.3)
        with pytest.raises(ky.ServiceTimeoutError) as error:
            remote.run("acyclicTest", nx.DiGraph([(0, 1)]))
        assert error.value.name == "ANALYSIS_ERROR_TIMED_OUT"
        assert isinstance(error.value, TimeoutError)
    finally:
        listener.close()
        thread.join(5)
        for connection in accepted:
            connection.close()


@pytest.mark.parametrize("arguments, error", [
    (dict(url=8080), TypeError),
    (dict(url="http://127.0.0.1:1", timeout=0), ValueError),
    (dict(url="http://127.0.0.1:1", timeout=-1), ValueError),
])
def test_service_settings_checked(arguments, error):
    with pytest.raises(error):
        ky.RemoteService(**arguments)
