// KyEngineAnswer: how the analyses of the local engine write their results.
// Internal to the engine; not installed.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyOwningDList.h>
#include <kyplatform/KyServiceData.h>

#include "KyEngineStop_p.h"

#include <memory>
#include <vector>

/// Writes results into an output data, which owns every value stored.
///
/// Integers are made by the output data in its own room, and lists keep
/// their items packed until someone walks their cells, so an answer of
/// millions of results takes a few bytes for each. Each store costs
/// O(length of the key) plus O(1) on average; a store of one value throws
/// KyEngineStop::Stopped when the run is asked to stop. Not copyable.
class KyEngineAnswer {
public:
  explicit KyEngineAnswer(KyServiceOutputData& output) : output_(output) {}
  KyEngineAnswer(const KyEngineAnswer&) = delete;
  KyEngineAnswer& operator=(const KyEngineAnswer&) = delete;

  /// Stores `value` under (owner, key) as a KyInt.
  void integer(const KyObject* owner, const wchar_t* key, int value) {
    KyEngineStop::check();
    output_.storeInteger(const_cast<KyObject*>(owner), key, value);
  }
  /// Stores values[v] under `key` on the node at position v of `graph`, as
  /// integer() would one by one; positions holding `missing` get no value,
  /// positions past the graph's nodes are ignored. O(values), with the key
  /// looked up once.
  void nodeIntegers(const KyGraph& graph, const wchar_t* key, const std::vector<int>& values,
                    int missing) {
    output_.storeMemberIntegers(key, graph, false, values, missing);
  }
  /// nodeIntegers() on the edges of `graph`.
  void edgeIntegers(const KyGraph& graph, const wchar_t* key, const std::vector<int>& values,
                    int missing) {
    output_.storeMemberIntegers(key, graph, true, values, missing);
  }
  /// Stores under `key` on the node at position v of `graph` a reference
  /// to objects[v], as reference() would one by one; null positions get no
  /// value. O(objects), with the key looked up once.
  void nodeReferences(const KyGraph& graph, const wchar_t* key,
                      const std::vector<KyObject*>& objects) {
    KyEngineStop::check();
    output_.storeMemberReferences(key, graph, false, objects);
  }
  /// Stores a reference to `object`, which lives elsewhere: a member of the
  /// analysed graph, or a member of a graph the answer owns.
  void reference(const KyObject* owner, const wchar_t* key, KyObject* object) {
    KyEngineStop::check();
    output_.storeReference(const_cast<KyObject*>(owner), key, object);
  }
  /// Items a long loop takes between two checks for a stop.
  static constexpr int kStoresPerCheck = 4096;
  /// Hands `object` over to the output data, stored under (owner, key).
  void handOver(const KyObject* owner, const wchar_t* key, std::unique_ptr<KyObject> object) {
    KyEngineStop::check();
    output_.storeOwned(const_cast<KyObject*>(owner), key, object.get());
    object.release();
  }
  /// Stores a new list of `objects`, in order, under (owner, key): nodes or
  /// edges, as `List` says.
  template <class List>
  void list(const KyObject* owner, const wchar_t* key, std::vector<KyObject*> objects) {
    auto made = std::make_unique<List>();
    made->appendObjects(std::move(objects));
    handOver(owner, key, std::move(made));
  }
  /// Stores a new list of `nodes`, in order, under (owner, key).
  template <class Node>
  void nodeList(const KyObject* owner, const wchar_t* key, const std::vector<Node*>& nodes) {
    handOver(owner, key, makeList<KyNodeDList>(nodes));
  }
  /// Stores a new list of `edges`, in order, under (owner, key).
  template <class Edge>
  void edgeList(const KyObject* owner, const wchar_t* key, const std::vector<Edge*>& edges) {
    handOver(owner, key, makeList<KyEdgeDList>(edges));
  }
  /// Stores under key a list of lists (of nodes or edges, as `List` says),
  /// one inner list per item of `items`, as a KyOwningDList: the output
  /// data owns all of them.
  template <class List, class Item>
  void listOfLists(const wchar_t* key, const std::vector<std::vector<Item*>>& items) {
    std::vector<std::unique_ptr<List>> made;
    made.reserve(items.size());
    for (const auto& item : items)
      made.push_back(makeList<List>(item));
    handOverLists(key, made);
  }
  /// Stores under `key` a list of lists (of nodes or edges, as `List`
  /// says), one per vector of `objects`, in order. The output data owns all
  /// of them.
  template <class List>
  void lists(const wchar_t* key, std::vector<std::vector<KyObject*>> objects) {
    std::vector<std::unique_ptr<List>> made;
    made.reserve(objects.size());
    for (auto& items : objects) {
      made.push_back(std::make_unique<List>());
      made.back()->appendObjects(std::move(items));
    }
    handOverLists(key, made);
  }
  /// lists() of `groups` lists: each item i of 0..count-1 goes, as
  /// object(i), to the end of list groupOf(i), or to none when that is -1.
  /// O(groups + count).
  template <class List, class GroupOf, class Object>
  void partitionLists(const wchar_t* key, int groups, int count, GroupOf groupOf, Object object) {
    lists<List>(key, partition(groups, count, groupOf, object));
  }
  /// The items 0..count-1 parted as partitionLists() parts them.
  template <class GroupOf, class Object>
  static std::vector<std::vector<KyObject*>> partition(int groups, int count, GroupOf groupOf,
                                                       Object object) {
    std::vector<std::vector<KyObject*>> objects(static_cast<std::size_t>(groups));
    {
      std::vector<int> sizes(static_cast<std::size_t>(groups), 0);
      for (int i = 0; i < count; ++i)
        if (const int g = groupOf(i); g >= 0)
          ++sizes[g];
      for (int g = 0; g < groups; ++g)
        objects[g].reserve(static_cast<std::size_t>(sizes[g]));
    }
    for (int i = 0; i < count; ++i)
      if (const int g = groupOf(i); g >= 0)
        objects[g].push_back(object(i));
    return objects;
  }

  /// Notes that the request's value under (owner, key) is one the analysis
  /// cannot work with, and returns ANALYSIS_ERROR_INVALID_OPTION; the
  /// service stores the note as "errorOption" beside the error code.
  int invalidOption(const KyObject* owner, const wchar_t* key) {
    invalidOwner_ = owner;
    invalidKey_ = key;
    return ANALYSIS_ERROR_INVALID_OPTION;
  }
  /// The option invalidOption() noted last: its owner and key (null when none).
  const KyObject* invalidOwner() const { return invalidOwner_; }
  const wchar_t* invalidKey() const { return invalidKey_; }

private:
  // Stores the lists `made` under `key` as one list that owns them.
  template <class List>
  void handOverLists(const wchar_t* key, std::vector<std::unique_ptr<List>>& made) {
    std::vector<KyObject*> inner(made.size());
    auto lists = std::make_unique<KyOwningDList>();
    for (std::size_t i = 0; i < made.size(); ++i)
      inner[i] = made[i].release();
    lists->appendObjects(std::move(inner));
    handOver(nullptr, key, std::move(lists));
  }
  template <class List, class Item>
  static std::unique_ptr<List> makeList(const std::vector<Item*>& items) {
    auto list = std::make_unique<List>();
    list->appendObjects(std::vector<KyObject*>(items.begin(), items.end()));
    return list;
  }

  KyServiceOutputData& output_;
  const KyObject* invalidOwner_ = nullptr;
  const wchar_t* invalidKey_ = nullptr;
};
