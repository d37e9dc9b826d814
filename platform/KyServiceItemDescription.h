// KyServiceItemDescription and its two kinds: option and result descriptions.
#pragma once

#include <kyplatform/KyObject.h>

#include <string>

class KyHashMap;

/// Describes one option or result of a service: its key, the type of the
/// object that owns it ("none", "KyGraph", "KyNode", "KyEdge", ...) and the
/// type of its value ("Integer", "Boolean", "Double", "KyNode", ...). The
/// description keeps copies of its texts, packed in one allocation: services
/// make whole sets of descriptions at once. Not copyable.
class KYPLATFORM_EXPORT KyServiceItemDescription : public KyObject {
public:
  KyServiceItemDescription(const KyServiceItemDescription&) = delete;
  KyServiceItemDescription& operator=(const KyServiceItemDescription&) = delete;

  const wchar_t* pKey() const { return texts_.c_str(); }
  const wchar_t* pOwnerType() const { return texts_.c_str() + ownerTypeAt_; }
  const wchar_t* pValueType() const { return texts_.c_str() + valueTypeAt_; }
  /// A free explanation for people, or null when there is none.
  const wchar_t* pExplanation() const {
    return explanationAt_ != 0 ? texts_.c_str() + explanationAt_ : nullptr;
  }

  static KyServiceItemDescription* castDown(const KyObject* object) {
    return static_cast<KyServiceItemDescription*>(const_cast<KyObject*>(object));
  }

protected:
  /// Null texts are kept as empty texts, but for the explanation, which
  /// stays null.
  KyServiceItemDescription(const wchar_t* key, const wchar_t* ownerType, const wchar_t* valueType,
                           const wchar_t* explanation);

private:
  // The key, owner type, value type and explanation, each ending in a zero;
  // an explanation at 0 stands for none.
  std::wstring texts_;
  std::size_t ownerTypeAt_;
  std::size_t valueTypeAt_;
  std::size_t explanationAt_;
};

/// Describes an option: adds whether a request must set it, whether it
/// belongs to one analysis rather than to every request, the map of
/// symbolic names to codes for enumerated options, and the default value.
/// The description owns its map and its default value.
class KYPLATFORM_EXPORT KyServiceOptionDescription : public KyServiceItemDescription {
public:
  /// `required` 1: a request must hold a value (there is no default to fall
  /// back on). `specific` 1: the option belongs to one analysis. The
  /// description takes `enumeration` (text names to KyInt codes) and
  /// `defaultValue`; either may be null.
  KyServiceOptionDescription(const wchar_t* key, const wchar_t* ownerType, const wchar_t* valueType,
                             const wchar_t* explanation, int required, int specific,
                             KyHashMap* enumeration, KyObject* defaultValue);
  ~KyServiceOptionDescription() override;

  int required() const { return required_; }
  int specific() const { return specific_; }
  /// Names to codes, or null when the option is not enumerated.
  KyHashMap* pEnumeration() const { return enumeration_; }
  /// The value a request without one falls back on, or null.
  KyObject* pDefaultValue() const { return defaultValue_; }

  static KyServiceOptionDescription* castDown(const KyObject* object) {
    return static_cast<KyServiceOptionDescription*>(const_cast<KyObject*>(object));
  }

private:
  int required_;
  int specific_;
  KyHashMap* enumeration_;
  KyObject* defaultValue_;
};

/// Describes a result: key, owner type and value type only.
class KYPLATFORM_EXPORT KyServiceResultDescription : public KyServiceItemDescription {
public:
  KyServiceResultDescription(const wchar_t* key, const wchar_t* ownerType, const wchar_t* valueType,
                             const wchar_t* explanation)
      : KyServiceItemDescription(key, ownerType, valueType, explanation) {}

  static KyServiceResultDescription* castDown(const KyObject* object) {
    return static_cast<KyServiceResultDescription*>(const_cast<KyObject*>(object));
  }
};
