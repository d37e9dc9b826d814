#include <kyformats/KyGraphReader.h>

#include <kyformats/KyEdgeListReader.h>
#include <kyformats/KyGraphMLReader.h>
#include <kyformats/KyInputFile.h>
#include <kyformats/KyInputPieces.h>

#include <algorithm>
#include <istream>
#include <iterator>

namespace {

/// The root element's name of an XML text, or "" when the text does not
/// start like XML (after a byte-order mark and blanks).
std::string xmlRoot(std::string_view bytes) {
  std::size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  at = bytes.find_first_not_of(" \t\r\n", at);
  if (at == std::string::npos || bytes[at] != '<')
    return "";
  // Skip the declaration, comments and processing instructions.
  for (;;) {
    at = bytes.find('<', at);
    if (at == std::string::npos)
      return "";
    if (bytes.compare(at, 2, "<?") == 0 || bytes.compare(at, 2, "<!") == 0) {
      at = bytes.find('>', at);
      continue;
    }
    const std::size_t end = bytes.find_first_of(" \t\r\n/>", at + 1);
    std::string name(bytes.substr(at + 1, end == std::string::npos ? 0 : end - at - 1));
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
  }
}

} // namespace

KyGraphReader::KyGraphReader(const KyGraphReadOptions& options) : options_(options) {}

bool KyGraphReader::readFile(const std::string& path, KyGraphData& data, std::string& error) const {
  // An edge list is read in pieces, so that the file's text is never held
  // whole; XML, told by its first byte, is read whole.
  constexpr std::size_t kPiece = 1 << 18;
  KyInputPieces input;
  if (!input.open(path, error))
    return false;
  std::string bytes;
  bool more = true;
  std::size_t first = std::string::npos; // the first byte that is not blank
  for (std::size_t searched = 0; more && first == std::string::npos;) {
    std::string failure;
    more = input.next(bytes, kPiece, failure);
    if (!failure.empty()) {
      error = failure;
      return false;
    }
    if (bytes.size() < 3 && more)
      continue; // too short to tell a byte-order mark
    if (searched == 0 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
      searched = 3;
    first = bytes.find_first_not_of(" \t\r\n", searched);
    searched = bytes.size();
  }
  const std::string where = KyInputFile::shownPath(path);
  const bool edgeList = options_.format == KyGraphFormat::edgeList ||
                        (options_.format == KyGraphFormat::detect && first != std::string::npos &&
                         bytes[first] != '<');
  if (edgeList && more)
    return KyEdgeListReader(options_).read(
        std::move(bytes),
        [&input](std::string& text, std::string& failure) {
          return input.next(text, kPiece, failure);
        },
        where, data, error);
  // The rest into a buffer sized to the file (one byte to spare, so that
  // the read which meets the end finds room left): it never grows past it.
  bytes.reserve(std::max(bytes.size(), input.size()) + 1);
  while (more) {
    std::string failure;
    more = input.next(
        bytes, bytes.capacity() > bytes.size() ? bytes.capacity() - bytes.size() : kPiece, failure);
    if (!failure.empty()) {
      error = failure;
      return false;
    }
  }
  return read(std::move(bytes), where, options_.format, data, error);
}

bool KyGraphReader::readStream(std::istream& in, const std::string& where, KyGraphData& data,
                               std::string& error) const {
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    error = where + ": cannot be read";
    return false;
  }
  return readText(std::move(text), where, data, error);
}

bool KyGraphReader::readText(std::string text, const std::string& where, KyGraphData& data,
                             std::string& error) const {
  return read(std::move(text), where, options_.format, data, error);
}

bool KyGraphReader::readNodeTableFile(const std::string& path, KyGraphData& data,
                                      std::string& error) const {
  std::string table;
  return KyInputFile::read(path, table, error) &&
         KyEdgeListReader(options_).readNodeTable(std::move(table), KyInputFile::shownPath(path),
                                                  data, error);
}

KyGraphFormat KyGraphReader::formatOf(std::string_view bytes) {
  const std::string root = xmlRoot(bytes);
  return root == "graphml" ? KyGraphFormat::graphML
         : !root.empty()   ? KyGraphFormat::analysisDocument
                           : KyGraphFormat::edgeList;
}

const char* KyGraphReader::formatName(KyGraphFormat format) {
  switch (format) {
  case KyGraphFormat::edgeList:
    return "an edge list";
  case KyGraphFormat::graphML:
    return "GraphML";
  case KyGraphFormat::analysisDocument:
    return "an analysis document";
  default:
    return "a graph";
  }
}

bool KyGraphReader::read(std::string bytes, const std::string& where, KyGraphFormat format,
                         KyGraphData& data, std::string& error) const {
  if (format == KyGraphFormat::detect)
    format = formatOf(bytes);
  switch (format) {
  case KyGraphFormat::graphML:
    return KyGraphMLReader(options_).read(bytes, where, data, error);
  case KyGraphFormat::analysisDocument: {
    KyGraphData made;
    made.document = std::make_unique<KyAnalysisDocument>();
    if (!made.document->read(bytes, where, error))
      return false;
    made.graph = std::move(made.document->graph);
    data = std::move(made);
    return true;
  }
  default:
    return KyEdgeListReader(options_).read(std::move(bytes), where, data, error);
  }
}
