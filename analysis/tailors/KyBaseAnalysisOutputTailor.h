// KyBaseAnalysisOutputTailor: the frame of every output tailor.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyDList.h>

class KyServiceOutputData;

/// Typed view on the results of one answered request.
///
/// A tailor refers to a service output data it does not own, holds no
/// other state and only reads. Results that are absent read as 0, null or
/// an empty list. Lists a builder copies out belong to the caller; the
/// stored results stay the output data's.
///
/// The protected helpers are the result patterns: every accessor of a
/// per-analysis tailor is a one-line call to one of them. Not copyable.
class KYANALYSIS_EXPORT KyBaseAnalysisOutputTailor : public KyObject {
public:
  /// Wraps `outputData`, which must outlive the tailor, and attaches a new
  /// KyAnalysisServiceName when it has no service name. A tailor on a null
  /// output data reads every result as absent.
  explicit KyBaseAnalysisOutputTailor(KyServiceOutputData* outputData);
  ~KyBaseAnalysisOutputTailor() override;
  KyBaseAnalysisOutputTailor(const KyBaseAnalysisOutputTailor&) = delete;
  KyBaseAnalysisOutputTailor& operator=(const KyBaseAnalysisOutputTailor&) = delete;

  KyServiceOutputData* pServiceOutputData() const { return outputData_; }

  void debugOutput(int) override {}

  static KyBaseAnalysisOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyBaseAnalysisOutputTailor*>(const_cast<KyObject*>(object));
  }

protected:
  // Result patterns.
  /// Scalar result getter: the integer under (null, key); 0 when absent.
  int scalarResult(const wchar_t* key) const { return memberResult(nullptr, key); }
  /// Node, edge or constraint result getter: the integer under (owner, key);
  /// 0 when absent.
  int memberResult(const KyObject* owner, const wchar_t* key) const;
  /// Object-valued result getter: the object under (owner, key); null when
  /// absent or not a T.
  template <class T> T* objectResult(const KyObject* owner, const wchar_t* key) const {
    return dynamic_cast<T*>(result(owner, key));
  }
  /// List result builder: empties `list` (cells only) and copies into it the
  /// cells of the list stored under (owner, key), in order. An absent result
  /// leaves `list` empty.
  void buildList(const KyObject* owner, const wchar_t* key, KyDList& list) const;
  /// List-of-lists result builder: empties `lists` and releases what it
  /// held, then appends one new list of class `Item` per list stored under
  /// (null, key), holding its cells in order. The caller owns the new lists.
  /// An absent result leaves `lists` empty.
  template <class Item> void buildListOfLists(const wchar_t* key, KyDList& lists) const {
    const KyDList* stored = prepareListOfLists(key, lists);
    for (KyDListIter it(stored); it; ++it) {
      auto* copy = new Item;
      if (const auto* item = dynamic_cast<const KyDList*>(it.pObject()))
        copy->copyAllCells(*item);
      lists.appendObject(copy);
    }
  }

  /// The object under (owner, key), or null.
  KyObject* result(const KyObject* owner, const wchar_t* key) const;

private:
  const KyDList* prepareListOfLists(const wchar_t* key, KyDList& lists) const;

  KyServiceOutputData* outputData_;
};
