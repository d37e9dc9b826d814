// Symbol export of the formats library. Every public class and function of
// kyformats is declared with KYFORMATS_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYFORMATS_BUILDING)
#define KYFORMATS_EXPORT __declspec(dllexport)
#else
#define KYFORMATS_EXPORT __declspec(dllimport)
#endif
#else
#define KYFORMATS_EXPORT __attribute__((visibility("default")))
#endif
