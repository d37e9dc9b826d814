// KyObjectTable: identifiers of objects shared between a document and its caller.
#pragma once

#include <kyplatform/KyObject.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

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
  int length() const { return live_; }
  /// Drops every entry.
  void clear();

  /// 1 when `id` may serve as an identifier: not null, not empty, without
  /// white space; else 0.
  static int validID(const wchar_t* id);

  static KyObjectTable* castDown(const KyObject* object) {
    return static_cast<KyObjectTable*>(const_cast<KyObject*>(object));
  }

private:
  // One registration. Entries stay in place while the table lives (a
  // deque), so identifier texts do not move; a dropped entry has no object
  // and is reused by a later registration.
  struct Entry {
    static constexpr std::size_t kInline = 11;
    KyObject* object = nullptr;
    std::uint32_t length = 0;
    wchar_t inlineText[kInline + 1] = {};
    std::unique_ptr<wchar_t[]> longText; // for identifiers beyond kInline
    const wchar_t* text() const { return longText ? longText.get() : inlineText; }
  };
  static constexpr std::uint32_t kFree = 0;

  std::size_t findID(const wchar_t* id, std::size_t length, std::uint32_t hash) const;
  std::size_t findObject(const KyObject* object) const;
  void drop(std::size_t entry);
  void index(std::size_t entry, std::uint32_t hash);
  void rebuild(std::size_t capacity);

  // Two open-addressing indexes into entries_ (position + 1; kFree when
  // empty), probed linearly. A slot may still name an entry that was
  // dropped or reused; every probe checks the entry itself, and slots
  // are swept when the indexes are rebuilt.
  std::deque<Entry> entries_;
  std::vector<std::uint32_t> free_; // dropped entries, for reuse
  std::vector<std::uint32_t> byID_;
  std::vector<std::uint32_t> byObject_;
  std::size_t usedSlots_ = 0; // slots of byID_ (and of byObject_) not free
  int live_ = 0;
};
