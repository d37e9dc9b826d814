// KyCompositeXMLReader: reads a document made of named parts.
#pragma once

#include <kyplatform/KyTopLevelXMLReader.h>
#include <kyplatform/KyXMLPartTable.h>

#include <memory>

/// Reads a document whose "document" element holds "part" elements, each
/// with a "name" attribute, through one reader per part name.
///
/// A part is read when a reader is registered for it: the reader gets the
/// object registered under the same name (or null) as its target and this
/// reader as its parent while it reads. Parts are read in the order of
/// registration, except that setFirstObjectToRead() moves its part to the
/// front (a graph must be read before the parts that refer to its nodes).
/// A part whose turn has come is handed to its reader as it is parsed when
/// the reader takes streams (KyXMLReader::readsStream()); a part that comes
/// before its turn, or whose reader must be handed a DOM element, is kept
/// as a DOM element until its turn. Parts of the document that have no
/// reader are skipped.
///
/// read() (KyTopLevelXMLReader) also fails when a registered part is missing
/// or appears twice, when the document element holds anything but parts,
/// when an object is registered without a reader, or when a part reader
/// fails. Reading stops at the first failing part: the parts read before it
/// keep what they read, the failing part's own reader says what it leaves.
///
/// Readers and objects are the caller's and are never freed here. Copies
/// share them.
class KYPLATFORM_EXPORT KyCompositeXMLReader : public KyTopLevelXMLReader {
public:
  /// On the file named `fileName`, on `length` bytes at `bytes`, or on the
  /// pieces a function hands, as KyTopLevelXMLReader.
  using KyTopLevelXMLReader::KyTopLevelXMLReader;
  KyCompositeXMLReader(const KyCompositeXMLReader&) = default;
  KyCompositeXMLReader& operator=(const KyCompositeXMLReader&) = default;
  ~KyCompositeXMLReader() override;

  /// Registers `reader` for the part `name` (null unregisters it); returns
  /// it. A null name registers nothing and returns null.
  KyXMLReader* setReader(const wchar_t* name, KyXMLReader* reader);
  /// The reader of the part `name`, or null.
  KyXMLReader* pReader(const wchar_t* name) const;
  /// Registers `object` as the target of the part `name`; returns it.
  KyObject* setObjectToRead(const wchar_t* name, KyObject* object);
  /// As setObjectToRead(), and the part is read before every other.
  KyObject* setFirstObjectToRead(const wchar_t* name, KyObject* object);
  /// The object registered for the part `name`, or null.
  KyObject* pObjectToRead(const wchar_t* name) const;

  /// Reads the registered parts of the document element.
  int processDOMElement(const xercesc::DOMElement& element) override;
  /// The document element as a stream: each part goes to its reader as it
  /// comes, as a stream when the reader takes one.
  int readsStream() const override;
  int startElement(const KyXMLStartTag& tag, int depth) override;
  int characters(const XMLCh* text, std::size_t length, int depth) override;
  int endElement(int depth) override;
  /// finishRead() of every part reader that read a stream.
  int finishRead(int complete) override;

  static KyCompositeXMLReader* castDown(const KyObject* object) {
    return static_cast<KyCompositeXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  struct Reading;
  bool readyFor(std::size_t part) const;
  int readKeptParts();
  int partFailed(std::size_t part);

  KyXMLPartTable<KyXMLReader> parts_;
  std::shared_ptr<Reading> reading_; // during read() only
};
