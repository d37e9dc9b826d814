#include "Document.h"

#include "InputFile.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>

#include <memory>

namespace kyanalyze {

bool loadRequest(const std::string& bytes, const std::string& where, LoadedRequest& request,
                 std::string& error) {
  if (bytes.size() > 0xffffffffu) {
    error = where + ": the document is too large";
    return false;
  }
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<unsigned int>(bytes.size()));
  reader.pGraph(request.graph.get());
  reader.pServiceInputData(&request.data);
  if (reader.read() != 0)
    return true;
  error = where + ": " + escaped(toUtf8(reader.pErrorMessage()));
  return false;
}

bool loadRequestFile(const std::string& path, LoadedRequest& request, std::string& error) {
  std::string bytes;
  return readInput(path, bytes, error) && loadRequest(bytes, shownPath(path), request, error);
}

bool documentText(KyGraph& graph, KyServiceInputData& data, std::string& text, std::string& error) {
  unsigned char* buffer = nullptr;
  KyAnalysisXMLWriter writer(&buffer, 1, 0);
  writer.pGraph(&graph);
  writer.pServiceInputData(&data);
  const int written = writer.write();
  const std::unique_ptr<unsigned char[]> owned(buffer);
  if (written == 0) {
    error = escaped(toUtf8(writer.pErrorMessage()));
    return false;
  }
  text.assign(reinterpret_cast<const char*>(buffer), writer.outputSize());
  return true;
}

} // namespace kyanalyze
