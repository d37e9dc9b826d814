// KyTopLevelXMLReader: reads a whole XML document from a file or from memory.
#pragma once

#include <kyplatform/KyXMLReader.h>

#include <cstddef>
#include <functional>
#include <string>

class KyObjectTable;
template <typename Value> class KyXMLIdentifiers;

/// The root of a read: parses a document with Xerces' SAX2 reader and hands
/// its "document" element, as it is parsed, to the streaming calls of
/// KyXMLReader, which subclasses override (KyCompositeXMLReader reads named
/// parts); a subclass that does not read streams gets the element as one DOM
/// element through processDOMElement(). It keeps the identifiers the
/// document defines and the reason of a failure.
///
/// Documents are untrusted input. The parser refuses any document with a
/// document type declaration, so it loads no DTD, expands no entity other
/// than the five predefined ones and character references, and reaches no
/// file or network; it validates nothing and drops comments. Documents come
/// in UTF-8, or in UTF-16 or UTF-32 of either byte order when they begin
/// with a byte-order mark or an XML declaration; any other is taken for
/// UTF-8. U+0000 (a zero byte in UTF-8) is refused wherever it is, also
/// after the document element, and so are bytes left over after the last
/// whole unit of UTF-16 or UTF-32; a document in memory is searched for
/// them before it is parsed, so that it is refused before anything in it is
/// read, and a document handed in pieces is searched to its end even when
/// the parse stopped early, so that it is refused alike. A file, and a
/// document handed in pieces, is read piece by piece, never held whole. read()
/// initialises the Xerces platform itself, so callers need not; each thread
/// keeps the parser of its first read for the next ones, and with it the
/// platform initialised, until the thread ends. Copies share the source,
/// the object table and the parent.
class KYPLATFORM_EXPORT KyTopLevelXMLReader : public KyXMLReader {
public:
  /// Reads the file named `fileName` when read() runs.
  explicit KyTopLevelXMLReader(const wchar_t* fileName);
  /// Reads the `length` bytes at `bytes`. They are not copied and must stay
  /// unchanged until read() returns.
  KyTopLevelXMLReader(const unsigned char* bytes, unsigned int length);
  /// Hands the next piece of a document: writes at most `most` bytes at
  /// `into` and sets `got` to how many, 0 at the end of the document.
  /// False when the source fails.
  using NextPiece = std::function<bool(unsigned char* into, std::size_t most, std::size_t& got)>;
  /// Reads the document `next` hands when read() runs, piece by piece; a
  /// read that fails asks it for the rest of the document all the same. A
  /// read whose source fails fails with "the document cannot be read".
  explicit KyTopLevelXMLReader(NextPiece next);
  KyTopLevelXMLReader(const KyTopLevelXMLReader&) = default;
  KyTopLevelXMLReader& operator=(const KyTopLevelXMLReader&) = default;
  ~KyTopLevelXMLReader() override;

  /// The caller's table of identifiers, or null (the default): references
  /// are resolved through it after the document's own identifiers, and the
  /// identifiers the document defines are added to it when read() succeeds,
  /// as KyObjectTable::setID() adds them. The table stays the caller's.
  KyObjectTable* pObjectTable() const { return table_; }
  KyObjectTable* pObjectTable(KyObjectTable* table) { return table_ = table; }

  /// Parses the document and reads its element. Returns 1 when the whole
  /// document was read. Returns 0 when the source cannot be read, the text
  /// is not a well-formed document this parser accepts, its element is not
  /// "document", or reading it fails; the object table is then unchanged and
  /// pErrorMessage() says why. finishRead() runs when the whole text was
  /// parsed, or the read failed. What a failed read leaves in the objects read into is said
  /// by the subclass. Cost O(size of the document) plus what reading the
  /// element costs.
  int read();
  /// One line saying why the latest read() failed, with line and column:
  /// first for what the parser refuses ("line 3, column 7: ..."), last for
  /// what a reader refuses ("... (line 3, column 7)"), at the end of the tag
  /// being read. "documents with a DOCTYPE are refused" for a DOCTYPE.
  /// Empty after a successful read().
  const wchar_t* pErrorMessage() const { return failure().c_str(); }

  /// Registers in the current read only; invalid identifiers and calls
  /// outside read() give 0.
  int setID(const wchar_t* id, KyObject* object) override;
  /// The document's own identifiers first, then the object table's.
  KyObject* pObject(const wchar_t* id) const override;

  static KyTopLevelXMLReader* castDown(const KyObject* object) {
    return static_cast<KyTopLevelXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  std::wstring fileName_;
  const unsigned char* bytes_ = nullptr;
  unsigned int length_ = 0;
  bool fromFile_;
  NextPiece next_;
  KyObjectTable* table_ = nullptr;
  // The identifiers of the document being read; set only during read().
  KyXMLIdentifiers<KyObject*>* defined_ = nullptr;
};
