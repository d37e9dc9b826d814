// KyServiceInputDataXMLWriter: writes a service input part.
#pragma once

#include <kyplatform/KyXMLWriter.h>

#include <cstddef>
#include <string>
#include <vector>

class KyServiceInputData;
class KyServiceItemDescription;
class KyServiceName;
class KyText;

/// Writes its target input data into a service input part, every stored
/// value typed through the option descriptions of the data's service name:
///
///   <option key="all:none:operation" type="Integer">
///     <entry value="10"/>
///   </option>
///   <option key="shortestPaths:edge:cost" type="Integer">
///     <entry owner="e0" value="5"/> <entry owner="e1" value="7"/>
///   </option>
///   <option key="clustering:graph:constraintManager" type="KyConstraintManager">
///     <entry owner="g0"><constraintManager parent="g0">...</constraintManager></entry>
///   </option>
///
/// One "option" element per key, with the description's value type; one
/// "entry" per stored value, naming its owner (none for a null owner) and
/// holding the value's text from the service name's pConvertValueToString().
/// A constraint manager is written as an element, its constraints through
/// the service name's pConstraintWriter() (KyConstraintManagerXMLWriter).
/// Options are sorted by key, entries by owner: none first, then graphs,
/// nodes and edges in their graph's order, then any other owner; graphs and
/// other owners by identifier. The same data thus always gives the same
/// part.
///
/// writeElement() and populateDOMElement() fail when there is no input data, service name or
/// option description manager, a stored key has no description, a value or
/// owner does not fit its description's types (owner type "none": no owner;
/// "KyGraph", "KyNode", "KyEdge": an object of that type or none), an
/// owner or a value (or an item of a list value) is a graph, node or edge
/// that the document does not hold, so that a reader would find nothing
/// under its identifier (no earlier part wrote it and the object table does
/// not name it: a node of another graph, say), or a manager with
/// constraints meets no constraint writer. The reason names the option and
/// the owner. Cost O(n log n) in
/// the number of values, plus the conversions. Not copyable.
class KYPLATFORM_EXPORT KyServiceInputDataXMLWriter : public KyXMLWriter {
public:
  /// `name` is the name of the part this writer is registered for.
  explicit KyServiceInputDataXMLWriter(const wchar_t* name);
  ~KyServiceInputDataXMLWriter() override;
  KyServiceInputDataXMLWriter(const KyServiceInputDataXMLWriter&) = delete;
  KyServiceInputDataXMLWriter& operator=(const KyServiceInputDataXMLWriter&) = delete;

  const wchar_t* pName() const { return name_.c_str(); }
  /// The target as service input data.
  KyServiceInputData* pServiceInputData() const;
  /// 1 (after construction): every stored value is written. 0: a value
  /// whose text equals the text of its description's default value is left
  /// out, since a reader of the request falls back on the default; values
  /// without a default are always written.
  int writingDefaults() const { return writingDefaults_; }
  int writingDefaults(int writingDefaults) { return writingDefaults_ = writingDefaults; }

  int populateDOMElement(xercesc::DOMElement& element) override;
  int writeElement(KyXMLStream& out) override;

  static KyServiceInputDataXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyServiceInputDataXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  struct Entry;
  /// The entries of one option: its key, and [first, last) of the entries.
  struct Run {
    const wchar_t* key;
    std::size_t first, last;
  };
  int sortedEntries(const KyServiceInputData& data, KyServiceName& service,
                    std::vector<Entry>& entries, std::vector<Run>& options);
  int writeOption(KyXMLStream& out, KyServiceName& service, const wchar_t* key, const Entry* first,
                  const Entry* last);
  KyText* defaultTextOf(KyServiceName& service, const KyServiceItemDescription& description);
  int writeManager(KyXMLStream& out, KyServiceName& service, const wchar_t* key,
                   const Entry& entry);
  const KyObject* unknownIn(const KyObject* value);

  std::wstring name_;
  int writingDefaults_ = 1;
};
