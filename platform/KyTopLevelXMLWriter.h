// KyTopLevelXMLWriter: writes a whole XML document to a file or to memory.
#pragma once

#include <kyplatform/KyXMLWriter.h>

#include <cstddef>
#include <functional>
#include <string>

class KyObjectTable;
class KyXMLStream;

/// The root of a write: makes a document whose element is "document", has
/// populateDOMElement() fill that element (KyCompositeXMLWriter writes named
/// parts), and serializes it as UTF-8 to a file or to a new memory buffer.
/// It makes the identifiers of the write and keeps the reason of a failure.
///
/// Identifiers are made on first demand as a letter and a number: "g" for
/// graphs, "n" for nodes, "e" for edges, "o" for anything else ("n0",
/// "e12"), skipping those the object table already uses. The text goes
/// straight into the output as writers hand over their elements
/// (KyXMLStream), byte for byte what DOMLSSerializer makes of the same DOM;
/// a document holding what the stream does not carry (comments, CDATA
/// sections, namespaces, text in an indented document, content a
/// subclass adds to the document element itself) is made as one DOM and
/// left to DOMLSSerializer. write() brackets
/// itself with the Xerces platform's initialisation and termination. Copies
/// share the destination, the settings and the object table.
class KYPLATFORM_EXPORT KyTopLevelXMLWriter : public KyXMLWriter {
public:
  /// Writes to the file named `fileName`, replacing it. `indenting` and
  /// `usingTemplates` are the first values of the two settings below.
  KyTopLevelXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates);
  /// Writes to memory: a successful write() leaves a new array in *buffer,
  /// holding outputSize() bytes and a zero byte after them; the caller frees
  /// it with delete[]. Whatever *buffer held before is neither read nor
  /// freed. `buffer` must stay valid until write() returns.
  KyTopLevelXMLWriter(unsigned char** buffer, int indenting, int usingTemplates);
  /// What takes a document in pieces: `length` bytes at `bytes`, valid
  /// during the call only.
  using Pieces = std::function<void(const unsigned char* bytes, std::size_t length)>;
  /// Writes to `pieces`: a successful write() hands it the whole document
  /// in order, in pieces of up to a megabyte, after the document was made,
  /// so the text is never copied into one array; or, with handingAsMade(),
  /// as it is made. A failed write() hands it nothing. During the calls
  /// outputSize() already gives the size of the whole document.
  KyTopLevelXMLWriter(Pieces pieces, int indenting, int usingTemplates);
  KyTopLevelXMLWriter(const KyTopLevelXMLWriter&) = default;
  KyTopLevelXMLWriter& operator=(const KyTopLevelXMLWriter&) = default;
  ~KyTopLevelXMLWriter() override;

  /// The caller's table of identifiers, or null (the default): an object it
  /// names is written under that identifier, and the identifiers made by a
  /// successful write() are added to it. The table stays the caller's.
  KyObjectTable* pObjectTable() const { return table_; }
  KyObjectTable* pObjectTable(KyObjectTable* table) { return table_ = table; }
  /// 1: the document is laid out on indented lines; 0: on one line.
  int indenting() const { return indenting_; }
  int indenting(int indenting) { return indenting_ = indenting; }
  /// For a writer on pieces, 1: write() makes the document once to learn
  /// that it can be written and its size, handing nothing, then again,
  /// handing each piece over as it is made, so that the text is never held
  /// whole, in twice the time; memory running out during the second making
  /// leaves part handed over. The object table gets the identifiers after
  /// the last piece. 0 (the default): made once, held whole, then handed.
  int handingAsMade() const { return handingAsMade_; }
  int handingAsMade(int handingAsMade) { return handingAsMade_ = handingAsMade; }
  /// The templates setting that part writers consult (KyXMLWriter).
  int usingTemplates() const override { return usingTemplates_; }
  int usingTemplates(int usingTemplates) { return usingTemplates_ = usingTemplates; }

  /// Writes the document. Returns 1 when it was written. Returns 0 when
  /// populateDOMElement() fails, a text holds a character that XML cannot
  /// carry, or the destination cannot be written; then *buffer and the
  /// object table are unchanged, no file is made or replaced (but for a
  /// failure while writing the file itself), outputSize() is 0 and
  /// pErrorMessage() says why. Cost O(size of the document) plus what
  /// populateDOMElement() costs, twice that when handing pieces as they are
  /// made; and a DOM of the whole document, held whole, for a document that
  /// the stream does not carry.
  int write();
  /// Bytes written by the latest write(); 0 before and after a failure.
  unsigned long outputSize() const { return outputSize_; }
  /// One line saying why the latest write() failed; empty after success.
  const wchar_t* pErrorMessage() const { return failure().c_str(); }

  /// The object table's identifier, else one made for this write; null for
  /// a null object or outside write().
  const wchar_t* pID(const KyObject* object) override;
  /// The identifier made for `object` earlier in this write, else the
  /// object table's; null when there is none. Makes none.
  const wchar_t* pKnownID(const KyObject* object) override;

  static KyTopLevelXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyTopLevelXMLWriter*>(const_cast<KyObject*>(object));
  }

protected:
  /// For the platform's composite writer: the stream that write() puts the
  /// document element's content in, or null when the document is written as
  /// one DOM (which happens only when the stream cannot carry it).
  KyXMLStream* pStream() const { return stream_; }

private:
  struct Made;

  /// What one attempt does with the text: keeps it whole, then hands it
  /// on; counts it and drops it; hands it on as it is made.
  enum class Output { keep, count, hand };
  /// One attempt of write(): as a stream or as one DOM. Returns 1 or 0 as
  /// write() does, or -1 when the stream cannot carry the document.
  int writeOnce(bool stream, Output output);

  std::wstring fileName_;
  unsigned char** buffer_ = nullptr;
  Pieces pieces_;
  bool toFile_;
  int indenting_;
  int usingTemplates_;
  int handingAsMade_ = 0;
  KyObjectTable* table_ = nullptr;
  unsigned long outputSize_ = 0;
  // The identifiers made by the write in progress; set only during write().
  Made* made_ = nullptr;
  // Where the document element's content goes; set only during write().
  KyXMLStream* stream_ = nullptr;
};
