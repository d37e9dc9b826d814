#include <kyanalysis/KyObjectTable.h>

#include "KyXMLText_p.h"

KyObjectTable::~KyObjectTable() = default;

const wchar_t* KyObjectTable::pID(const KyObject* object) const {
  const auto found = byObject_.find(object);
  return found != byObject_.end() ? found->second.c_str() : nullptr;
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
  const std::wstring_view wanted(id);
  const auto [named, fresh] = byObject_.try_emplace(object);
  if (!fresh) {
    if (named->second == wanted)
      return 1;
    byID_.erase(named->second);
  }
  if (const auto former = byID_.find(wanted); former != byID_.end()) {
    // The view goes before the text it views.
    const KyObject* formerObject = former->second;
    byID_.erase(former);
    byObject_.erase(formerObject);
  }
  named->second.assign(wanted);
  byID_.emplace(named->second, object);
  return 1;
}

void KyObjectTable::merge(const KyObjectTable& other) {
  if (&other == this)
    return;
  for (const auto& [object, id] : other.byObject_)
    setID(id.c_str(), const_cast<KyObject*>(object));
}

void KyObjectTable::clear() {
  byID_.clear();
  byObject_.clear();
}

int KyObjectTable::validID(const wchar_t* id) {
  if (id == nullptr || *id == 0)
    return 0;
  for (const wchar_t* c = id; *c != 0; ++c)
    if (KyXMLText::isSpace(*c))
      return 0;
  return 1;
}
