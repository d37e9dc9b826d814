// KyColumnNames: the options the columns of a graph file are read as, and
// the note on those no option is named after.
#pragma once

#include <kyformats/KyGraphReadOptions.h>
#include <kyformats/KyValueColumn.h>

#include <string>
#include <vector>

/// Names the columns of one file after options, as the read options map
/// them, and keeps those it leaves out for note(). O(log k) a name for k
/// mapped columns.
class KyColumnNames {
public:
  enum class Outcome { option, ignored, refused };

  /// `what` names the columns in messages: "column" or "key".
  KyColumnNames(const KyGraphReadOptions& options, const char* what)
      : options_(options), what_(what) {}

  /// What the column `name` of `scope` ("node" or "edge") is read as: the
  /// option the mapping gives it, else the option of its name in any case;
  /// `column` then gets the option's name, kind and the scale. Ignored, and
  /// kept for note(), when no option has its name; refused, with one line
  /// in `error`, when it is mapped to an option `scope` lacks.
  Outcome resolve(const std::string& scope, const std::string& name, KyValueColumn& column,
                  std::string& error);
  /// Keeps a column that no option has the name of, for note().
  void ignore(const std::string& scope, const std::string& name);
  /// "WHERE: ignored, as no option has their names: edge column 'Id', ...
  /// (--column OPTION=NAME reads one as an option)", or "" when no column
  /// was ignored.
  std::string note(const std::string& where) const;

  /// `text` with ASCII letters in lower case.
  static std::string lowered(std::string text);

private:
  const KyGraphReadOptions& options_;
  const char* what_;
  std::vector<std::string> ignored_;
};
