// KyServiceOutputDataXMLWriter: writes a service output part.
#pragma once

#include <kyplatform/KyXMLWriter.h>

#include <string>

class KyServiceOutputData;

/// Writes its target output data (an answer) into a service output part,
/// every stored value typed through the result descriptions of the data's
/// service name:
///
///   <result key="errorCode" type="Integer"> <entry value="0"/> </result>
///   <result key="shortestPaths:none:edgeList" type="List<KyEdge>">
///     <entry value="e0 e3"/>
///   </result>
///   <result key="allPairsShortestPaths:(KyNode,KyNode):totalCost" type="Integer">
///     <entry owner="n0 n1" value="5"/>
///   </result>
///   <result key="connectedComponents:none:componentList" type="List<List<KyNode>>">
///     <entry> <list value="n0 n1"/> <list value="n2"/> </entry>
///   </result>
///
/// One "result" element per key, sorted by key, with the description's
/// value type; one "entry" per stored value, in the order the data keeps
/// them, naming its owner with the service name's pConvertOwnerToString()
/// (none for a null owner) and holding the value's text from its
/// pConvertValueToString(). A value of a type "List<List<T>>" is a list of
/// lists, each written as a "list" element with the text of a "List<T>".
///
/// writeElement() fails when there is no output data, service name or
/// result description manager, a stored key has no description, or a value
/// or owner does not fit its description's types or has no identifier.
/// Cost O(k log k) in the number of keys plus O(number of values and list
/// items). Not copyable.
class KYPLATFORM_EXPORT KyServiceOutputDataXMLWriter : public KyXMLWriter {
public:
  /// `name` is the name of the part this writer is registered for.
  explicit KyServiceOutputDataXMLWriter(const wchar_t* name);
  ~KyServiceOutputDataXMLWriter() override;
  KyServiceOutputDataXMLWriter(const KyServiceOutputDataXMLWriter&) = delete;
  KyServiceOutputDataXMLWriter& operator=(const KyServiceOutputDataXMLWriter&) = delete;

  const wchar_t* pName() const { return name_.c_str(); }
  /// The target as service output data.
  KyServiceOutputData* pServiceOutputData() const;

  int populateDOMElement(xercesc::DOMElement& element) override;
  int writeElement(KyXMLStream& out) override;

  static KyServiceOutputDataXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyServiceOutputDataXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  std::wstring name_;
};
