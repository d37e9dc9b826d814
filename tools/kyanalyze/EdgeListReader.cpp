#include "EdgeListReader.h"

#include "Utf8.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyNode.h>

#include <charconv>
#include <fstream>
#include <map>
#include <sstream>

namespace kyanalyze {
namespace {

/// The line without its comment, split at blanks.
std::vector<std::string> fields(const std::string& line) {
  std::istringstream text(line.substr(0, line.find('#')));
  std::vector<std::string> result;
  for (std::string field; text >> field;)
    result.push_back(field);
  return result;
}

bool parseCost(const std::string& text, int& cost) {
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, cost);
  return failure == std::errc() && stop == end;
}

} // namespace

bool readEdgeList(const std::string& path, EdgeList& list, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  std::map<std::string, KyNode*> nodes;
  auto node = [&](const std::string& name) {
    KyNode*& found = nodes[name];
    if (found == nullptr) {
      std::wstring wide;
      fromUtf8(name, wide);
      found = list.graph->addNode();
      found->pName(wide.c_str());
    }
    return found;
  };

  int number = 0;
  for (std::string line; std::getline(file, line);) {
    const std::string where = path + ":" + std::to_string(++number) + ": ";
    std::wstring checked;
    if (!fromUtf8(line, checked)) {
      error = where + "not valid UTF-8 text";
      return false;
    }
    const std::vector<std::string> parts = fields(line);
    if (parts.size() > 3) {
      error = where + "expected 'source target [cost]', found " + std::to_string(parts.size()) +
              " fields";
      return false;
    }
    int cost = 0;
    if (parts.size() == 3 && !parseCost(parts[2], cost)) {
      error = where + "the cost '" + parts[2] + "' is not a 32-bit integer";
      return false;
    }
    if (parts.size() == 1)
      node(parts[0]);
    if (parts.size() >= 2) {
      KyNode* source = node(parts[0]);
      KyEdge* edge = list.graph->addEdge(source, node(parts[1]));
      if (parts.size() == 3)
        list.costs.emplace_back(edge, cost);
    }
  }
  if (file.bad()) {
    error = path + ": cannot be read";
    return false;
  }
  return true;
}

} // namespace kyanalyze
