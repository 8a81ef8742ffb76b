#!/bin/sh
# Builds the printer library's tests and the fuzz targets (telnet codec,
# virtual printer's interpreter, report files, money texts) once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-asan/, and runs them. Any report fails.
set -e
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan -j"$(nproc)" --target lumora_tests telnet_codec_fuzz interpreter_fuzz report_file_fuzz money_fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Loading the library into a fresh link-map namespace (dlmopen) would bring
# a second sanitizer runtime; that one test runs in the normal build only.
build-asan/bin/lumora_tests --gtest_filter=-LumoraInitialState.*
build-asan/bin/telnet_codec_fuzz -runs=200000
build-asan/bin/interpreter_fuzz -runs=200000
build-asan/bin/report_file_fuzz -runs=20000 reports/
build-asan/bin/money_fuzz -runs=200000
