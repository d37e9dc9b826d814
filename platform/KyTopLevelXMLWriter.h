// KyTopLevelXMLWriter: writes a whole XML document to a file or to memory.
#pragma once

#include <kyplatform/KyXMLWriter.h>

#include <string>

class KyObjectTable;
class KyXMLByteBlocks;

/// The root of a write: makes a document whose element is "document", has
/// populateDOMElement() fill that element (KyCompositeXMLWriter writes named
/// parts), and serializes it as UTF-8 to a file or to a new memory buffer.
/// It makes the identifiers of the write and keeps the reason of a failure.
///
/// Identifiers are made on first demand as a letter and a number: "g" for
/// graphs, "n" for nodes, "e" for edges, "o" for anything else ("n0",
/// "e12"), skipping those the object table already uses. Without indenting
/// the text is made by a walk of the DOM of the platform's own, byte for byte
/// what DOMLSSerializer makes, which writes indented documents and anything
/// the walk does not carry (comments, CDATA sections, namespaces, characters
/// that need more than the common escapes). write() brackets
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
  /// The templates setting that part writers consult (KyXMLWriter).
  int usingTemplates() const override { return usingTemplates_; }
  int usingTemplates(int usingTemplates) { return usingTemplates_ = usingTemplates; }

  /// Writes the document. Returns 1 when it was written. Returns 0 when
  /// populateDOMElement() fails, a text holds a character that XML cannot
  /// carry, or the destination cannot be written; then *buffer and the
  /// object table are unchanged, no file is made or replaced (but for a
  /// failure while writing the file itself), outputSize() is 0 and
  /// pErrorMessage() says why. Cost O(size of the document) plus what
  /// populateDOMElement() costs; twice that cost for a document without
  /// indenting whose parts hold what the platform's walk does not carry.
  int write();
  /// Bytes written by the latest write(); 0 before and after a failure.
  unsigned long outputSize() const { return outputSize_; }
  /// One line saying why the latest write() failed; empty after success.
  const wchar_t* pErrorMessage() const { return failure().c_str(); }

  /// The object table's identifier, else one made for this write; null for
  /// a null object or outside write().
  const wchar_t* pID(const KyObject* object) override;

  static KyTopLevelXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyTopLevelXMLWriter*>(const_cast<KyObject*>(object));
  }

protected:
  /// For the platform's composite writer: true while write() writes a
  /// one-line document part by part. Each part is then made in a document
  /// of its own and handed to takePart(), so that no more than one part is
  /// held as DOM nodes at a time.
  bool streaming() const { return stream_ != nullptr; }
  /// Takes the text of `part` while streaming. Returns false when the part
  /// cannot be written that way (its writer should then stop); write() then
  /// writes the whole document again as one DOM.
  bool takePart(const xercesc::DOMElement& part);

private:
  struct Made;

  /// One attempt of write(): streaming parts or not. Returns 1 or 0 as
  /// write() does, or -1 when streaming was refused.
  int writeOnce(bool stream);

  std::wstring fileName_;
  unsigned char** buffer_ = nullptr;
  bool toFile_;
  int indenting_;
  int usingTemplates_;
  KyObjectTable* table_ = nullptr;
  unsigned long outputSize_ = 0;
  // The identifiers made by the write in progress; set only during write().
  Made* made_ = nullptr;
  // The text of the parts streamed so far; set only while streaming.
  KyXMLByteBlocks* stream_ = nullptr;
  int streamedParts_ = 0;
  bool streamRefused_ = false;
};
