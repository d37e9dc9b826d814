// KyObjectTable: identifiers of objects shared between a document and its caller.
#pragma once

#include <kyanalysis/KyObject.h>

#include <string>
#include <string_view>
#include <unordered_map>

/// Two-way map between objects and identifier texts, handed by a caller to
/// an XML reader or writer (pObjectTable) so that document and caller name
/// objects alike. A writer names an object by the identifier the table
/// holds for it and adds the identifiers it makes; a reader resolves
/// references through the table and adds the objects the document defines.
/// Readers and writers change the table only when their read() or write()
/// succeeds.
///
/// The caller owns the table. The table refers to objects and never owns
/// them: an entry must not be used after its object is gone. An identifier
/// is a non-empty text without white space. Lookups and registrations cost
/// O(length of the identifier) on average; lookups allocate nothing. Not
/// copyable.
class KYPLATFORM_EXPORT KyObjectTable : public KyObject {
public:
  KyObjectTable() = default;
  ~KyObjectTable() override;
  KyObjectTable(const KyObjectTable&) = delete;
  KyObjectTable& operator=(const KyObjectTable&) = delete;

  /// The identifier of `object`, or null. The text stays valid until the
  /// object's entry changes or the table goes.
  const wchar_t* pID(const KyObject* object) const;
  /// The object registered under `id`, or null.
  KyObject* pObject(const wchar_t* id) const;
  /// Registers `object` under `id`; the object's former identifier and the
  /// identifier's former object are dropped. Returns 1; returns 0 and
  /// changes nothing for a null object or an invalid identifier.
  int setID(const wchar_t* id, KyObject* object);
  /// Registers every entry of `other` here as setID() does. Cost
  /// O(other.length()).
  void merge(const KyObjectTable& other);
  /// Number of entries.
  int length() const { return static_cast<int>(byID_.size()); }
  /// Drops every entry.
  void clear();

  /// 1 when `id` may serve as an identifier: not null, not empty, without
  /// white space; else 0.
  static int validID(const wchar_t* id);

  static KyObjectTable* castDown(const KyObject* object) {
    return static_cast<KyObjectTable*>(const_cast<KyObject*>(object));
  }

private:
  // Identifiers are owned by byObject_, whose entries stay in place while
  // they live; byID_ views them, so a lookup by text copies nothing.
  std::unordered_map<const KyObject*, std::wstring> byObject_;
  std::unordered_map<std::wstring_view, KyObject*> byID_;
};
