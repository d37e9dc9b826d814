// KyCompositeXMLWriter: writes a document made of named parts.
#pragma once

#include <kyplatform/KyTopLevelXMLWriter.h>
#include <kyplatform/KyXMLPartTable.h>

/// Writes a "document" element holding one "part" element per registered
/// writer, in the order of registration, each with a "name" attribute. The
/// part's writer gets the object registered under the same name (or null)
/// as its target and this writer as its parent for the length of the call,
/// and fills the part element.
///
/// During a write() the parts go straight into the write's stream: each
/// part writer's writeElement() writes its part (KyXMLWriter), so that no
/// DOM of the whole document is made. When the document is made as one DOM
/// (KyTopLevelXMLWriter), or populateDOMElement() is called outside
/// write(), parts are made in `element`.
///
/// write() (KyTopLevelXMLWriter) also fails when an object is registered
/// without a writer or a part writer fails. Writers and objects are the
/// caller's and are never freed here. Copies share them.
class KYPLATFORM_EXPORT KyCompositeXMLWriter : public KyTopLevelXMLWriter {
public:
  /// Writes to the file `fileName`, indenting, without templates.
  explicit KyCompositeXMLWriter(const wchar_t* fileName);
  /// Writes to the file `fileName`; the two ints are the first settings of
  /// indenting() and usingTemplates().
  KyCompositeXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates);
  /// Writes to a new array left in *buffer (KyTopLevelXMLWriter); the two
  /// ints are the first settings of indenting() and usingTemplates().
  KyCompositeXMLWriter(unsigned char** buffer, int indenting, int usingTemplates);
  /// Writes to `pieces` (KyTopLevelXMLWriter); the ints as for a buffer.
  KyCompositeXMLWriter(Pieces pieces, int indenting, int usingTemplates);
  KyCompositeXMLWriter(const KyCompositeXMLWriter&) = default;
  KyCompositeXMLWriter& operator=(const KyCompositeXMLWriter&) = default;
  ~KyCompositeXMLWriter() override;

  /// Registers `writer` for the part `name` (null unregisters it); returns
  /// it. A null name registers nothing and returns null.
  KyXMLWriter* setWriter(const wchar_t* name, KyXMLWriter* writer);
  /// The writer of the part `name`, or null.
  KyXMLWriter* pWriter(const wchar_t* name) const;
  /// Registers `object` as the target of the part `name`; returns it.
  KyObject* setObjectToWrite(const wchar_t* name, KyObject* object);
  /// The object registered for the part `name`, or null.
  KyObject* pObjectToWrite(const wchar_t* name) const;

  /// Writes the registered parts into the document element.
  int populateDOMElement(xercesc::DOMElement& element) override;

  static KyCompositeXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyCompositeXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  KyXMLPartTable<KyXMLWriter> parts_;
};
