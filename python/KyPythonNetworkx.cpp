#include "KyPythonNetworkx.h"

#include "KyPythonGraph.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace py = pybind11;

namespace KyPythonNetworkx {

namespace {

std::string reprOf(PyObject* object) { return py::repr(py::handle(object)).cast<std::string>(); }

[[noreturn]] void fail(PyObject* kind, const std::string& message) {
  PyErr_SetString(kind, message.c_str());
  throw py::error_already_set();
}

bool fits(long long value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

template <class Describe> int integerOf(PyObject* value, Describe what) {
  if (PyLong_CheckExact(value)) {
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value, &overflow);
    if (overflow != 0 || !fits(number))
      fail(PyExc_ValueError, what() + " is " + reprOf(value) + ", outside the 32-bit range");
    return static_cast<int>(number);
  }
  if (PyBool_Check(value))
    return value == Py_True ? 1 : 0;
  if (PyFloat_Check(value)) {
    const double real = PyFloat_AsDouble(value);
    if (!std::isfinite(real) || real != std::floor(real))
      fail(PyExc_TypeError, what() + " is " + reprOf(value) + ", not an integer");
    if (real < std::numeric_limits<int>::min() || real > std::numeric_limits<int>::max())
      fail(PyExc_ValueError, what() + " is " + reprOf(value) + ", outside the 32-bit range");
    return static_cast<int>(real);
  }
  if (!PyLong_Check(value) && !PyIndex_Check(value))
    fail(PyExc_TypeError,
         what() + " is " + reprOf(value) + " (" + Py_TYPE(value)->tp_name + "), not an integer");
  py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value));
  if (!index)
    throw py::error_already_set();
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
  if (overflow != 0 || !fits(number))
    fail(PyExc_ValueError, what() + " is " + reprOf(value) + ", outside the 32-bit range");
  return static_cast<int>(number);
}

/// The values of one attribute by position, and which members carry it.
struct Column {
  py::object name; // interned, so that a dict finds it by address
  std::string text;
  std::vector<std::int32_t> values;
  std::vector<char> present;
  bool any = false;

  /// Room for `size` members, each without a value.
  void resize(std::size_t size) {
    values.resize(size, 0);
    present.resize(size, 0);
  }
  /// Reads the attribute from a member's data dict; `member` names the
  /// member, asked only when the value does not fit.
  template <class Describe> void read(PyObject* data, std::size_t position, Describe member) {
    PyObject* value = PyDict_Check(data) ? PyDict_GetItemWithError(data, name.ptr()) : nullptr;
    if (value == nullptr) {
      if (PyErr_Occurred())
        throw py::error_already_set();
      return;
    }
    values[position] = integerOf(value, [&] { return member() + ": its '" + text + "'"; });
    present[position] = 1;
    any = true;
  }
};

std::vector<Column> columnsOf(const std::vector<std::string>& names, std::size_t size) {
  std::vector<Column> columns;
  for (const std::string& name : names) {
    Column column;
    PyObject* interned =
        PyUnicode_FromStringAndSize(name.data(), static_cast<Py_ssize_t>(name.size()));
    if (interned == nullptr)
      throw py::error_already_set();
    PyUnicode_InternInPlace(&interned);
    column.name = py::reinterpret_steal<py::object>(interned);
    column.text = name;
    column.resize(size);
    columns.push_back(std::move(column));
  }
  return columns;
}

py::dict valuesOf(const std::vector<Column>& columns, std::size_t size) {
  py::dict result;
  for (const Column& column : columns) {
    if (!column.any)
      continue;
    py::array_t<std::int32_t> values(static_cast<py::ssize_t>(size));
    py::array_t<bool> present(static_cast<py::ssize_t>(size));
    std::copy_n(column.values.data(), size, values.mutable_data());
    std::transform(column.present.begin(),
                   column.present.begin() + static_cast<std::ptrdiff_t>(size),
                   present.mutable_data(), [](char has) { return has != 0; });
    result[column.name] = py::make_tuple(values, present);
  }
  return result;
}

py::dict dictAttribute(const py::object& graph, const char* name) {
  py::object value = graph.attr(name);
  if (!PyDict_Check(value.ptr()))
    fail(PyExc_TypeError, std::string("the graph's ") + name + " is no dict: not a NetworkX graph");
  return py::reinterpret_borrow<py::dict>(value);
}

/// Node positions by the hash of the node key, in an open-addressing table
/// of a few bytes a slot. The dicts of a NetworkX graph store each key's
/// hash beside it, and every key of its adjacency is one of its nodes: a
/// hash that one node alone has finds the node without touching the key
/// object, a cache miss saved per edge. Hashes several nodes share are
/// marked, and their keys looked up by equality instead.
class HashPositions {
public:
  static constexpr std::int64_t kShared = -2;
  static constexpr std::int64_t kMissing = -1;

  explicit HashPositions(std::size_t count) {
    std::size_t size = 16;
    while (size < 2 * count)
      size *= 2;
    slots_.assign(size, Slot{0, kMissing});
  }
  void add(Py_hash_t hash, std::int64_t position) {
    Slot& slot = find(hash);
    slot.position = slot.position == kMissing ? position : kShared;
    slot.hash = hash;
  }
  std::int64_t position(Py_hash_t hash) { return find(hash).position; }

private:
  struct Slot {
    Py_hash_t hash;
    std::int64_t position;
  };
  Slot& find(Py_hash_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask)
      if (slots_[at].position == kMissing || slots_[at].hash == hash)
        return slots_[at];
  }
  std::vector<Slot> slots_;
};

/// PyDict_Next() that also gives the hash the dict keeps for the key.
int nextItem(PyObject* dict, Py_ssize_t* at, PyObject** key, PyObject** value, Py_hash_t* hash) {
#if PY_VERSION_HEX < 0x030D0000
  return _PyDict_Next(dict, at, key, value, hash);
#else
  if (!PyDict_Next(dict, at, key, value))
    return 0;
  *hash = PyObject_Hash(*key);
  return 1;
#endif
}

} // namespace

int integer(PyObject* value, const std::string& what) {
  return integerOf(value, [&what] { return what; });
}

py::dict read(const py::object& graph, const std::vector<std::string>& nodeAttributes,
              const std::vector<std::string>& edgeAttributes) {
  const bool directed = graph.attr("is_directed")().cast<bool>();
  const bool multigraph = graph.attr("is_multigraph")().cast<bool>();
  const py::dict nodeData = dictAttribute(graph, "_node");
  const py::dict adjacency = dictAttribute(graph, directed ? "_succ" : "_adj");
  const auto nodeCount = static_cast<std::size_t>(PyDict_Size(nodeData.ptr()));
  if (nodeCount > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    fail(PyExc_ValueError, "more nodes than a graph can hold");

  py::list nodes(static_cast<py::ssize_t>(nodeCount));
  py::dict index;
  HashPositions byHash(nodeCount);
  std::vector<Column> nodeColumns = columnsOf(nodeAttributes, nodeCount);
  {
    Py_ssize_t at = 0;
    PyObject* key = nullptr;
    PyObject* data = nullptr;
    Py_hash_t hash = 0;
    std::size_t position = 0;
    while (nextItem(nodeData.ptr(), &at, &key, &data, &hash)) {
      if (position == nodeCount)
        fail(PyExc_RuntimeError, "the graph changed while it was read");
      py::object hold = py::reinterpret_borrow<py::object>(data);
      Py_INCREF(key);
      PyList_SET_ITEM(nodes.ptr(), static_cast<py::ssize_t>(position), key);
      index[key] = py::int_(position);
      byHash.add(hash, static_cast<std::int64_t>(position));
      for (Column& column : nodeColumns)
        column.read(data, position, [key] { return "node " + reprOf(key); });
      ++position;
    }
    if (position != nodeCount)
      fail(PyExc_RuntimeError, "the graph changed while it was read");
  }

  // Room for the edges up front: a directed simple graph has as many as
  // its adjacency lists hold, an undirected one about half as many, a
  // multigraph may have more (its columns then grow as they fill).
  std::size_t room = 0;
  {
    Py_ssize_t at = 0;
    PyObject* u = nullptr;
    PyObject* neighbours = nullptr;
    while (PyDict_Next(adjacency.ptr(), &at, &u, &neighbours))
      if (PyDict_Check(neighbours))
        room += static_cast<std::size_t>(PyDict_GET_SIZE(neighbours));
  }
  std::vector<int> sources;
  std::vector<int> targets;
  sources.reserve(room);
  targets.reserve(room);
  py::list keys;
  std::vector<Column> edgeColumns = columnsOf(edgeAttributes, room);
  auto positionOf = [&index, &byHash](PyObject* node, Py_hash_t hash) {
    const std::int64_t position = byHash.position(hash);
    if (position >= 0)
      return static_cast<int>(position);
    PyObject* found = PyDict_GetItemWithError(index.ptr(), node);
    if (found == nullptr) {
      if (PyErr_Occurred())
        throw py::error_already_set();
      fail(PyExc_RuntimeError, "the graph changed while it was read: node " + reprOf(node) +
                                   " has edges but is no node");
    }
    return static_cast<int>(PyLong_AsLong(found));
  };
  auto add = [&](int from, int to, PyObject* u, PyObject* v, PyObject* key, PyObject* data) {
    const std::size_t position = sources.size();
    sources.push_back(from);
    targets.push_back(to);
    if (key != nullptr)
      keys.append(py::handle(key));
    if (edgeColumns.empty())
      return;
    auto member = [u, v, key] {
      return "edge (" + reprOf(u) + ", " + reprOf(v) +
             (key != nullptr ? ", " + reprOf(key) : std::string()) + ")";
    };
    for (Column& column : edgeColumns) {
      if (position == column.values.size())
        column.resize(2 * position + 1);
      column.read(data, position, member);
    }
  };
  Py_ssize_t at = 0;
  PyObject* u = nullptr;
  PyObject* neighbours = nullptr;
  Py_hash_t hashU = 0;
  while (nextItem(adjacency.ptr(), &at, &u, &neighbours, &hashU)) {
    py::object holdNeighbours = py::reinterpret_borrow<py::object>(neighbours);
    const int from = positionOf(u, hashU);
    Py_ssize_t at2 = 0;
    PyObject* v = nullptr;
    PyObject* data = nullptr;
    Py_hash_t hashV = 0;
    if (!PyDict_Check(neighbours))
      fail(PyExc_TypeError, "the adjacency of node " + reprOf(u) + " is no dict");
    while (nextItem(neighbours, &at2, &v, &data, &hashV)) {
      // The data dict is held only when it is read: touching it for its
      // reference count alone would cost a cache miss per edge.
      py::object holdData;
      if (multigraph || !edgeColumns.empty())
        holdData = py::reinterpret_borrow<py::object>(data);
      const int to = positionOf(v, hashV);
      if (!directed && to < from)
        continue;
      if (!multigraph) {
        add(from, to, u, v, nullptr, data);
        continue;
      }
      Py_ssize_t at3 = 0;
      PyObject* key = nullptr;
      PyObject* keyData = nullptr;
      while (PyDict_Next(data, &at3, &key, &keyData))
        add(from, to, u, v, key, keyData);
    }
  }

  const std::size_t edges = sources.size();
  py::dict result;
  result["edge_values"] = valuesOf(edgeColumns, edges);
  edgeColumns.clear();
  auto built = std::make_shared<KyPythonGraph>(static_cast<int>(nodeCount), std::move(sources),
                                               std::move(targets));
  result["graph"] = py::cast(std::shared_ptr<KyPythonGraph>(built));
  result["nodes"] = nodes;
  result["index"] = index;
  result["keys"] = multigraph ? py::object(keys) : py::object(py::none());
  result["directed"] = directed;
  result["multigraph"] = multigraph;
  result["node_values"] = valuesOf(nodeColumns, nodeCount);
  return result;
}

} // namespace KyPythonNetworkx
