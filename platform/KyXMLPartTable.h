// KyXMLPartTable: the named parts of a composite XML reader or writer.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

class KyObject;

/// The parts of a composite document in order of registration, each a name
/// with the handler (reader or writer) and the object registered for it.
/// Handlers and objects are the caller's and are never freed here. A null
/// name registers nothing and finds nothing.
template <class Handler> class KyXMLPartTable {
public:
  struct Part {
    std::wstring name;
    Handler* handler;
    KyObject* object;
  };

  /// Registers `handler` for the part `name` (null unregisters it); returns
  /// it, or null for a null name.
  Handler* setHandler(const wchar_t* name, Handler* handler) {
    Part* registered = part(name);
    return registered != nullptr ? registered->handler = handler : nullptr;
  }
  /// The handler of the part `name`, or null.
  Handler* pHandler(const wchar_t* name) const {
    const Part* registered = findPart(name);
    return registered != nullptr ? registered->handler : nullptr;
  }
  /// Registers `object` as the target of the part `name`; returns it, or
  /// null for a null name.
  KyObject* setObject(const wchar_t* name, KyObject* object) {
    Part* registered = part(name);
    return registered != nullptr ? registered->object = object : nullptr;
  }
  /// As setObject(), and moves the part in front of every other.
  KyObject* setFirstObject(const wchar_t* name, KyObject* object) {
    Part* registered = part(name);
    if (registered == nullptr)
      return nullptr;
    registered->object = object;
    const auto at = parts_.begin() + (registered - parts_.data());
    std::rotate(parts_.begin(), at, at + 1);
    return object;
  }
  /// The object registered for the part `name`, or null.
  KyObject* pObject(const wchar_t* name) const {
    const Part* registered = findPart(name);
    return registered != nullptr ? registered->object : nullptr;
  }

  const std::vector<Part>& parts() const { return parts_; }

private:
  /// The part `name`, added empty at the end when there is none yet.
  Part* part(const wchar_t* name) {
    if (name == nullptr)
      return nullptr;
    for (Part& existing : parts_)
      if (existing.name == name)
        return &existing;
    parts_.push_back(Part{name, nullptr, nullptr});
    return &parts_.back();
  }
  const Part* findPart(const wchar_t* name) const {
    if (name == nullptr)
      return nullptr;
    const auto found = std::find_if(parts_.begin(), parts_.end(),
                                    [name](const Part& part) { return part.name == name; });
    return found != parts_.end() ? &*found : nullptr;
  }

  std::vector<Part> parts_;
};
