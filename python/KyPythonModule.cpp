// The C++ side of the Python package: graphs from arrays, NetworkX graphs
// and files; requests run on the local engine or a service with the GIL
// released; answers read through the result descriptions by position. The
// package's Python layer turns positions into the caller's keys.
#include "KyPythonGraph.h"
#include "KyPythonNetworkx.h"
#include "KyPythonRun.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyanalysis/KyPair.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyformats/KyAnalysisCatalog.h>
#include <kyformats/KyAnswerCode.h>
#include <kyformats/KyGraphNames.h>
#include <kyformats/KyGraphReader.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyUtf8.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

namespace py = pybind11;

namespace {

std::wstring wide(const std::string& text) {
  std::wstring result;
  if (!KyUtf8::toWide(text, result))
    throw py::value_error("not UTF-8: " + text);
  return result;
}

std::string utf8(const wchar_t* text) { return text != nullptr ? KyUtf8::fromWide(text) : ""; }

KyAnalysisServiceName& serviceName() {
  static KyAnalysisServiceName name;
  return name;
}

/// The edge of the shared graph that a position of the run's graph stands
/// for: a twin stands for its original.
int originalEdge(const KyPythonRun& run, int position) {
  const int edges = run.originalEdges();
  return position >= edges ? position - edges : position;
}

int positionOf(const KyObject* object) {
  const auto* member = dynamic_cast<const KyGraphMember*>(object);
  return member != nullptr ? member->index() : -1;
}

// ---- options ----

std::vector<int> positions(const py::handle& value) { return value.cast<std::vector<int>>(); }

/// Stores one option, its value already in positions: graph options as
/// int, float, node position or list of positions; per-member options as
/// an int32 array by position; constraints as [(type, [positions])].
void setOption(KyPythonRun& run, const std::string& key, const py::handle& value) {
  const std::wstring wideKey = wide(key);
  KyServiceItemDescription* found = serviceName().pInputDescription()->pOption(wideKey.c_str());
  if (found == nullptr)
    throw py::key_error("no option has the key " + key);
  const std::wstring owner = found->pOwnerType();
  const std::wstring type = found->pValueType();
  const wchar_t* stored = found->pKey();
  if (owner == L"KyNode" || owner == L"KyEdge") {
    const bool edges = owner == L"KyEdge";
    auto array =
        py::array_t<std::int32_t, py::array::c_style | py::array::forcecast>::ensure(value);
    const py::ssize_t expected = edges ? run.originalEdges() : run.shared().nodes();
    if (!array || array.ndim() != 1 || array.shape(0) != expected)
      throw py::value_error(key + ": expected " + std::to_string(expected) + " values");
    std::vector<int> values(array.data(), array.data() + array.shape(0));
    run.setMemberIntegers(stored, edges, values);
  } else if (type == L"Integer" || type == L"Boolean") {
    run.setInteger(stored, value.cast<int>());
  } else if (type == L"Double") {
    run.setDouble(stored, value.cast<double>());
  } else if (type == L"KyNode") {
    run.setNode(stored, value.cast<int>());
  } else if (type == L"List<KyNode>") {
    run.setNodeList(stored, positions(value));
  } else if (type == L"KyConstraintManager") {
    for (const py::handle& constraint : value) {
      auto pair = constraint.cast<py::tuple>();
      run.addConstraint(pair[0].cast<int>(), positions(pair[1]));
    }
  } else {
    throw py::type_error(key + " cannot be set");
  }
}

// ---- running ----

/// What a worker thread hands back to the thread that waits for it.
struct Outcome {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int code = 0;
  std::exception_ptr failure;
};

/// The runs whose worker threads have not ended, so that the interpreter
/// can wait for them at exit: libraries unloaded under a running engine
/// would crash it. Made once and never destroyed, as a worker may end
/// after the module's statics are gone.
struct Workers {
  std::mutex mutex;
  std::condition_variable idle;
  int running = 0;
};

Workers& workers() {
  static auto* all = new Workers;
  return *all;
}

/// Waits with the GIL released, waking every 50 ms to let Python handle
/// signals, until `done` holds; a signal handler's exception
/// (KeyboardInterrupt) ends the wait and propagates.
template <class Done>
void waitReleased(std::mutex& mutex, std::condition_variable& signal, Done done) {
  py::gil_scoped_release release;
  for (;;) {
    std::unique_lock<std::mutex> hold(mutex);
    if (signal.wait_for(hold, std::chrono::milliseconds(50), done))
      return;
    hold.unlock();
    py::gil_scoped_acquire acquire;
    if (PyErr_CheckSignals() != 0)
      throw py::error_already_set();
  }
}

/// Runs the request on a thread of its own while the caller waits with the
/// GIL released. On KeyboardInterrupt (or another exception a signal
/// handler raises) the wait ends at once with that exception; the worker
/// finishes the run on its own and then releases it, as it shares the run
/// and the graph.
int execute(const std::shared_ptr<KyPythonRun>& run,
            const std::optional<KyRemoteAnalysisService>& service) {
  auto outcome = std::make_shared<Outcome>();
  {
    std::lock_guard<std::mutex> hold(workers().mutex);
    ++workers().running;
  }
  try {
    std::thread([run, service, outcome] {
      int code = 0;
      std::exception_ptr failure;
      try {
        code = run->execute(service);
      } catch (...) {
        failure = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> hold(outcome->mutex);
        outcome->code = code;
        outcome->failure = failure;
        outcome->finished = true;
        outcome->done.notify_all();
      }
      std::lock_guard<std::mutex> hold(workers().mutex);
      --workers().running;
      workers().idle.notify_all();
    }).detach();
  } catch (...) {
    std::lock_guard<std::mutex> hold(workers().mutex);
    --workers().running;
    throw;
  }
  waitReleased(outcome->mutex, outcome->done, [&] { return outcome->finished; });
  if (outcome->failure)
    std::rethrow_exception(outcome->failure);
  return outcome->code;
}

// ---- answers ----

template <class T> py::array_t<T> arrayOf(const std::vector<T>& values) {
  py::array_t<T> array(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), array.mutable_data());
  return array;
}

py::array_t<std::int64_t> nodePositions(const KyObject* value) {
  std::vector<std::int64_t> result;
  if (const auto* list = dynamic_cast<const KyDList*>(value))
    for (KyDListIter it(list); it; ++it)
      result.push_back(positionOf(it.pObject()));
  return arrayOf(result);
}

py::array_t<std::int64_t> edgePositions(const KyPythonRun& run, const KyObject* value) {
  std::vector<std::int64_t> result;
  if (const auto* list = dynamic_cast<const KyDList*>(value))
    for (KyDListIter it(list); it; ++it)
      result.push_back(originalEdge(run, positionOf(it.pObject())));
  return arrayOf(result);
}

/// The results of a sorted-paths answer that describe its path graph, not
/// the caller's graph: the walks iterator reads them instead.
bool pathGraphResult(const std::wstring& key) {
  using namespace KyAnalysisKey::sortedPaths;
  return key == nonePathGraph || key == noneRootNode || key == nodeSidetrackEdge ||
         key == edgeType || key == nodeTreeEdge || key == L"sortedPaths:edge:cost";
}

/// Per-member integers as (values, present) by position of the shared
/// graph; a twin's integer counts against its original's (a flow against
/// the edge is negative), a twin's Boolean as its original's.
py::tuple memberIntegers(KyPythonRun& run, const wchar_t* key, bool edges, bool boolean) {
  const KyGraph& graph = run.graph();
  const int count = edges ? run.originalEdges() : graph.numberOfNodes();
  const bool twins = edges && graph.numberOfEdges() > count;
  std::vector<std::int32_t> values(static_cast<std::size_t>(count), 0);
  std::vector<bool> present(static_cast<std::size_t>(count), false);
  for (int i = 0; i < count; ++i) {
    const KyGraphMember* member =
        edges ? static_cast<const KyGraphMember*>(graph.pEdgeAt(i)) : graph.pNodeAt(i);
    int value = 0;
    bool has = run.output().findMemberInteger(member, key, value);
    if (twins) {
      int against = 0;
      if (run.output().findMemberInteger(graph.pEdgeAt(i + count), key, against)) {
        has = true;
        value = boolean ? (value != 0 || against != 0 ? 1 : 0) : value - against;
      }
    }
    values[static_cast<std::size_t>(i)] = value;
    present[static_cast<std::size_t>(i)] = has;
  }
  py::array_t<bool> presentArray(static_cast<py::ssize_t>(count));
  std::copy(present.begin(), present.end(), presentArray.mutable_data());
  return py::make_tuple(arrayOf(values), presentArray);
}

/// Pair results as (from, to, value) arrays, in no particular order.
py::dict pairResults(KyPythonRun& run) {
  std::vector<std::int64_t> costFrom, costTo, cost, edgeFrom, edgeTo, edge;
  run.output().visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    const auto* pair = dynamic_cast<const KyPair*>(owner);
    if (pair == nullptr)
      return;
    const int from = positionOf(pair->pFirstObject());
    const int to = positionOf(pair->pSecondObject());
    if (std::wcscmp(key, KyAnalysisKey::allPairsShortestPaths::pairTotalCost) == 0) {
      if (const auto* integer = dynamic_cast<const KyInt*>(value)) {
        costFrom.push_back(from);
        costTo.push_back(to);
        cost.push_back(integer->value());
      }
    } else if (std::wcscmp(key, KyAnalysisKey::allPairsShortestPaths::pairLastEdge) == 0) {
      edgeFrom.push_back(from);
      edgeTo.push_back(to);
      edge.push_back(originalEdge(run, positionOf(value)));
    }
  });
  py::dict result;
  result["totalCost"] = py::make_tuple(arrayOf(costFrom), arrayOf(costTo), arrayOf(cost));
  result["lastEdge"] = py::make_tuple(arrayOf(edgeFrom), arrayOf(edgeTo), arrayOf(edge));
  return result;
}

/// Every result of the answer, by the last part of its key: a Boolean or
/// integer as int (None when absent), a node as its position (None), node
/// and edge lists as int64 arrays of positions, lists of lists as lists of
/// them; per-node and per-edge integers as (values, present) arrays,
/// per-node nodes as an array of positions (-1 for none), per-node node
/// lists as {position: array}; pair results as (from, to, values) arrays;
/// per-constraint Booleans as a list in the order the constraints were
/// given.
py::dict results(KyPythonRun& run) {
  py::dict result;
  const std::wstring prefix = std::wstring(KyAnalysisOperation::word(run.operation())) + L":";
  KyServiceOutputData& output = run.output();
  bool pairsRead = false;
  for (KyDListIter it(serviceName().pOutputDescription()->pDescriptionList()); it; ++it) {
    const auto* description = KyServiceItemDescription::castDown(it.pObject());
    const std::wstring key = description->pKey();
    if (key.compare(0, prefix.size(), prefix) != 0 || pathGraphResult(key))
      continue;
    const std::string name = utf8(key.c_str() + key.rfind(L':') + 1);
    const std::wstring owner = description->pOwnerType();
    const std::wstring type = description->pValueType();
    const wchar_t* k = description->pKey();
    if (owner == L"KyPair") {
      if (!pairsRead) {
        for (auto item : pairResults(run))
          result[item.first] = item.second;
        pairsRead = true;
      }
    } else if (owner == L"KyClusteringConstraint") {
      py::list values;
      for (KyClusteringConstraint* constraint : run.constraints()) {
        int value = 0;
        values.append(output.findInteger(constraint, k, value) ? py::object(py::int_(value))
                                                               : py::object(py::none()));
      }
      result[name.c_str()] = values;
    } else if (owner == L"KyNode" || owner == L"KyEdge") {
      const bool edges = owner == L"KyEdge";
      if (type == L"Integer" || type == L"Boolean") {
        result[name.c_str()] = memberIntegers(run, k, edges, type == L"Boolean");
      } else if (type == L"KyNode") {
        std::vector<std::int64_t> nodes;
        for (int i = 0; i < run.graph().numberOfNodes(); ++i)
          nodes.push_back(positionOf(output.pValue(run.graph().pNodeAt(i), k)));
        result[name.c_str()] = arrayOf(nodes);
      } else if (type == L"List<KyNode>") {
        py::dict lists;
        for (int i = 0; i < run.graph().numberOfNodes(); ++i)
          if (const KyObject* value = output.pValue(run.graph().pNodeAt(i), k))
            lists[py::int_(i)] = nodePositions(value);
        result[name.c_str()] = lists;
      }
    } else if (type == L"Integer" || type == L"Boolean") {
      int value = 0;
      result[name.c_str()] = output.findInteger(nullptr, k, value) ? py::object(py::int_(value))
                                                                   : py::object(py::none());
    } else if (type == L"KyNode") {
      const int position = positionOf(dynamic_cast<const KyNode*>(output.pValue(nullptr, k)));
      result[name.c_str()] = position >= 0 ? py::object(py::int_(position)) : py::none();
    } else if (type == L"List<KyNode>") {
      result[name.c_str()] = nodePositions(output.pValue(nullptr, k));
    } else if (type == L"List<KyEdge>") {
      result[name.c_str()] = edgePositions(run, output.pValue(nullptr, k));
    } else if (type == L"List<List<KyNode>>" || type == L"List<List<KyEdge>>") {
      py::list lists;
      if (const auto* outer = dynamic_cast<const KyDList*>(output.pValue(nullptr, k)))
        for (KyDListIter inner(outer); inner; ++inner)
          lists.append(type == L"List<List<KyNode>>" ? nodePositions(inner.pObject())
                                                     : edgePositions(run, inner.pObject()));
      result[name.c_str()] = lists;
    }
  }
  return result;
}

/// The option an answer with code 13 names: (key, "graph" | "node" |
/// "edge", position or -1); None when the answer names none.
py::object errorOption(KyPythonRun& run) {
  py::object found = py::none();
  run.output().visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    if (std::wcscmp(key, KyAnalysisKey::errorOption) != 0)
      return;
    const auto* text = dynamic_cast<const KyText*>(value);
    const std::string option = text != nullptr ? utf8(text->pValue()) : "";
    if (dynamic_cast<const KyEdge*>(owner) != nullptr)
      found = py::make_tuple(option, "edge", originalEdge(run, positionOf(owner)));
    else if (dynamic_cast<const KyNode*>(owner) != nullptr)
      found = py::make_tuple(option, "node", positionOf(owner));
    else
      found = py::make_tuple(option, "graph", -1);
  });
  return found;
}

/// The answer to one run, shared with the walks iterators made from it.
struct Answer {
  std::shared_ptr<KyPythonRun> run;
  int code;
};

/// The walks of a sorted-paths answer, cheapest first, each (cost, edge
/// positions). Lazy: each step costs what KySortedPathIter's step does.
class Walks {
public:
  explicit Walks(std::shared_ptr<KyPythonRun> run)
      : run_(std::move(run)), tailor_(&run_->output()), iter_(&tailor_) {}

  py::tuple next() {
    if (!iter_)
      throw py::stop_iteration();
    KyPath* path = iter_.pPath();
    std::vector<std::int64_t> edges;
    for (KyDListIter it(path->pEdgeList()); it; ++it)
      edges.push_back(originalEdge(*run_, positionOf(it.pObject())));
    const int cost = path->length();
    path->vRelease();
    ++iter_;
    return py::make_tuple(cost, arrayOf(edges));
  }

private:
  std::shared_ptr<KyPythonRun> run_;
  KySortedPathsOutputTailor tailor_;
  KySortedPathIter iter_;
};

// ---- graphs from files ----

py::dict readFile(const std::string& path, const std::string& format, char delimiter) {
  KyGraphReadOptions options;
  if (format == "edgelist")
    options.format = KyGraphFormat::edgeList;
  else if (format == "graphml")
    options.format = KyGraphFormat::graphML;
  else if (format == "document")
    options.format = KyGraphFormat::analysisDocument;
  else if (!format.empty())
    throw py::value_error("unknown format '" + format + "': edgelist, graphml or document");
  options.delimiter = delimiter;
  KyGraphData data;
  std::string error;
  bool read = false;
  {
    py::gil_scoped_release release;
    read = KyGraphReader(options).readFile(path, data, error);
    if (read && data.document) {
      std::vector<std::string> leftOut;
      data.takeDocumentColumns(leftOut);
      data.document.reset();
    }
  }
  if (!read)
    throw py::value_error(error);
  py::list names;
  {
    KyGraphNames labels(*data.graph);
    for (int i = 0; i < data.graph->numberOfNodes(); ++i)
      names.append(labels.node(i));
  }
  auto columns = [](const std::vector<KyValueColumn>& from, int size) {
    py::dict result;
    for (const KyValueColumn& column : from) {
      std::vector<std::int32_t> values(static_cast<std::size_t>(size), 0);
      py::array_t<bool> present(size);
      std::fill(present.mutable_data(), present.mutable_data() + size, false);
      for (const auto& [position, value] : column.values) {
        values[static_cast<std::size_t>(position)] = value;
        present.mutable_data()[position] = true;
      }
      result[py::str(column.names.front())] = py::make_tuple(arrayOf(values), present);
    }
    return result;
  };
  py::dict result;
  result["node_values"] = columns(data.nodeColumns, data.graph->numberOfNodes());
  result["edge_values"] = columns(data.edgeColumns, data.graph->numberOfEdges());
  result["undirected"] = data.undirected;
  result["nodes"] = names;
  result["graph"] =
      std::shared_ptr<KyPythonGraph>(std::make_shared<KyPythonGraph>(std::move(data.graph)));
  return result;
}

} // namespace

PYBIND11_MODULE(_kyanalysis, module) {
  module.doc() = "The C++ side of kyanalysis; use the kyanalysis package instead.";

  py::class_<KyPythonGraph, std::shared_ptr<KyPythonGraph>>(module, "Graph")
      .def(py::init([](int nodes, py::array_t<std::int64_t, py::array::c_style> sources,
                       py::array_t<std::int64_t, py::array::c_style> targets) {
             if (sources.ndim() != 1 || targets.ndim() != 1 || sources.shape(0) != targets.shape(0))
               throw py::value_error("sources and targets must be two arrays of one length");
             py::gil_scoped_release release;
             return std::make_shared<KyPythonGraph>(nodes, sources.data(), targets.data(),
                                                    static_cast<std::size_t>(sources.shape(0)));
           }),
           py::arg("nodes"), py::arg("sources"), py::arg("targets"))
      .def_property_readonly("nodes", &KyPythonGraph::nodes)
      .def_property_readonly("edges", &KyPythonGraph::edges)
      .def("ends", [](const KyPythonGraph& graph) {
        std::vector<std::int64_t> sources, targets;
        for (int i = 0; i < graph.edges(); ++i) {
          sources.push_back(graph.source(i));
          targets.push_back(graph.target(i));
        }
        return py::make_tuple(arrayOf(sources), arrayOf(targets));
      });

  py::class_<KyRemoteAnalysisService>(module, "Remote")
      .def(py::init([](const std::string& url, const std::string& token,
                       const std::string& authorityFile, double timeout, bool verify) {
             KyRemoteAnalysisService service(wide(url).c_str());
             service.pToken(wide(token).c_str());
             service.pCertificateAuthorityFile(wide(authorityFile).c_str());
             const double milliseconds = timeout * 1000.0;
             if (!(milliseconds >= 1.0 && milliseconds <= std::numeric_limits<int>::max()))
               throw py::value_error("timeout must lie between 0.001 and 2147483 seconds");
             service.connectTimeLimit(static_cast<int>(milliseconds));
             service.readTimeLimit(static_cast<int>(milliseconds));
             service.verifyingCertificate(verify ? 1 : 0);
             return service;
           }),
           py::arg("url"), py::arg("token"), py::arg("ca_file"), py::arg("timeout"),
           py::arg("verify"))
      .def_property_readonly(
          "url", [](const KyRemoteAnalysisService& service) { return utf8(service.pUrl()); });

  py::class_<Answer>(module, "Answer")
      .def_readonly("code", &Answer::code)
      .def("results", [](Answer& answer) { return results(*answer.run); })
      .def("error_option", [](Answer& answer) { return errorOption(*answer.run); })
      .def("walks", [](Answer& answer) { return std::make_unique<Walks>(answer.run); });

  py::class_<Walks>(module, "Walks")
      .def("__iter__", [](Walks& walks) -> Walks& { return walks; })
      .def("__next__", &Walks::next);

  module.def(
      "run",
      [](std::shared_ptr<KyPythonGraph> graph, int operation, const py::list& options, bool twins,
         const KyRemoteAnalysisService* service) {
        auto run = std::make_shared<KyPythonRun>(std::move(graph), operation, twins);
        for (const py::handle& option : options) {
          auto pair = option.cast<py::tuple>();
          setOption(*run, pair[0].cast<std::string>(), pair[1]);
        }
        std::optional<KyRemoteAnalysisService> remote;
        if (service != nullptr)
          remote = *service;
        const int code = execute(run, remote);
        return Answer{run, code};
      },
      py::arg("graph"), py::arg("operation"), py::arg("options"), py::arg("twins"),
      py::arg("service").none(true));

  module.def("wait_for_runs", [] {
    waitReleased(workers().mutex, workers().idle, [] { return workers().running == 0; });
  });
  module.def("networkx", &KyPythonNetworkx::read, py::arg("graph"), py::arg("node_attributes"),
             py::arg("edge_attributes"));
  module.def("read_file", &readFile, py::arg("path"), py::arg("format"), py::arg("delimiter"));
  module.def("catalog", [](int operation) { return KyAnalysisCatalog::json(operation); });
  module.def("code_text", &KyAnswerCode::text);
  module.def("integer", [](const py::handle& value, const std::string& what) {
    return KyPythonNetworkx::integer(value.ptr(), what);
  });
}
