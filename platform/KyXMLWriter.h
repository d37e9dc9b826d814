// KyXMLWriter: the base of every writer of an XML element.
#pragma once

#include <kyplatform/KyObject.h>

#include <xercesc/dom/DOMElement.hpp>

#include <string>

class KyXMLStream;

/// Writes its target, the object it is handed, into one DOM element.
///
/// Writers nest as readers do (KyXMLReader): identifiers are made and the
/// reason of a failure is kept by the top-level writer at the root of the
/// chain of parents. A writer owns neither its parent nor its target.
/// Copies refer to the same parent and target.
class KYPLATFORM_EXPORT KyXMLWriter : public KyObject {
public:
  KyXMLWriter() = default;
  KyXMLWriter(const KyXMLWriter&) = default;
  KyXMLWriter& operator=(const KyXMLWriter&) = default;
  ~KyXMLWriter() override;

  /// The identifier that names `object` in the current write: the one the
  /// object table holds, else one made on first demand and kept for the
  /// rest of the write. Null for a null object or when no top-level writer
  /// is writing. The text stays valid until the write ends. The base
  /// passes the call to the parent.
  virtual const wchar_t* pID(const KyObject* object);
  /// The identifier `object` has already in the current write: one that
  /// pID() gave it earlier in the write (a part that wrote the object named
  /// it so) or the object table's. Null when it has none; makes none, so a
  /// writer can tell an object the document holds from one a reader would
  /// find nowhere. The base passes the call to the parent.
  virtual const wchar_t* pKnownID(const KyObject* object);
  /// Writes the target into `element`, an element made for it by the
  /// caller. Returns 1 when written, 0 when the target cannot be written
  /// (the reason is recorded through fail()). The base writes nothing and
  /// returns 1.
  virtual int populateDOMElement(xercesc::DOMElement& element);
  /// Writes the target into the element that `out` opened last, as
  /// populateDOMElement() would fill it: attributes first, then the
  /// elements it holds. Returns as populateDOMElement() does. The base has
  /// populateDOMElement() fill a DOM element of the same name and hands
  /// what it made to `out`; writers that put their elements straight into
  /// the stream override it, and fill a DOM element through a KyXMLStream
  /// on it.
  virtual int writeElement(KyXMLStream& out);
  /// 1 when the document is written with templates: the top-level writer's
  /// setting. Part writers that can share repeated content as a template
  /// consult it; the platform's own writers write no templates.
  virtual int usingTemplates() const;

  /// The writer this one writes for, or null.
  KyXMLWriter* pParent() const { return parent_; }
  KyXMLWriter* pParent(KyXMLWriter* parent) { return parent_ = parent; }
  /// The object this writer writes, or null.
  KyObject* pTarget() const { return target_; }
  KyObject* pTarget(KyObject* target) { return target_ = target; }

  static KyXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyXMLWriter*>(const_cast<KyObject*>(object));
  }

protected:
  /// Records `message` as the reason the write fails, on the root of the
  /// chain of parents, unless a reason was recorded first. Returns 0.
  int fail(const std::wstring& message);
  /// The reason recorded on this writer; empty when there is none.
  const std::wstring& failure() const { return failure_; }
  void clearFailure() { failure_.clear(); }

private:
  KyXMLWriter* parent_ = nullptr;
  KyObject* target_ = nullptr;
  std::wstring failure_;
};
