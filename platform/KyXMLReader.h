// KyXMLReader: the base of every reader of an XML element.
#pragma once

#include <kyplatform/KyObject.h>

#include <xercesc/dom/DOMElement.hpp>

#include <cstddef>
#include <string>

class KyXMLStartTag;

/// Reads one DOM element into its target, the object it fills; or, for a
/// streaming reader, one element handed over as a stream of calls while the
/// document is parsed, so that no DOM of it is made.
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

  /// 1 when this reader takes its element as a stream: startElement(),
  /// characters() and endElement() for the element (depth 0) and all it
  /// holds, in document order, then finishRead() when the read ends. 0 (the
  /// base) when it must be handed a DOM element.
  virtual int readsStream() const;
  /// The element at `depth` below this reader's element (0: the element
  /// itself) begins. Returns 1, or 0 to stop the read (the reason recorded
  /// through fail()). The base reads nothing and returns 1.
  virtual int startElement(const KyXMLStartTag& tag, int depth);
  /// Text inside the element at `depth`, in one or more pieces. As
  /// startElement(); the base ignores text.
  virtual int characters(const XMLCh* text, std::size_t length, int depth);
  /// The element at `depth` ends. As startElement().
  virtual int endElement(int depth);
  /// Called once when the read ends. `complete` 1: the whole document was
  /// read without fault, and what the reader kept back until now goes to
  /// its target, which a failed read thus never sees; returns 1, or 0 to
  /// fail the read. `complete` 0: what the reader kept is dropped; returns
  /// 0. The base returns `complete`.
  virtual int finishRead(int complete);

  /// The object named by the attribute `attribute` of `element`; null when
  /// the attribute is absent or names no object. Cost of one pObject().
  KyObject* pElementObject(const wchar_t* attribute, const xercesc::DOMElement& element) const;
  /// The same for an attribute of a start tag.
  KyObject* pElementObject(const wchar_t* attribute, const KyXMLStartTag& tag) const;

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
  /// Hands `element` to this reader's streaming calls, finishRead()
  /// included: processDOMElement() of a streaming reader. Returns 1 or 0 as
  /// they do.
  int readAsStream(const xercesc::DOMElement& element);
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
