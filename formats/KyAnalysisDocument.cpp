#include <kyformats/KyAnalysisDocument.h>

#include <kyformats/KyFormatText.h>
#include <kyformats/KyGraphReader.h>
#include <kyformats/KyInputFile.h>

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisXMLReader.h>
#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyBase64Encoder.h>
#include <kyplatform/KyBase64Source.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using KyFormatText::escaped;
using KyFormatText::toUtf8;

namespace {

/// How much of a text tells whether it may be an analysis document.
constexpr std::size_t kStart = 1 << 16;

/// Reads the document of `reader` into a fresh graph and `request`; the
/// graph goes to `graph` only when the whole document was read.
bool load(KyAnalysisXMLReader& reader, const std::string& where, std::unique_ptr<KyGraph>& graph,
          KyServiceInputData& request, std::string& error) {
  auto fresh = std::make_unique<KyGraph>();
  reader.pGraph(fresh.get());
  reader.pServiceInputData(&request);
  if (reader.read() == 0) {
    error = where + ": " + escaped(toUtf8(reader.pErrorMessage()));
    return false;
  }
  graph = std::move(fresh);
  return true;
}

/// Whether the start of a text can begin an analysis document; if not,
/// `error` says what the text looks like instead.
bool mayBeDocument(std::string_view start, const std::string& where, std::string& error) {
  const KyGraphFormat format = KyGraphReader::formatOf(start);
  std::size_t first = start.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  first = start.find_first_not_of(" \t\r\n", first);
  if (first == std::string_view::npos) {
    error = where + ": empty, not an analysis document";
    return false;
  }
  if (format == KyGraphFormat::graphML) {
    error = where + ": GraphML, not an analysis document; --graph reads it";
    return false;
  }
  if (start[first] != '<') {
    error = where + ": not XML, so not an analysis document; --graph reads an edge list";
    return false;
  }
  return true;
}

} // namespace

KyAnalysisDocument::KyAnalysisDocument() : graph(std::make_unique<KyGraph>()) {}

KyAnalysisDocument::~KyAnalysisDocument() = default;

bool KyAnalysisDocument::read(std::string_view bytes, const std::string& where,
                              std::string& error) {
  if (!mayBeDocument(bytes.substr(0, kStart), where, error))
    return false;
  if (bytes.size() > 0xffffffffu) {
    error = where + ": the document is too large";
    return false;
  }
  KyAnalysisXMLReader reader(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<unsigned int>(bytes.size()));
  return load(reader, where, graph, request, error);
}

bool KyAnalysisDocument::readFile(const std::string& path, std::string& error) {
  // A regular file goes to the reader by name, which reads it piece by
  // piece instead of holding it whole; anything else is read first.
  struct stat status {};
  std::wstring wide;
  if (path != "-" && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
      access(path.c_str(), R_OK) == 0 && KyFormatText::fromUtf8(path, wide)) {
    std::string start(kStart, '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    if (!mayBeDocument(start, KyInputFile::shownPath(path), error))
      return false;
    KyAnalysisXMLReader reader(wide.c_str());
    return load(reader, KyInputFile::shownPath(path), graph, request, error);
  }
  std::string bytes;
  return KyInputFile::read(path, bytes, error) && read(bytes, KyInputFile::shownPath(path), error);
}

bool KyAnalysisDocument::readBase64(std::istream& text, const std::string& where,
                                    std::string& error) {
  // Whatever else is wrong, text that is no base 64 is told as such; so the
  // text is read to its end before any other fault is told.
  const std::string notBase64 = where + ": not valid base 64";
  std::streambuf& characters = *text.rdbuf();
  auto bytes = std::make_unique<KyBase64Source>([&characters](char* into, std::size_t most) {
    return static_cast<std::size_t>(characters.sgetn(into, static_cast<std::streamsize>(most)));
  });
  std::string start(kStart, '\0');
  std::size_t length = 0;
  for (std::size_t got = 1; got != 0 && length < start.size(); length += got)
    if (!bytes->next(reinterpret_cast<unsigned char*>(start.data()) + length, start.size() - length,
                     got)) {
      error = notBase64;
      return false;
    }
  start.resize(length);
  if (!mayBeDocument(start, where, error)) {
    if (!bytes->restIsBase64())
      error = notBase64;
    return false;
  }
  // The start goes to the reader first, then the rest as it is decoded.
  std::size_t handed = 0;
  KyAnalysisXMLReader reader([&](unsigned char* into, std::size_t most, std::size_t& got) {
    if (handed == start.size())
      return bytes->next(into, most, got);
    got = std::min(most, start.size() - handed);
    std::memcpy(into, start.data() + handed, got);
    handed += got;
    return true;
  });
  if (load(reader, where, graph, request, error))
    return true;
  if (!bytes->restIsBase64())
    error = notBase64;
  return false;
}

bool KyAnalysisDocument::write(KyGraph* graph, KyServiceInputData& request, bool indenting,
                               const KyTopLevelXMLWriter::Pieces& pieces, std::string& error) {
  KyAnalysisXMLWriter writer(pieces, indenting ? 1 : 0, 0);
  writer.handingAsMade(1);
  writer.pGraph(graph);
  writer.pServiceInputData(&request);
  if (writer.write() != 0)
    return true;
  error = escaped(toUtf8(writer.pErrorMessage()));
  return false;
}

bool KyAnalysisDocument::writeFile(KyGraph* graph, KyServiceInputData& request,
                                   const std::string& path, std::string& error) {
  std::ofstream file;
  const auto piece = [&](const unsigned char* bytes, std::size_t length) {
    if (!file.is_open())
      file.open(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
  };
  if (!write(graph, request, true, piece, error)) {
    error = KyInputFile::shownPath(path) + ": " + error;
    return false;
  }
  file.close();
  if (!file) {
    error = KyInputFile::shownPath(path) + ": cannot be written";
    return false;
  }
  return true;
}

bool KyAnalysisDocument::writeBase64(std::ostream& out, std::string& error) {
  // Each piece's text is written as it comes.
  KyBase64Encoder encoder;
  std::vector<unsigned char> text;
  const auto piece = [&](const unsigned char* bytes, std::size_t length) {
    text.resize(KyBase64Encoder::encodedLength(length));
    const unsigned char* end = encoder.add(bytes, length, text.data());
    out.write(reinterpret_cast<const char*>(text.data()), end - text.data());
  };
  // As a request travels: on one line, with the graph the request names.
  auto* named = dynamic_cast<KyGraph*>(request.pValue(nullptr, KyAnalysisKey::all::noneGraph));
  if (!write(named, request, false, piece, error))
    return false;
  unsigned char last[4];
  out.write(reinterpret_cast<const char*>(last), encoder.finish(last) - last);
  return true;
}
