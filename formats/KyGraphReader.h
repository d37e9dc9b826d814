// KyGraphReader: a graph with its names and per-node and per-edge values
// from a file, a stream or a text, whatever the format.
#pragma once

#include <kyformats/KyFormatsExport.h>
#include <kyformats/KyGraphData.h>
#include <kyformats/KyGraphReadOptions.h>

#include <iosfwd>
#include <string>
#include <string_view>

/// Reads graphs in every format the library knows (KyEdgeListReader,
/// KyGraphMLReader, KyAnalysisDocument), chosen as the options say, and
/// node tables beside them. Every read either succeeds, `data` then holding
/// what was read, or fails with one line in `error` saying where and why,
/// `data` then as it was. Holds only its options; reads may run on many
/// threads at once, but for GraphML (see KyGraphMLReader).
class KYFORMATS_EXPORT KyGraphReader {
public:
  explicit KyGraphReader(const KyGraphReadOptions& options = KyGraphReadOptions());

  /// Reads the file `path` ("-": standard input); messages name it. A
  /// format to detect is told by the content, never by the name. An edge
  /// list is read in pieces of 256 KiB, so that its text is never held
  /// whole (KyEdgeListReader); XML is read whole.
  bool readFile(const std::string& path, KyGraphData& data, std::string& error) const;
  /// Reads all of `in`; `where` names it in messages. A format to detect is
  /// told by the content.
  bool readStream(std::istream& in, const std::string& where, KyGraphData& data,
                  std::string& error) const;
  /// Reads `text`; `where` names it in messages. A format to detect is told
  /// by the content.
  bool readText(std::string text, const std::string& where, KyGraphData& data,
                std::string& error) const;

  /// Reads the node table in the file `path` ("-": standard input) into
  /// `data`, as KyEdgeListReader::readNodeTable().
  bool readNodeTableFile(const std::string& path, KyGraphData& data, std::string& error) const;

  /// The format `bytes` holds, told by their start: XML whose root element
  /// is "graphml" (in any namespace) is GraphML, other XML an analysis
  /// document, anything else an edge list. O(length of the XML prologue).
  static KyGraphFormat formatOf(std::string_view bytes);
  /// "an edge list", "GraphML" or "an analysis document", for messages.
  static const char* formatName(KyGraphFormat format);

private:
  bool read(std::string bytes, const std::string& where, KyGraphFormat format, KyGraphData& data,
            std::string& error) const;

  KyGraphReadOptions options_;
};
