#!/usr/bin/env bash
# Quick start, second command: installs what is missing, checks that the
# sources are formatted, then builds and runs every test twice, in a plain
# build and under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (any report fails the run; the Python
# package's tests run in the plain build), the server and
# remote tests a third time under ThreadSanitizer, and finally installs the
# libraries and builds an outside project on them.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
jobs=$(nproc)

echo "== formatting =="
tools/check-format.sh

echo "== plain build =="
cmake -S . -B build-test -G Ninja -DKY_WERROR=ON -DKY_BUILD_BENCH=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test -j "$jobs" --output-on-failure

echo "== sanitizer build =="
cmake -S . -B build-sanitize -G Ninja -DKY_WERROR=ON -DKY_SANITIZE=ON -DKY_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-sanitize -j "$jobs" --output-on-failure

echo "== thread sanitizer =="
# The server and its client run many threads: their tests run once more,
# built (only what they need) with ThreadSanitizer; any report fails the run
# but those tests/tsan.supp explains.
cmake -S . -B build-tsan -G Ninja -DKY_WERROR=ON -DKY_SANITIZE_THREAD=ON -DKY_BUILD_BENCH=OFF \
  -DKY_BUILD_TOOLS=OFF -DKY_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target server_tests remote_tests
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp" \
  ctest --test-dir build-tsan -L threads -j "$jobs" --output-on-failure

echo "== fuzzing =="
# The harnesses, everything built with clang and instrumented, run for a
# short while on a copy of their seed corpus; any crash, leak or hang fails.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKY_BUILD_FUZZERS=ON \
  -DKY_BUILD_TESTS=OFF -DKY_BUILD_BENCH=OFF -DKY_BUILD_TOOLS=OFF -DKY_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target serializer_fuzzer constraint_reader_fuzzer \
  answer_reader_fuzzer
fuzz_corpus=$(mktemp -d)
for harness in serializer_fuzzer constraint_reader_fuzzer answer_reader_fuzzer; do
  mkdir -p "$fuzz_corpus/$harness"
  limit=()
  if [ "$harness" = constraint_reader_fuzzer ]; then limit=(-max_len=512); fi
  "build-fuzz/tests/fuzz/$harness" "$fuzz_corpus/$harness" "tests/fuzz/corpus/$harness" \
    -dict=tests/fuzz/xml.dict -max_total_time=45 -timeout=60 -artifact_prefix="$fuzz_corpus/" \
    "${limit[@]}" -print_final_stats=1 2>&1 | grep -E '^(stat::number_of_executed_units|SUMMARY)' || true
  if ls "$fuzz_corpus"/crash-* "$fuzz_corpus"/leak-* "$fuzz_corpus"/timeout-* >/dev/null 2>&1; then
    echo "$harness found a fault; its inputs are in $fuzz_corpus"
    exit 1
  fi
done
rm -rf "$fuzz_corpus"

echo "== install and consume =="
# The libraries and kyanalyze go into a prefix outside the system paths; the
# programs there must run without LD_LIBRARY_PATH.
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build-test --prefix "$prefix" >/dev/null
"$prefix/bin/kyanalyze" describe shortestPaths >/dev/null
# The installed Python package imports from the prefix's site folder and
# answers there, finding the libraries in lib/.
PYTHONPATH=$(echo "$prefix"/lib/python3*/dist-packages) /usr/bin/python3 -c \
  'import kyanalysis as ky, networkx as nx
assert ky.run("shortestPaths", nx.path_graph(3), startNode=0, finishNode=2).total_cost == 2'
cmake -S tests/consumer -B "$prefix/consumer-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/consumer-build"
"$prefix/consumer-build/consumer"
"$prefix/consumer-build/consumer_engine"
"$prefix/consumer-build/consumer_formats"
# The installed service on a free loopback port answers the remote consumer.
"$prefix/bin/kyanalyze" serve --listen 127.0.0.1:0 --threads 1 2>"$prefix/serve.log" &
service=$!
trap 'kill "$service" 2>/dev/null || true; rm -rf "$prefix"' EXIT
for _ in $(seq 100); do
  url=$(grep -o 'http://[0-9.:]*' "$prefix/serve.log" || true)
  [[ -n "$url" ]] && break
  sleep 0.1
done
"$prefix/consumer-build/consumer_remote" "$url"
# The same programs through pkg-config, for builds without CMake.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
c++ tests/consumer/main.cpp -o "$prefix/consumer-pc" $(pkg-config --cflags --libs kyanalysis)
c++ -DKY_CONSUMER_ENGINE tests/consumer/main.cpp -o "$prefix/consumer-engine-pc" \
  $(pkg-config --cflags --libs kyengine)
c++ -DKY_CONSUMER_REMOTE tests/consumer/main.cpp -o "$prefix/consumer-remote-pc" \
  $(pkg-config --cflags --libs kyremote)
# One finds the libraries through the path built in, as README says.
c++ tests/consumer/formats.cpp -o "$prefix/consumer-formats-pc" \
  $(pkg-config --cflags --libs kyformats) -Wl,-rpath,"$(pkg-config --variable=libdir kyformats)"
LD_LIBRARY_PATH="$prefix/lib" "$prefix/consumer-pc"
LD_LIBRARY_PATH="$prefix/lib" "$prefix/consumer-engine-pc"
"$prefix/consumer-formats-pc"
LD_LIBRARY_PATH="$prefix/lib" "$prefix/consumer-remote-pc" "$url"
# A server of the consumer's own, on a free loopback port, answers it.
"$prefix/consumer-build/consumer_server"
c++ -DKY_CONSUMER_SERVER tests/consumer/main.cpp -o "$prefix/consumer-server-pc" \
  $(pkg-config --cflags --libs kyserver kyremote)
LD_LIBRARY_PATH="$prefix/lib" "$prefix/consumer-server-pc"
kill "$service"
wait "$service"
echo "1 passed, 0 failed: installed package consumed through CMake and pkg-config"
