// KyAnalysisDocument: a graph with a request, read from and written as an
// analysis document, as XML or as its base-64 form.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyTopLevelXMLWriter.h>

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

/// A request read from an analysis document, with the graph it brought. The
/// request refers to the graph, so the two live and go together. Reading
/// goes into fresh objects: a failed read leaves the document as it was.
/// Not copyable.
class KYFORMATS_EXPORT KyAnalysisDocument {
public:
  KyAnalysisDocument();
  ~KyAnalysisDocument();
  KyAnalysisDocument(const KyAnalysisDocument&) = delete;
  KyAnalysisDocument& operator=(const KyAnalysisDocument&) = delete;

  /// The graph, owned by the document; read() fills it.
  std::unique_ptr<KyGraph> graph;
  /// The request, referring to `graph`. Declared after it.
  KyServiceInputData request;

  /// Reads the analysis document in `bytes` into an empty document; `where`
  /// names the source in messages ("FILE" or "standard input"). False, with
  /// "WHERE: ..." in `error`, when it is no readable analysis document; for
  /// an empty text, GraphML or text that is no XML the message says so.
  bool read(std::string_view bytes, const std::string& where, std::string& error);
  /// The same for the file `path` ("-": standard input). A regular file is
  /// read piece by piece instead of whole.
  bool readFile(const std::string& path, std::string& error);
  /// The same for the base-64 form of a document, a request as it travels,
  /// read from `text` to its end: the text is decoded as it is read, and
  /// neither it nor the document is held whole. False, with "WHERE: not
  /// valid base 64" in `error`, for text that is no base 64, whatever else
  /// is wrong with it.
  bool readBase64(std::istream& text, const std::string& where, std::string& error);

  /// Writes `graph` with `request` as an analysis document: indented, as
  /// files are laid out, or on one line, as requests travel. The text goes
  /// to `pieces` in order as it is made, once the document was found
  /// writable, and is never held whole. False, with the writer's message in
  /// `error` and nothing handed to `pieces`, when the request cannot be
  /// written.
  static bool write(KyGraph* graph, KyServiceInputData& request, bool indenting,
                    const KyTopLevelXMLWriter::Pieces& pieces, std::string& error);
  /// Writes the document indented into the file `path`, which is made only
  /// once the document was. False, with "PATH: ..." in `error`, when the
  /// request or the file cannot be written.
  static bool writeFile(KyGraph* graph, KyServiceInputData& request, const std::string& path,
                        std::string& error);
  /// Writes this document's request, with the graph the request names, on
  /// one line in base 64 to `out`, piece by piece as it is made (no line
  /// break at the end). False, with the writer's message in `error`, when
  /// the request cannot be written; `out` then holds nothing of it.
  bool writeBase64(std::ostream& out, std::string& error);
};
