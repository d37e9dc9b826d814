// KyOwningDList: a list that owns the objects it holds.
#pragma once

#include <kyplatform/KyDList.h>

/// A KyDList that releases each of its objects once when it goes: a list
/// of lists in an answer, which the answer's store owns and frees with the
/// inner lists. Destruction costs O(length). Not copyable.
class KYPLATFORM_EXPORT KyOwningDList : public KyDList {
public:
  KyOwningDList() = default;
  ~KyOwningDList() override;

  static KyOwningDList* castDown(const KyObject* object) {
    return static_cast<KyOwningDList*>(const_cast<KyObject*>(object));
  }
};
