#include <kyanalysis/KyObjectTable.h>

#include "KyXMLText_p.h"

KyObjectTable::~KyObjectTable() = default;

const wchar_t* KyObjectTable::pID(const KyObject* object) const {
  const auto found = byObject_.find(object);
  return found != byObject_.end() ? found->second->c_str() : nullptr;
}

KyObject* KyObjectTable::pObject(const wchar_t* id) const {
  if (id == nullptr)
    return nullptr;
  const auto found = byID_.find(id);
  return found != byID_.end() ? found->second : nullptr;
}

int KyObjectTable::setID(const wchar_t* id, KyObject* object) {
  if (object == nullptr || !validID(id))
    return 0;
  if (const auto former = byObject_.find(object); former != byObject_.end()) {
    if (*former->second == id)
      return 1;
    byID_.erase(*former->second);
    byObject_.erase(former);
  }
  const auto [entry, added] = byID_.try_emplace(id, object);
  if (!added) {
    byObject_.erase(entry->second);
    entry->second = object;
  }
  byObject_[object] = &entry->first;
  return 1;
}

void KyObjectTable::merge(const KyObjectTable& other) {
  if (&other == this)
    return;
  for (const auto& [id, object] : other.byID_)
    setID(id.c_str(), object);
}

void KyObjectTable::clear() {
  byObject_.clear();
  byID_.clear();
}

int KyObjectTable::validID(const wchar_t* id) {
  if (id == nullptr || *id == 0)
    return 0;
  for (const wchar_t* c = id; *c != 0; ++c)
    if (KyXMLText::isSpace(*c))
      return 0;
  return 1;
}
