# Terrasum V8 Setup: the two Win32 programs, built with mingw-w64 and tested under Wine.
#   make demo   the main job: build, make the sample medium, install and uninstall it
#   make demo-silent   the same without windows (/S), printing the logs and exit codes
#   make test   install what is missing, build both builds, run every test
#
# build/ is the i686 build: the deliverables. build-win64/ is its x86_64 twin,
# a test vehicle for machines that cannot run 32-bit code. Which of them the
# Wine steps use is decided by scripts/wine/wine-arch.sh (a probe of what this
# machine executes; TS_WINE_ARCH=win32, win64 or both overrides it).
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
JOBS ?= 2

.PHONY: all deps build win64 native asan fuzz fuzz-build fuzz-short test test-native test-asan test-wine \
        demo demo-in demo-silent demo-silent-in medium medium-in iso iso-in screenshots bench bench-in clean
FUZZ_SECONDS ?= 60

all: build

deps:
	@scripts/ship/install-deps.sh

build/build.ninja:
	cmake --preset win32 >/dev/null

build-win64/build.ninja:
	cmake --preset win64 >/dev/null

build-native/build.ninja:
	cmake --preset native >/dev/null

build-asan/build.ninja:
	cmake --preset native-asan >/dev/null

build: build/build.ninja
	cmake --build build -j $(JOBS)

win64: build-win64/build.ninja
	cmake --build build-win64 -j $(JOBS)

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
	@scripts/ship/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

fuzz-short: fuzz-build
	@scripts/ship/run-fuzzers.sh build-fuzz 10

test-native: native
	ctest --test-dir build-native --output-on-failure

test-asan: asan
	ctest --test-dir build-asan --output-on-failure

# Both builds are always built (the i686 one is what ships); the Wine tests
# run on those this machine can run (scripts/wine/test-wine.sh says which).
test-wine: build win64
	@JOBS=$(JOBS) scripts/wine/test-wine.sh

test: deps
	$(MAKE) test-native test-asan fuzz-short test-wine

# The demo, the screenshots and the benchmarks use one build: the i686 one
# wherever 32-bit code runs, else the twin. BUILD names its folder.
preset_of = $(if $(filter build-win64,$(1)),win64,win32)
DEMO_TARGETS := Setup Uninstall TerrasumSample TerrasumGrid DemoDriver

# The sample distribution medium in BUILD/medium (scripts/ship/make-medium.sh):
# stripped programs, Setup and Uninstall signed when TS_SIGN_PKCS12 names
# the vendor's certificate (scripts/ship/sign-programs.sh).
medium: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) medium-in BUILD=$$b

medium-in:
	[ -f $(BUILD)/build.ninja ] || cmake --preset $(call preset_of,$(BUILD)) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	scripts/ship/make-medium.sh $(BUILD) $(BUILD)/medium

# The CD image of that medium (scripts/ship/make-iso.sh): build/Terrasum-V8.0.iso;
# where the twin is the build used, its test image beside build-win64/.
iso: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) iso-in BUILD=$$b

iso-in: medium-in
	scripts/ship/make-iso.sh $(BUILD)/medium

# Installs the sample medium in a fresh prefix and uninstalls it again
# (interactive when a display is set; driven under Xvfb otherwise). Builds
# only what the demo needs.
demo: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) demo-in BUILD=$$b

demo-in: medium-in
	scripts/e2e/demo.sh $(BUILD)

# The roll-out as a deployment tool runs it: setup.exe /S /D=... /LOG=...
# and Uninstall.exe /S /LOG=..., both watched for windows, their logs and
# exit codes printed.
demo-silent: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) demo-silent-in BUILD=$$b

demo-silent-in: medium-in
	scripts/e2e/e2e-silent-test.sh $(BUILD) --demo

# The README's screenshots, taken by the driven demo.
screenshots: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) demo-in BUILD=$$b
	mkdir -p docs/screenshots
	b=$$(scripts/wine/wine-arch.sh build-dir) && for f in $$b/demo/*.png; do \
	  convert "$$f" -define png:compression-level=9 "docs/screenshots/$$(basename "$$f")"; done

# Benchmarks: ratios against baselines measured in the same run, within one
# architecture. Builds only what the benchmarks run; installs NSIS (the
# peer) when missing.
BENCH_TARGETS := Setup Uninstall EngineBench CostBench PaintBench ProgramBench
bench: deps
	b=$$(scripts/wine/wine-arch.sh build-dir) && $(MAKE) bench-in BUILD=$$b

bench-in: build-native/build.ninja
	[ -f $(BUILD)/build.ninja ] || cmake --preset $(call preset_of,$(BUILD)) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target $(BENCH_TARGETS)
	cmake --build build-native -j $(JOBS) --target bench_record
	scripts/bench/bench.sh $(BUILD) build-native

clean:
	rm -rf build build-win64 build-native build-asan build-fuzz
