// Text: the formats library's text helpers under the tool's namespace,
// where its commands call them unqualified.
#pragma once

#include <kyformats/KyFormatText.h>
#include <kyformats/KyInputFile.h>

namespace kyanalyze {

using KyFormatText::escaped;
using KyFormatText::fromUtf8;
using KyFormatText::toUtf8;
using KyInputFile::sameFile;
using KyInputFile::shownPath;

} // namespace kyanalyze
