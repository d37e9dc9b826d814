// KyAnalysisSerializer: an analysis request as a base-64 byte string and back.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KySerializer.h>

#include <string>

/// Turns a request (the input data with the graph stored under
/// "all:none:graph") into the base 64 of its analysis document
/// (KyAnalysisXMLWriter, part "analysis", one line, every value written),
/// and such a string back into a request on a new graph; and an answer (the
/// output data) into the base 64 of its answer document (part "answer" and
/// a "graph" part with the path graph of a sorted-paths answer) and back.
///
/// A service call shares identifiers through two object tables: the client
/// writes the request with a table, the service reads it with a fresh one,
/// answers with that table, and the client reads the answer with its own,
/// so that the answer's results land on the client's graph, nodes and
/// edges. With a table, writing and reading a request also name the
/// request's clustering constraints in it ("c0", "c1", ... in the order of
/// their managers' graphs and lists, skipping identifiers the table gives
/// other objects), so that results on constraints travel too.
///
/// Strings are untrusted input: whatever one holds, reading either succeeds
/// or changes nothing. The analysis service name owns the instance it hands
/// out. Stateless; copies are interchangeable.
class KYANALYSIS_EXPORT KyAnalysisSerializer : public KySerializer {
public:
  KyAnalysisSerializer() = default;
  KyAnalysisSerializer(const KyAnalysisSerializer&) = default;
  KyAnalysisSerializer& operator=(const KyAnalysisSerializer&) = default;
  ~KyAnalysisSerializer() override;

  /// Reads the zero-terminated base-64 text `bytes` into `data`, together
  /// with a new graph made from the document's graph part. Attaches a
  /// KyAnalysisServiceName to `data` when it has none. Identifiers resolve
  /// through `table` (may be null), which gets the document's identifiers
  /// on success.
  ///
  /// Returns 1 on success: the new graph is then stored under
  /// "all:none:graph" as a reference, and the caller owns it and must
  /// delete it after the request is done with it (the request's options
  /// refer to it and its members). Returns 0 when `bytes` or `data` is
  /// null, the text is not canonical base 64, or the document cannot be
  /// read (malformed, a document type declaration, wrong root or parts,
  /// unknown keys, dangling or mistyped references, values of the wrong
  /// type): then `data` and `table` are exactly as they were and nothing is
  /// kept. Cost O(length of the text) plus the read.
  int pInputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                           KyServiceInputData* data) const override;
  /// As above; when it returns 0, `reason` holds one line saying why (the
  /// text is not base 64, or why its document cannot be read), for a
  /// service to pass on to the sender.
  int pInputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                           KyServiceInputData* data, std::wstring& reason) const;
  /// Writes `data` and its graph as a new zero-terminated base-64 string
  /// into `bytes` and its length into `*length`; the caller frees it with
  /// delete[]. Attaches a KyAnalysisServiceName to `data` when it has none.
  /// Identifiers come from `table` (may be null), which gets those the
  /// write made. Returns 1 when a string was made; 0, with `bytes` and
  /// `*length` untouched, when `data` or `length` is null or the document
  /// cannot be written (a value that does not fit its option, say). Cost
  /// O(size of the request).
  int pInputDataToString(KyServiceInputData* data, KyObjectTable* table, unsigned char*& bytes,
                         unsigned long* length) const override;

  /// Reads the zero-terminated base-64 text of an answer document into
  /// `data`, an answer, resolving the request's objects through `table`
  /// (which gets the document's identifiers on success). Attaches a
  /// KyAnalysisServiceName to `data` when it has none. On success the
  /// values are stored as KyServiceOutputDataXMLReader stores them, and a
  /// graph read from the "graph" part goes to the data, which owns it, under
  /// "sortedPaths:none:pathGraph" (also when the answer names another graph
  /// there, as long as it has members that results may refer to). Returns
  /// 0 when `bytes` or `data` is null, the text is not canonical base 64 or
  /// the document cannot be read (a request document, say); `data` and
  /// `table` are then exactly as they were. Cost O(length of the text)
  /// plus the read.
  int pOutputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                            KyServiceOutputData* data) const override;
  /// Writes the answer `data` and its path graph as a new zero-terminated
  /// base-64 string into `bytes` and its length into `*length`; the caller
  /// frees it with delete[]. The request's objects are named by `table`'s
  /// identifiers, those the write made are added to it. Attaches a
  /// KyAnalysisServiceName to `data` when it has none. Returns 1 when a
  /// string was made; 0, with `bytes` and `*length` untouched, when `data`
  /// or `length` is null or the answer cannot be written (a result that
  /// does not fit its description, an object without identifier). Cost
  /// O(size of the answer).
  int pOutputDataToString(KyServiceOutputData* data, KyObjectTable* table, unsigned char*& bytes,
                          unsigned long* length) const override;

  static KyAnalysisSerializer* castDown(const KyObject* object) {
    return static_cast<KyAnalysisSerializer*>(const_cast<KyObject*>(object));
  }
};
