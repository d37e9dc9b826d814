// KyServiceName: how the service framework reaches one service's definition.
#pragma once

#include <kyplatform/KyObject.h>

#include <xercesc/util/XercesDefs.hpp>

XERCES_CPP_NAMESPACE_BEGIN
class DOMElement;
XERCES_CPP_NAMESPACE_END

class KyServiceItemDescription;
class KyServiceItemDescriptionManager;
class KySerializer;
class KyConstraintXMLWriter;
class KyConstraintXMLReader;
class KyServiceInputDataXMLReader;
class KyText;
class KyXMLReader;
class KyXMLWriter;

/// Names a service and hands out what the framework needs to know about it:
/// the descriptions of its options and results, its serializer, the writer
/// and reader of its constraints, and the conversions of option values to
/// and from the text of a service input document. The base names no service
/// and returns null from every accessor; each service derives its own
/// name. A name keeps ownership of everything it hands out.
class KYPLATFORM_EXPORT KyServiceName : public KyObject {
public:
  KyServiceName() = default;
  KyServiceName(const KyServiceName&) = delete;
  KyServiceName& operator=(const KyServiceName&) = delete;

  virtual KyServiceItemDescriptionManager* pInputDescription();
  virtual KyServiceItemDescriptionManager* pOutputDescription();
  /// The option descriptions as documents and defaults look keys up in
  /// them, changing nothing: the base gives pInputDescription(); a service
  /// may give a set it shares between its names instead of making each
  /// name's own.
  virtual const KyServiceItemDescriptionManager* pInputDescriptionForLookup();
  /// The description of the result `key` as answers carry it: the base asks
  /// pOutputDescription(); a service may describe more (a note beside an
  /// error code, say) without listing it there. Null when there is none.
  virtual KyServiceItemDescription* pResultDescription(const wchar_t* key);
  virtual KySerializer* pSerializer();
  virtual const wchar_t* pDefaultName() const;
  virtual const wchar_t* pServiceClassName() const;
  virtual KyConstraintXMLWriter* pConstraintWriter();
  virtual KyConstraintXMLReader* pConstraintReader();
  /// Reads a constraint manager element of a service input part into the
  /// input data that `reader` reads (its pServiceInputData()); the element's
  /// "parent" attribute names the object the manager belongs to. The input
  /// data reader calls it once the whole part has been checked, including a
  /// trial read of the element's constraints with pConstraintReader(), so
  /// it runs on content known to be readable. The base does nothing.
  virtual void readConstraintManager(const xercesc::DOMElement& element,
                                     KyServiceInputDataXMLReader* reader);
  /// The text of `value` as a value of type `valueType` in a service input
  /// document: a new KyText that the caller owns, or null when the value
  /// does not fit the type or no identifier can be had. Objects are written
  /// as their identifiers from `writer` (KyXMLWriter::pID). The base knows
  /// "Integer" (a KyInt, in decimal), "Boolean" (a KyInt: "true" when
  /// non-zero, else "false"), "Double" (a KyDouble: the shortest decimal
  /// that reads back bit for bit, or "inf", "-inf", "nan", "-nan"; a NaN
  /// reads back as the quiet NaN of its sign, without payload), "KyGraph",
  /// "KyNode", "KyEdge" (the identifier), "List<KyNode>" and "List<KyEdge>"
  /// (a list of nodes or edges: the identifiers separated by single
  /// spaces) and "Text" (a KyText, as it is). Cost O(length of the text).
  virtual KyText* pConvertValueToString(const KyObject* value, const wchar_t* valueType,
                                        KyXMLWriter* writer);
  /// The value of type `valueType` that `text` stands for, in the forms
  /// written by pConvertValueToString(); null when the text does not fit
  /// the type exactly (no white space around numbers) or an identifier
  /// names no object of the type through `reader` (KyXMLReader::pObject).
  /// `owned` tells the caller what it gets: 1 a new value it takes (KyInt,
  /// KyDouble, KyNodeDList, KyEdgeDList), 0 an object of the document
  /// (graph, node, edge). Cost O(length of the text).
  virtual KyObject* pConvertStringToValue(const wchar_t* text, const wchar_t* valueType,
                                          KyXMLReader* reader, int& owned);
  /// The text that names `owner`, the owner of a value whose description
  /// gives the owner type `ownerType`, in a service output document: a new
  /// KyText that the caller owns, or null when the owner does not fit the
  /// type (none fits "none") or no identifier can be had. The base writes
  /// the owner's identifier from `writer` for "KyGraph", "KyNode", "KyEdge"
  /// (an object of that type) and any other type; a service whose owners
  /// are made just to key results (pairs, say) writes what makes them.
  /// Cost O(length of the text).
  virtual KyText* pConvertOwnerToString(const KyObject* owner, const wchar_t* ownerType,
                                        KyXMLWriter* writer);
  /// The owner that `text` stands for, in the forms written by
  /// pConvertOwnerToString(); null when it names nothing that fits the type
  /// through `reader`. `owned` 1: a new owner the caller takes; 0: an
  /// object of the document or of the caller (the base's only case).
  virtual KyObject* pConvertStringToOwner(const wchar_t* text, const wchar_t* ownerType,
                                          KyXMLReader* reader, int& owned);
  /// What a writer may write without asking the converters, as their
  /// text is known: kIntegerTexts, an integer value of the type "Integer"
  /// or "Boolean" in the forms pConvertValueToString() of the base writes;
  /// kPairTexts, an owner of the type "KyPair" that is a pair of two nodes
  /// of a graph, as the identifiers (KyXMLWriter::pID) of the two nodes
  /// separated by a space. Writers ask the converters for everything else.
  /// The base gives kIntegerTexts for an object of this class itself and
  /// nothing for a subclass, whose converters may differ; a subclass that
  /// says more promises that its converters give those texts. O(1).
  enum PlainTexts : int { kIntegerTexts = 1, kPairTexts = 2 };
  virtual int plainTexts();

  static KyServiceName* castDown(const KyObject* object) {
    return static_cast<KyServiceName*>(const_cast<KyObject*>(object));
  }
};
