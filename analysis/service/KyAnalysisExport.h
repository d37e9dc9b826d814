// Symbol export of the analysis library. Every public class of kyanalysis is
// declared with KYANALYSIS_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYANALYSIS_BUILDING)
#define KYANALYSIS_EXPORT __declspec(dllexport)
#else
#define KYANALYSIS_EXPORT __declspec(dllimport)
#endif
#else
#define KYANALYSIS_EXPORT __attribute__((visibility("default")))
#endif
