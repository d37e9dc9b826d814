// KyServiceItemDescriptionManager: the descriptions of one side of a service.
#pragma once

#include <kyplatform/KyDList.h>

#include <string_view>
#include <unordered_map>

class KyServiceItemDescription;

/// Registry of descriptions, found by key in O(length of the key) and
/// listed in order of registration. The manager owns what it registers and
/// deletes it with itself. Not copyable.
class KYPLATFORM_EXPORT KyServiceItemDescriptionManager : public KyObject {
public:
  KyServiceItemDescriptionManager() = default;
  ~KyServiceItemDescriptionManager() override;
  KyServiceItemDescriptionManager(const KyServiceItemDescriptionManager&) = delete;
  KyServiceItemDescriptionManager& operator=(const KyServiceItemDescriptionManager&) = delete;

  /// Registers `description` and takes it; returns it. A null description,
  /// or one whose key is registered already, is not taken: the result is
  /// null and the caller keeps it.
  KyServiceItemDescription* pOption(KyServiceItemDescription* description);
  /// The description registered under `key`, or null.
  KyServiceItemDescription* pOption(const wchar_t* key) const;
  /// Every description, in order of registration.
  const KyDList* pDescriptionList() const { return &descriptions_; }

  static KyServiceItemDescriptionManager* castDown(const KyObject* object) {
    return static_cast<KyServiceItemDescriptionManager*>(const_cast<KyObject*>(object));
  }

private:
  KyDList descriptions_;
  std::unordered_map<std::wstring_view, KyServiceItemDescription*> byKey_;
};
