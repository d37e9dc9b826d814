#include "Document.h"

#include "InputFile.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace kyanalyze {

namespace {
/// Reads the document of `reader` into `request`.
bool load(KyAnalysisXMLReader& reader, const std::string& where, LoadedRequest& request,
          std::string& error) {
  reader.pGraph(request.graph.get());
  reader.pServiceInputData(&request.data);
  if (reader.read() != 0)
    return true;
  error = where + ": " + escaped(toUtf8(reader.pErrorMessage()));
  return false;
}
} // namespace

bool loadRequest(std::string_view bytes, const std::string& where, LoadedRequest& request,
                 std::string& error) {
  if (bytes.size() > 0xffffffffu) {
    error = where + ": the document is too large";
    return false;
  }
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<unsigned int>(bytes.size()));
  return load(reader, where, request, error);
}

bool loadRequestFile(const std::string& path, LoadedRequest& request, std::string& error) {
  // A regular file goes to the reader by name, which reads it piece by
  // piece instead of holding it whole; anything else is read first.
  struct stat status {};
  std::wstring wide;
  if (path != "-" && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
      access(path.c_str(), R_OK) == 0 && fromUtf8(path, wide)) {
    KyAnalysisXMLReader reader(wide.c_str());
    return load(reader, shownPath(path), request, error);
  }
  std::string bytes;
  return readInput(path, bytes, error) && loadRequest(bytes, shownPath(path), request, error);
}

bool writeDocument(KyGraph* graph, KyServiceInputData& data, bool indenting,
                   const KyTopLevelXMLWriter::Pieces& pieces, std::string& error) {
  KyAnalysisXMLWriter writer(pieces, indenting ? 1 : 0, 0);
  writer.pGraph(graph);
  writer.pServiceInputData(&data);
  if (writer.write() != 0)
    return true;
  error = escaped(toUtf8(writer.pErrorMessage()));
  return false;
}

} // namespace kyanalyze
