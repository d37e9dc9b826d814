// KyXMLReader: the base of every reader of an XML element.
#pragma once

#include <kyplatform/KyObject.h>

#include <xercesc/dom/DOMElement.hpp>

#include <string>

/// Reads one DOM element into its target, the object it fills.
///
/// Readers nest: a part reader has the document reader as its parent, a
/// node reader the graph reader, a constraint reader the constraint manager
/// reader. Identifiers are registered and resolved through the chain of
/// parents; the top-level reader at its root keeps them for the current
/// read, and so does the reason of a failure. A reader owns neither its
/// parent nor its target. Copies refer to the same parent and target.
class KYPLATFORM_EXPORT KyXMLReader : public KyObject {
public:
  KyXMLReader() = default;
  KyXMLReader(const KyXMLReader&) = default;
  KyXMLReader& operator=(const KyXMLReader&) = default;
  ~KyXMLReader() override;

  /// Registers `object` under `id` for the current read, replacing what the
  /// identifier named. Returns 1, or 0 when no top-level reader is reading
  /// or the identifier is invalid (KyObjectTable::validID). The base passes
  /// the call to the parent.
  virtual int setID(const wchar_t* id, KyObject* object);
  /// The object named `id` in the current read, or null. The base asks the
  /// parent; a reader without a parent knows no identifier.
  virtual KyObject* pObject(const wchar_t* id) const;
  /// Reads `element` into the target. Returns 1 when it was read, 0 when it
  /// could not be (the reason is recorded through fail()). The base reads
  /// nothing and returns 1.
  virtual int processDOMElement(const xercesc::DOMElement& element);

  /// The object named by the attribute `attribute` of `element`; null when
  /// the attribute is absent or names no object. Cost of one pObject().
  KyObject* pElementObject(const wchar_t* attribute, const xercesc::DOMElement& element) const;

  /// The reader this one reads for, or null.
  KyXMLReader* pParent() const { return parent_; }
  KyXMLReader* pParent(KyXMLReader* parent) { return parent_ = parent; }
  /// The object this reader fills, or null.
  KyObject* pTarget() const { return target_; }
  KyObject* pTarget(KyObject* target) { return target_ = target; }

  static KyXMLReader* castDown(const KyObject* object) {
    return static_cast<KyXMLReader*>(const_cast<KyObject*>(object));
  }

protected:
  /// Records `message` as the reason the read fails, on the root of the
  /// chain of parents, unless a reason was recorded first. Returns 0.
  int fail(const std::wstring& message);
  /// The reason recorded on this reader; empty when there is none.
  const std::wstring& failure() const { return failure_; }
  void clearFailure() { failure_.clear(); }

private:
  KyXMLReader* parent_ = nullptr;
  KyObject* target_ = nullptr;
  std::wstring failure_;
};
