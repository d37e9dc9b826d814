// KyGeneralAnalysisInputTailor: the frame of every input tailor.
#pragma once

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphMember.h>
#include <kyplatform/KyServiceData.h>

class KyServiceItemDescriptionManager;

/// Typed view on the options of one analysis request.
///
/// A tailor refers to a service input data and caches the request's graph;
/// it owns neither, holds no other state and may be made and dropped at
/// will: every getter reads the store afresh and every setter writes through
/// at once. Values a setter makes are handed to the input data; nodes, node
/// lists and the graph stay the caller's. Options never set read as the
/// defaults of the analysis service's option descriptions.
///
/// The protected helpers are the accessor patterns: every accessor of a
/// per-analysis tailor is a one-line call to one of them. Not copyable.
class KYANALYSIS_EXPORT KyGeneralAnalysisInputTailor : public KyObject {
public:
  /// Wraps `inputData`, which must not be null and must outlive the
  /// tailor. Attaches a new KyAnalysisServiceName when the input data has
  /// no service name (a name it has is kept, whatever its class), and reads
  /// the graph stored under "all:none:graph" (none when the value stored
  /// there is no graph).
  explicit KyGeneralAnalysisInputTailor(KyServiceInputData* inputData);
  ~KyGeneralAnalysisInputTailor() override;
  KyGeneralAnalysisInputTailor(const KyGeneralAnalysisInputTailor&) = delete;
  KyGeneralAnalysisInputTailor& operator=(const KyGeneralAnalysisInputTailor&) = delete;

  /// The request's graph as last read or set; null when there is none.
  KyGraph* pGraph() const { return graph_; }
  /// Makes `graph` the request's graph (stored, not handed over); returns it.
  KyGraph* pGraph(KyGraph* graph);
  /// The operation selected last; OPERATION_NONE when none was selected. A
  /// stored code outside the enumeration is returned unchanged.
  KyAnalysisOperationEnum operationType() const;

  void debugOutput(int) override {}

  static KyGeneralAnalysisInputTailor* castDown(const KyObject* object) {
    return static_cast<KyGeneralAnalysisInputTailor*>(const_cast<KyObject*>(object));
  }

protected:
  KyServiceInputData* pServiceInputData() const { return inputData_; }

  /// The value under (owner, key), else the key's default; null when
  /// neither exists.
  KyObject* getValue(const KyObject* owner, const wchar_t* key) const;
  /// getValue() read as an integer; 0 when it is null or not a KyInt.
  int getValueAsInteger(const KyObject* owner, const wchar_t* key) const;
  /// getValue() read as a double; 0.0 when it is null or not a KyDouble.
  double getValueAsDouble(const KyObject* owner, const wchar_t* key) const;

  // Accessor patterns.
  /// Operation selector: stores `code` under "all:none:operation".
  void selectOperation(KyAnalysisOperationEnum code);
  /// Integer (or Boolean, or enumeration) option of the graph.
  int graphOption(const wchar_t* key) const { return getValueAsInteger(graph_, key); }
  int graphOption(const wchar_t* key, int value);
  /// Integer option of a node or an edge.
  int memberOption(const KyGraphMember* member, const wchar_t* key) const;
  int memberOption(KyGraphMember* member, const wchar_t* key, int value);
  /// Double option of the graph.
  double doubleGraphOption(const wchar_t* key) const { return getValueAsDouble(graph_, key); }
  double doubleGraphOption(const wchar_t* key, double value);
  /// Object-valued option of the graph (a node, a node list): stored as a
  /// reference the input data does not own, read without default and
  /// checked, so a value of another class reads as unset (null).
  template <class T> T* objectGraphOption(const wchar_t* key) const {
    return dynamic_cast<T*>(storedValue(graph_, key));
  }
  template <class T> T* objectGraphOption(const wchar_t* key, T* object) {
    inputData_->storeReference(graph_, key, object);
    return object;
  }

  /// The value stored under (owner, key), without default.
  KyObject* storedValue(const KyObject* owner, const wchar_t* key) const;

private:
  KyServiceItemDescriptionManager* pItemDescriptionManager() const;
  /// The default the option descriptions give `key`, or null.
  KyObject* defaultValue(const wchar_t* key) const;

  KyServiceInputData* inputData_;
  KyGraph* graph_;
};
