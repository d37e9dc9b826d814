// Symbol export of the server library. Every public class of kyserver is
// declared with KYSERVER_EXPORT; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(KYSERVER_BUILDING)
#define KYSERVER_EXPORT __declspec(dllexport)
#else
#define KYSERVER_EXPORT __declspec(dllimport)
#endif
#else
#define KYSERVER_EXPORT __attribute__((visibility("default")))
#endif
