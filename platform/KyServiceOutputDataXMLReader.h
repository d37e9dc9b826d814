// KyServiceOutputDataXMLReader: reads a service output part.
#pragma once

#include <kyplatform/KyXMLReader.h>

#include <memory>
#include <string>

class KyServiceOutputData;
class KyServiceName;

/// Reads a service output part, as KyServiceOutputDataXMLWriter writes it,
/// into its target output data, whose service name must already be
/// attached: every key must have a result description, every result the
/// description's value type, every owner must convert through the service
/// name's pConvertStringToOwner() and every value through its
/// pConvertStringToValue() (each inner list of a "List<List<T>>" as a
/// "List<T>"), naming objects through the read: those of the document and
/// those of the caller's object table.
///
/// The part is read as a stream and checked whole before the data changes.
/// When anything above fails, or the part holds an element it does not
/// know, the read fails and the data is exactly as it was. When the whole
/// document was read, finishRead() stores every value under its owner and
/// key, replacing what the data held there: the data takes the values made
/// while reading (numbers, lists; a list of lists as a KyOwningDList that
/// owns its inner lists) and the owners made to key them (pairs, say);
/// graphs, nodes and edges are references. Of two entries with the same
/// owner and key the later wins. Cost O(size of the part) plus the
/// conversions. Not copyable.
class KYPLATFORM_EXPORT KyServiceOutputDataXMLReader : public KyXMLReader {
public:
  /// `name` is the name of the part this reader is registered for.
  explicit KyServiceOutputDataXMLReader(const wchar_t* name);
  ~KyServiceOutputDataXMLReader() override;
  KyServiceOutputDataXMLReader(const KyServiceOutputDataXMLReader&) = delete;
  KyServiceOutputDataXMLReader& operator=(const KyServiceOutputDataXMLReader&) = delete;

  const wchar_t* pName() const { return name_.c_str(); }
  /// The output data being read: the target as service output data.
  KyServiceOutputData* pServiceOutputData() const;

  int processDOMElement(const xercesc::DOMElement& element) override;
  /// The part as a stream; every value is kept until finishRead(), so that
  /// a read that fails anywhere in the document leaves the data as it was.
  int readsStream() const override;
  int startElement(const KyXMLStartTag& tag, int depth) override;
  int finishRead(int complete) override;

  static KyServiceOutputDataXMLReader* castDown(const KyObject* object) {
    return static_cast<KyServiceOutputDataXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  struct Staging;
  int startResult(const KyXMLStartTag& tag);
  int startEntry(const KyXMLStartTag& tag);
  int startList(const KyXMLStartTag& tag);

  std::wstring name_;
  std::unique_ptr<Staging> staging_; // of the part being read
};
