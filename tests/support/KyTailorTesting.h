// Table harness for tailor accessors: each option or builder of a list of
// lists is one row built from member-function pointers, and one check runs
// every row.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

namespace kytest {

// An option or result value: an integer (Boolean, enumeration), a double or
// an object of the caller (node, node list).
using Value = std::variant<int, double, KyObject*>;

template <class V> Value toValue(V value) {
  if constexpr (std::is_pointer_v<V>)
    return static_cast<KyObject*>(value);
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<double>(value);
  else
    return static_cast<int>(value);
}

template <class V> V fromValue(const Value& value) {
  if constexpr (std::is_pointer_v<V>)
    return static_cast<V>(std::get<KyObject*>(value));
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<V>(std::get<double>(value));
  else
    return static_cast<V>(std::get<int>(value));
}

enum class Owner { none, graph, node, edge };

// Three nodes in a cycle and a node list of the caller. Owner [0] is the one
// a row writes to; owner [1] must keep reading as before.
struct Graph {
  KyGraph graph;
  KyNode* nodes[3] = {graph.addNode(), graph.addNode(), graph.addNode()};
  KyEdge* edges[3] = {graph.addEdge(nodes[0], nodes[1]), graph.addEdge(nodes[1], nodes[2]),
                      graph.addEdge(nodes[2], nodes[0])};
  KyNodeDList nodeList;

  KyObject* owner(Owner kind, int which) {
    if (kind == Owner::node)
      return nodes[which];
    if (kind == Owner::edge)
      return edges[which];
    return kind == Owner::graph ? &graph : nullptr;
  }
};

inline std::vector<KyObject*> contents(const KyDList& list) {
  std::vector<KyObject*> objects;
  for (KyDListIter it(&list); it; ++it)
    objects.push_back(it.pObject());
  return objects;
}

struct OptionRow {
  const wchar_t* key;
  Owner owner;
  Value byDefault, value;
  std::function<Value(KyServiceInputData*, KyObject*)> get;
  std::function<Value(KyServiceInputData*, KyObject*, const Value&)> set;
};

template <class T, class V>
OptionRow graphOption(const wchar_t* key, V (T::*get)() const, V (T::*set)(V), Value byDefault,
                      Value value) {
  return {key,
          Owner::graph,
          byDefault,
          value,
          [get](KyServiceInputData* data, KyObject*) { return toValue((T(data).*get)()); },
          [set](KyServiceInputData* data, KyObject*, const Value& v) {
            T tailor(data);
            return toValue((tailor.*set)(fromValue<V>(v)));
          }};
}

template <class M, class T, class V>
OptionRow memberOption(const wchar_t* key, V (T::*get)(M*) const, V (T::*set)(M*, V),
                       Value byDefault, Value value) {
  return {key,
          std::is_same_v<M, KyNode> ? Owner::node : Owner::edge,
          byDefault,
          value,
          [get](KyServiceInputData* data, KyObject* owner) {
            return toValue((T(data).*get)(static_cast<M*>(owner)));
          },
          [set](KyServiceInputData* data, KyObject* owner, const Value& v) {
            T tailor(data);
            return toValue((tailor.*set)(static_cast<M*>(owner), fromValue<V>(v)));
          }};
}

// What `input` holds under (owner, row.key), read as the row's kind of value:
// the object itself, or the number of a KyInt or KyDouble (-999 for anything
// else).
inline Value storedOption(const KyServiceInputData& input, const OptionRow& row, KyObject* owner) {
  KyObject* stored = input.pValue(owner, row.key);
  if (std::holds_alternative<KyObject*>(row.value))
    return stored;
  if (std::holds_alternative<double>(row.value)) {
    const auto* number = dynamic_cast<const KyDouble*>(stored);
    return number != nullptr ? number->value() : -999.0;
  }
  const auto* number = dynamic_cast<const KyInt*>(stored);
  return number != nullptr ? number->value() : -999;
}

// Runs every row on one input data, so that an accessor that reads or writes
// another's key shows up in the rows after it: each option reads its default,
// the setter returns the value, the getter then reads it, it is stored under
// its own key and owner, and another owner of the kind still reads the
// default (for graph options, another graph made the request's graph).
inline void checkOptions(Graph& g, const std::vector<OptionRow>& rows) {
  KyGraph otherGraph;
  KyServiceInputData input;
  for (const OptionRow& row : rows) {
    SCOPED_TRACE(row.key);
    KyGeneralAnalysisInputTailor(&input).pGraph(&g.graph);
    KyObject* owner = g.owner(row.owner, 0);
    EXPECT_EQ(row.get(&input, owner), row.byDefault);
    EXPECT_EQ(row.set(&input, owner, row.value), row.value);
    EXPECT_EQ(row.get(&input, owner), row.value);
    EXPECT_EQ(storedOption(input, row, owner), row.value);
    if (row.owner == Owner::graph)
      KyGeneralAnalysisInputTailor(&input).pGraph(&otherGraph);
    EXPECT_EQ(row.get(&input, g.owner(row.owner, 1)), row.byDefault);
  }
}

// A list that owns what it holds, as a service's list of lists does.
class OwningList : public KyDList {
public:
  ~OwningList() override { deleteAllCellsAndObjects(); }
};

inline std::vector<std::vector<KyObject*>> contentsOfLists(const KyDList& lists) {
  std::vector<std::vector<KyObject*>> result;
  for (KyDListIter it(&lists); it; ++it)
    result.push_back(contents(*KyDList::castDown(it.pObject())));
  return result;
}

// A builder of a list of lists, and the class of the items of its lists.
struct ListsRow {
  const wchar_t* key;
  Owner items; // node or edge
  std::function<void(KyServiceOutputData*, KyDList&)> build;
};

template <class T>
ListsRow listsBuilder(const wchar_t* key, void (T::*build)(KyDList&) const, Owner items) {
  return {key, items,
          [build](KyServiceOutputData* data, KyDList& lists) { (T(data).*build)(lists); }};
}

// Runs every row on its own output data: a builder of a list of lists frees
// the caller's lists, leaves none without a result, then hands out fresh
// lists of the item class, copies of the stored ones (an empty one
// included), which the caller owns while the stored lists stay intact.
inline void checkListOfListsBuilders(const std::vector<ListsRow>& rows) {
  Graph g;
  for (const ListsRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool edges = row.items == Owner::edge;
    KyServiceOutputData output;
    OwningList lists;
    lists.appendObject(new KyNodeDList);
    row.build(&output, lists);
    EXPECT_EQ(lists.length(), 0);

    auto* stored = new OwningList;
    for (const std::vector<int>& members : {std::vector<int>{2, 0}, {1}, {}}) {
      KyDList* list = edges ? static_cast<KyDList*>(new KyEdgeDList) : new KyNodeDList;
      for (int member : members)
        list->appendObject(g.owner(row.items, member));
      stored->appendObject(list);
    }
    output.setValue(nullptr, row.key, stored, 1, 0);
    const auto expected = contentsOfLists(*stored);
    for (int call = 0; call < 2; ++call) {
      row.build(&output, lists);
      EXPECT_EQ(contentsOfLists(lists), expected);
      for (KyDListIter it(&lists); it; ++it)
        EXPECT_EQ(typeid(*it.pObject()), edges ? typeid(KyEdgeDList) : typeid(KyNodeDList));
    }
    lists.deleteAllCellsAndObjects();
    EXPECT_EQ(contentsOfLists(*stored), expected);
  }
}

} // namespace kytest
