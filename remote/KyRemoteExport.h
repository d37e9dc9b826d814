// Symbol export of the remote service client library. Every public class of
// kyremote is declared with KYREMOTE_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYREMOTE_BUILDING)
#define KYREMOTE_EXPORT __declspec(dllexport)
#else
#define KYREMOTE_EXPORT __declspec(dllimport)
#endif
#else
#define KYREMOTE_EXPORT __attribute__((visibility("default")))
#endif
