# Terrasum V8 Setup: the two Win32 programs, built with mingw-w64 and tested under Wine.
#   make demo   the main job: build, make the sample medium, install and uninstall it
#   make test   install what is missing, build both builds, run every test
SHELL := /bin/bash
JOBS ?= 2

.PHONY: all deps build native asan fuzz fuzz-build fuzz-short test test-native test-asan test-wine demo clean
FUZZ_SECONDS ?= 60

all: build

deps:
	@scripts/install-deps.sh

build/build.ninja:
	cmake --preset win32 >/dev/null

build-native/build.ninja:
	cmake --preset native >/dev/null

build-asan/build.ninja:
	cmake --preset native-asan >/dev/null

build: build/build.ninja
	cmake --build build -j $(JOBS)

native: build-native/build.ninja
	cmake --build build-native -j $(JOBS)

asan: build-asan/build.ninja
	cmake --build build-asan -j $(JOBS)

build-fuzz/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTS_FUZZ=ON >/dev/null

fuzz-build: build-fuzz/build.ninja
	cmake --build build-fuzz -j $(JOBS)

# Each fuzzer runs for FUZZ_SECONDS on a copy of its seed corpus.
fuzz: fuzz-build
	@scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

fuzz-short: fuzz-build
	@scripts/run-fuzzers.sh build-fuzz 10

test-native: native
	ctest --test-dir build-native --output-on-failure

test-asan: asan
	ctest --test-dir build-asan --output-on-failure

# Each Wine test starts its own Xvfb (DISPLAY unset), so that tests running
# side by side never see each other's windows.
test-wine: build
	env -u DISPLAY ctest --test-dir build -j $(JOBS) --output-on-failure --repeat until-pass:2

test: deps
	$(MAKE) test-native test-asan fuzz-short test-wine

# The sample distribution medium in build/medium (scripts/make-medium.sh).
.PHONY: medium
medium: build
	scripts/make-medium.sh build build/medium

# Installs the sample medium in a fresh prefix and uninstalls it again
# (interactive when a display is set; driven under Xvfb otherwise).
demo: deps
	$(MAKE) medium
	scripts/demo.sh build

# The README's screenshots, taken by the driven demo.
.PHONY: screenshots
screenshots: demo
	mkdir -p docs/screenshots
	for f in build/demo/*.png; do convert "$$f" -define png:compression-level=9 "docs/screenshots/$$(basename "$$f")"; done

# Benchmarks: ratios against baselines measured in the same run.
.PHONY: bench
# Builds only what the benchmarks run; installs NSIS (the peer) when missing.
BENCH_TARGETS := Setup Uninstall EngineBench CostBench PaintBench ProgramBench
bench: deps
	$(MAKE) build/build.ninja build-native/build.ninja
	cmake --build build -j $(JOBS) --target $(BENCH_TARGETS)
	cmake --build build-native -j $(JOBS) --target bench_record
	scripts/bench.sh build build-native

clean:
	rm -rf build build-native build-asan build-fuzz
