// Document: analysis documents (a graph with a request) read and written.
#pragma once

#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyTopLevelXMLWriter.h>

#include <memory>
#include <string>
#include <string_view>

namespace kyanalyze {

/// A request loaded from an analysis document, with the graph it brought.
struct LoadedRequest {
  std::unique_ptr<KyGraph> graph{new KyGraph};
  KyServiceInputData data;
};

/// Reads the analysis document in `bytes` into `request`; `where` names the
/// source ("FILE" or "standard input"). False, with "WHERE: ..." in
/// `error`, when it is no readable analysis document.
bool loadRequest(std::string_view bytes, const std::string& where, LoadedRequest& request,
                 std::string& error);
/// The same for the file `path` ("-": standard input).
bool loadRequestFile(const std::string& path, LoadedRequest& request, std::string& error);

/// Writes `graph` with the request `data` as an analysis document:
/// indented, as files are laid out, or on one line, as requests travel.
/// The text goes to `pieces` in order once the whole document was made,
/// and is never copied into one array. False, with the writer's message in
/// `error` and nothing handed to `pieces`, when the request cannot be
/// written.
bool writeDocument(KyGraph* graph, KyServiceInputData& data, bool indenting,
                   const KyTopLevelXMLWriter::Pieces& pieces, std::string& error);

} // namespace kyanalyze
